#include "declaration/calc/variable_income.hpp"

#include <cmath>
#include <mutex>
#include <span>
#include <string>

#include "common/amounts.hpp"
#include "common/globals.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"

namespace qv::declaration {

using rt::operator""_cp;

namespace {

constexpr int kGainsArea = 27;
constexpr int kVariableIncome = 4;
constexpr std::size_t kOperationRows = 28;
constexpr std::size_t kFundRows = 6;
constexpr const char* kCellPicture = "@Ez 999,999,999.99";

const char* const kOperationLabels[kOperationRows] = {
    "01.Mercado à Vista - Açoes     ", "02.Mercado à Vista - Ouro      ", "03.Mer.Vista Ouro fora de bolsa",
    "04.Mercado de Opçöes - Açoes   ", "05.Mercado de Opçöes - Ouro    ", "06.Merc.de Opçöes fora de bolsa",
    "07.Mercado de Opçöes - Outros  ", "08.Mercado Futuro Dolar do EUA ", "09.Mercado Futuro - Indices    ",
    "10.Mercado Futuro - Juros      ", "11.Mercado Futuro - Outros     ", "12.Mercado a Termo - Açöes/Ouro",
    "13.Mercado a Termo - Outros    ", "14.RESUL.LIQUIDO DO MES        ", "15.RESUL.NEGAT. MES ANTERIOR   ",
    "16.BASE DE CALCULO             ", "17.PREJUIZO A COMPENSAR        ", "18.Imposto Operação comum (15%)",
    "19.Imposto no Day Trade   (20%)", "20.Total do Imposto devido     ", "21.IR fonte Day Trade no mês   ",
    "22.IR fonte D.Trade anteriores ", "23.IR fonte D.Trade a compensar", "24.IR Lei 11.033  no mes       ",
    "25.IR Lei 11.033 outros meses  ", "26.IR Lei 11.033 a compensar   ", "27.Imposto a Pagar             ",
    "28.Imposto Pago                "};
const char* const kFundLabels[kFundRows] = {"01.Valor do Investimento       ", "02.Resultado negativo ate o mes",
                                            "03.BASE DE CALCULO             ", "04.Prejuizo a compensar        ",
                                            "05.Imposto                (20%)", "06.Imposto Pago                "};

double cents(double v) { return std::round(v * 100) / 100; }

bool funds(std::string_view kind) { return kind == "3"; }
std::string current_kind() {
    const std::string k = rt::ALLTRIM(common::Global{"DAY_TRADE"}.text("1"));
    return k.empty() ? "1" : k;
}
const char* matrix_name(std::string_view kind) { return funds(kind) ? "MRENFIN" : "MRENVAR"; }
std::size_t row_count(std::string_view kind) { return funds(kind) ? kFundRows : kOperationRows; }

std::string month_field(int month) { return "REC_MES" + rt::STRZERO(month, 2); }

// The statement's text cells read as numbers, and written back.
Statement read_matrix(std::string_view kind) {
    Statement s(row_count(kind));
    const rt::Value m = common::Global{matrix_name(kind)}.value();
    if (!m.is_array()) return s;
    for (std::size_t r = 0; r < s.size() && r < m.as_array()->size(); ++r) {
        const rt::Value& row = (*m.as_array())[r];
        if (!row.is_array()) continue;
        for (std::size_t c = 1; c <= 12 && c < row.as_array()->size(); ++c) {
            const rt::Value& cell = (*row.as_array())[c];
            s[r][c - 1] = cell.is_number() ? cell.as_number() : cell.is_string() ? common::CAR_TO_VAL(cell.as_string()) : 0;
        }
    }
    return s;
}

void write_matrix(std::string_view kind, const Statement& s) {
    const std::size_t rows = row_count(kind);
    const char* const* labels = funds(kind) ? kFundLabels : kOperationLabels;
    rt::Value m = rt::Value::array(rows);
    for (std::size_t r = 0; r < rows; ++r) {
        rt::Value row = rt::Value::array(13);
        (*row.as_array())[0] = rt::Value(rt::utf8_to_cp850(labels[r]));
        for (std::size_t c = 1; c <= 12; ++c)
            (*row.as_array())[c] = rt::Value(rt::TRANSFORM(rt::Value(r < s.size() ? s[r][c - 1] : 0.0), kCellPicture));
        (*m.as_array())[r] = row;
    }
    common::Global{matrix_name(kind)}.set(m);
}

bool has_value(const std::array<double, 12>& months) {
    for (const double v : months)
        if (v != 0) return true;
    return false;
}

struct StoredRow {
    int number;
    std::string kind;
};

StoredRow stored(rt::table::Table& t) {
    return {static_cast<int>(field_number(t, "RVAR_NRO")), rt::ALLTRIM(t.get("DAY_TRADE").as_string())};
}

bool variable_income_row(rt::table::Table& t) {
    return !t.deleted() && static_cast<int>(field_number(t, "TIPO_BEM")) == kVariableIncome;
}

// Which statement row a stored row fills, 0 for none.
int target_row(const StoredRow& r, std::string_view kind) {
    if (funds(kind)) {
        if (r.kind != "3" || r.number < 1) return 0;
        return r.number <= 6 ? r.number : r.number <= 20 ? 2 : 6;
    }
    if (r.kind == "3" || r.number < 1 || r.number > static_cast<int>(kOperationRows)) return 0;
    if (r.number <= 17) return r.kind == kind ? r.number : 0;
    if (r.number == 19) return r.kind == "2" ? 19 : 0;
    if (r.number == 24 || r.number == 28) return r.kind == kind && r.kind != "2" ? r.number : 0;
    return r.number;
}

void put_row(rt::table::Table& t, int number, std::string_view kind, const std::array<double, 12>& months) {
    t.put("TIPO_BEM", rt::Value(kVariableIncome));
    t.put("BEM_NRO", rt::Value(0));
    if (const rt::Value cpf = common::Global{"CPF"}.value(); cpf.is_string()) t.put("CPF", cpf);
    t.put("RVAR_NRO", rt::Value(number));
    t.put("DAY_TRADE", rt::Value(std::string(kind)));
    for (int m = 1; m <= 12; ++m) t.put(month_field(m), rt::Value(months[static_cast<std::size_t>(m - 1)]));
    t.commit();
}

void remove_row(rt::table::Table& t) {
    t.delete_record();
    t.commit();
}

}  // namespace

void settle_operations(Statement& s, bool day_trade) {
    if (s.size() < kOperationRows) s.resize(kOperationRows);
    auto row = [&s](int r) -> std::array<double, 12>& { return s[static_cast<std::size_t>(r - 1)]; };
    for (int m = 0; m < 12; ++m) {
        double net = 0;
        for (int r = 1; r <= 13; ++r) net += row(r)[m];
        row(14)[m] = net;
        if (m == 0 && row(15)[0] > 0) row(15)[0] = -row(15)[0];
        const double result = row(14)[m] + row(15)[m];
        if (m < 11) row(15)[m + 1] = result < 0 ? result : 0;
        row(16)[m] = result > 0 ? result : 0;
        row(17)[m] = result < 0 ? result : 0;
        if (day_trade) row(19)[m] = cents(row(16)[m] * 0.20);
        else row(18)[m] = cents(row(16)[m] * 0.15);
        row(20)[m] = row(18)[m] + row(19)[m];
        const double due = row(20)[m] - row(21)[m] - row(22)[m];
        row(23)[m] = due < 0 ? -due : 0;
        const double credit = row(24)[m] + row(25)[m];
        if (due < 0) {
            row(26)[m] = credit;
            row(27)[m] = 0;
        } else {
            const double left = due - credit;
            row(26)[m] = left > 0 ? 0 : -left;
            row(27)[m] = left > 0 ? left : 0;
        }
        if (m < 11) {
            row(22)[m + 1] = row(23)[m];
            row(25)[m + 1] = row(26)[m];
        }
    }
}

void settle_funds(Statement& s) {
    if (s.size() < kFundRows) s.resize(kFundRows);
    for (int m = 0; m < 12; ++m) {
        if (m == 0 && s[1][0] > 0) s[1][0] = -s[1][0];
        const double result = s[0][m] + s[1][m];
        s[2][m] = result < 0 ? 0 : result;
        s[3][m] = result < 0 ? result : 0;
        if (m < 11) s[1][m + 1] = result < 0 ? result : 0;
        s[4][m] = cents(s[2][m] * 0.20);
    }
}

void ZER_RENVAR(std::string_view kind) {
    Statement blank(row_count(kind));
    write_matrix(kind, blank);
}

void SOMA_RENVAR() {
    const std::string kind = current_kind();
    Statement s = read_matrix(kind);
    if (funds(kind)) settle_funds(s);
    else settle_operations(s, kind == "2");
    write_matrix(kind, s);
}

void PRENCHE_MAT(std::string_view kind_arg) {
    const std::string kind = kind_arg.empty() ? "1" : std::string(kind_arg);
    // A row shared by the statements (the lines above 17) is taken from the
    // statement's own kind when that kind stores it, else from the other
    // kind: each statement stores its copy of the shared lines, and taking
    // the copy met last would let one statement overwrite the other's
    // figures each time both are filled. Stored rows of one line and kind
    // (an import gives some lines twice) add up.
    Statement own(row_count(kind)), other(row_count(kind));
    std::vector<bool> has_own(own.size(), false);
    for_each_row(kGainsArea, [&](rt::table::Table& t) {
        if (!variable_income_row(t)) return;
        const StoredRow r = stored(t);
        const int target = target_row(r, kind);
        if (target == 0) return;
        const auto index = static_cast<std::size_t>(target - 1);
        const bool mine = r.kind == kind;
        if (mine) has_own[index] = true;
        auto& row = mine ? own[index] : other[index];
        for (int m = 1; m <= 12; ++m) row[static_cast<std::size_t>(m - 1)] += field_number(t, month_field(m));
    });
    Statement s(row_count(kind));
    for (std::size_t i = 0; i < s.size(); ++i) s[i] = has_own[i] ? own[i] : other[i];
    common::Global{"DAY_TRADE"}.set(rt::Value(kind));
    write_matrix(kind, s);
    SOMA_RENVAR();
}

void GRAVA_RV() {
    rt::table::Table* t = work_table(kGainsArea);
    if (!t) return;
    const std::string kind = current_kind();
    const Statement s = read_matrix(kind);
    std::vector<bool> written(s.size(), false);
    const std::uint32_t saved = t->recno();
    for (t->go_top(); !t->eof(); t->skip()) {
        if (!variable_income_row(*t)) continue;
        const StoredRow r = stored(*t);
        if (r.kind != kind) continue;
        const std::size_t index = static_cast<std::size_t>(r.number - 1);
        const bool keep = funds(kind) && r.number >= 1 && index < s.size() && has_value(s[index]) && !written[index];
        if (!keep) {
            remove_row(*t);
            continue;
        }
        put_row(*t, r.number, kind, s[index]);
        written[index] = true;
    }
    for (std::size_t i = 0; i < s.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        if (written[i] || !has_value(s[i]) || (kind == "2" && number == 27)) continue;
        if (t->append_blank()) put_row(*t, number, kind, s[i]);
    }
    if (saved) t->go_to(saved);
}

void CALC_GRV() {
    double loss = 0, profit = 0, exclusive = 0, paid = 0;
    for_each_row(kGainsArea, [&](rt::table::Table& t) {
        if (!variable_income_row(t)) return;
        const StoredRow r = stored(t);
        for (int m = 1; m <= 12; ++m) {
            const double v = field_number(t, month_field(m));
            if (r.kind == "3") {
                if (r.number == 3) (v < 0 ? loss : profit) += v;
                if (r.number == 3 && v > 0) exclusive += v;
                if (r.number == 6) paid += v;
                continue;
            }
            if (r.number == 14) (v < 0 ? loss : profit) += v;
            if (r.number == 16) exclusive += v;
            if ((r.kind == "2" && r.number == 21) || (r.kind == "1" && (r.number == 24 || r.number == 28))) paid += v;
        }
    });
    set_amount("LUCRRVA", profit);
    set_amount("PREJRVA", loss < 0 ? -loss : 0);
    set_amount("I13_47", paid);
    set_amount("I4_03", std::max(0.0, exclusive - paid));
}

void register_variable_income_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        using Args = std::span<const rt::Value>;
        const auto kind = [](Args a) {
            return a.empty() || !a[0].is_string() ? current_kind() : rt::ALLTRIM(a[0].as_string());
        };
        rt::register_function("ZER_RENVAR", [kind](Args a) { ZER_RENVAR(kind(a)); return rt::Value(); });
        rt::register_function("PRENCHE_MAT", [kind](Args a) { PRENCHE_MAT(kind(a)); return rt::Value(); });
        rt::register_function("SOMA_RENVAR", [](Args) { SOMA_RENVAR(); return rt::Value(true); });
        rt::register_function("GRAVA_RV", [](Args) { GRAVA_RV(); return rt::Value(); });
        rt::register_function("CALC_GRV", [](Args) { CALC_GRV(); return rt::Value(); });
    });
}

}  // namespace qv::declaration
