#include "declaration/grids/matrix_grids.hpp"

#include <span>

#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/windows.hpp"
#include "declaration/entry/footers.hpp"
#include "declaration/grids/grid_hooks.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "shell/dispatcher.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {

namespace {

using rt::Value;

constexpr const char* kMonthAmount = "@Ez 9999,999.99";
constexpr const char* kBigAmount = "@Ez 999,999,999.99";

std::vector<std::string> cp850(std::initializer_list<const char*> texts) {
    std::vector<std::string> out;
    for (const char* t : texts) out.push_back(rt::utf8_to_cp850(t));
    return out;
}

MatrixGrid named(int code, std::string matrix) {
    MatrixGrid m;
    m.code = code;
    m.matrix = std::move(matrix);
    return m;
}

Value array_of(const std::vector<std::string>& texts) {
    Value a = Value::array();
    for (const std::string& t : texts) a.as_array()->push_back(Value(t));
    return a;
}

// The month by month values of an amount; a domestic employee's social
// security is split into the slip and the employer's share.
MatrixGrid month_values() {
    MatrixGrid m = named(7, "CALC_MENS");
    rt::table::Table* payments = tables::ws().selected() == 26 ? tables::ws().table(26) : nullptr;
    const bool employee = payments && !payments->eof() && payments->get("I6_3").as_number() == 50;
    m.headings = employee ? cp850({" Mês ", "   GPS  ", " Patronal"}) : cp850({" Mês ", "  REAL  ", "  DOLAR  "});
    m.pictures = {"@s10", kMonthAmount, kMonthAmount};
    m.topics = {"", "CALCUFIR", "CALCUFIR"};
    m.headings_var = "TAB_DESC1", m.pictures_var = "TAB_MASC1";
    m.top = 5, m.left = 10, m.bottom = 21, m.right = 42;
    return m;
}

MatrixGrid instalments() {
    MatrixGrid m = named(12, "REC_GANHO");
    const bool law_credit = common::Global{"TIPO_BEM"}.integer() == 3 && common::Global{"TIPOPART"}.integer() == 1;
    if (law_credit) {
        m.headings = cp850({"Val.Tributável", "Imposto devido", "Mês Recebim", "Val. Recebido", "I.Lei 11.033", "Imp.Pago"});
    } else {
        m.headings = cp850({"Val.Tributável", "Imposto devido", "Mês Recebim.", "Val. Recebido", "Imposto Pago"});
    }
    m.pictures.assign(m.headings.size(), kBigAmount);
    m.pictures[2] = "@s10";
    m.top = 2, m.left = 2, m.bottom = 18, m.right = law_credit ? 78 : 75;
    m.window = 6;
    return m;
}

MatrixGrid variable_income() {
    const common::Global day_trade{"DAY_TRADE"};
    if (rt::TRIM(day_trade.text()).empty()) day_trade.set(Value("1"));
    const std::string kind = day_trade.text("1");
    MatrixGrid m = named(14, kind == "3" ? "MRENFIN" : "MRENVAR");
    const char* first = kind == "3"   ? "Fundo investimento mobiliario  "
                        : kind == "2" ? "Mercado/Ativo em Oper. DayTrade"
                                      : "Mercado/Ativo em Operacao Comum";
    m.headings = cp850({first, "Janeiro  ", "Fevereiro", "Março", "Abril", "Maio", "Junho", "Julho", "Agosto",
                        "Setembro", "Outubro", "Novembro", "Dezembro"});
    m.pictures.assign(13, kBigAmount);
    m.pictures[0] = "@s31";
    m.topics.assign(13, "MESRVAR");
    m.top = 2, m.left = 1, m.bottom = kind == "3" ? 11 : 23, m.right = 78;
    m.window = 6;
    return m;
}

// The carnê-leão worksheet of the taxpayer or of the dependant in hand; the
// value carried to the tax is starred.
MatrixGrid carne_leao() {
    const std::string sheet = rt::TRIM(common::Global{"MATATU"}.text());
    MatrixGrid m = named(16, sheet.empty() ? "REC_MENSAL" : sheet);
    const bool receipts = common::Global{"SO_REC"}.value().as_bool();
    const bool dependant = common::Global{"I1_11"}.text() == "N";
    m.headings = cp850({"Mês ", "Pes.Física", "Exterior", "Livro Caixa", dependant ? "Previdência" : "Dep+Pre+Pen",
                        receipts ? "Leão Pago*" : "Leão Pago", receipts ? "CL.Devido" : "CL.Devido*", "CL Corr."});
    m.pictures.assign(m.headings.size(), kMonthAmount);
    m.pictures[0] = "@s6";
    m.topics = {"", "RENPF", "RENDEXT", "LCAIXA", "DEPREVPEN", "LEOPAG", "LEODEV", "LEOCOR"};
    m.ult_pos = 6;
    m.top = 5, m.left = 0, m.bottom = 22, m.right = 79;
    m.footer = 12;
    return m;
}

MatrixGrid rural_months() {
    MatrixGrid m = named(37, "REND_RURAL");
    m.headings = {"Valor Receitas", "Valor Despesas"};
    m.pictures = {kBigAmount, kBigAmount};
    m.topics = {"VAL_REC", "VAL_DESP"};
    m.top = 3, m.left = 31, m.bottom = 18, m.right = 61;
    m.rural_footer = 2;
    return m;
}

}  // namespace

std::optional<MatrixGrid> matrix_grid(int code) {
    switch (code) {
        case 7: return month_values();
        case 12: return instalments();
        case 14: return variable_income();
        case 16: return carne_leao();
        case 37: return rural_months();
        default: return std::nullopt;
    }
}

void run_matrix(const MatrixGrid& m) {
    common::Global{m.headings_var}.set(array_of(m.headings));
    common::Global{m.pictures_var}.set(array_of(m.pictures));
    common::Global{"TABCPOIN2"}.set(array_of(m.topics));
    common::Global{"N_CAM"}.set(Value(static_cast<double>(m.headings.size())));
    common::Global{"ULT_POS"}.set(Value(m.ult_pos));
    if (m.footer) MRODAPE(m.footer);
    if (m.rural_footer) run_named("MRODAPER", {Value(m.rural_footer)});
    MOSBROW(common::Global{m.matrix}.value(), m.top, m.left, m.bottom, m.right, m.window);
}

void MOSBROW(const Value& matrix, int top, int left, int bottom, int right, int window) {
    if (!rt::has_function("MBROWSE")) {
        common::MENS(0, shell::unbuilt_feature_notice());
        return;
    }
    const int id = window == 6 ? 6 : 2;
    if (window) {
        common::DEFINEJAN(id, 0, 0, 0, top, left, window == 6 ? bottom : bottom - 1, right, 1);
        common::ABREJAN(id);
    }
    const Value args[] = {matrix, Value(top), Value(left), Value(bottom), Value(right)};
    rt::call_function("MBROWSE", std::span<const Value>(args, 5));
    if (window) common::FECHAJAN(id);
    common::FECHAJAN(10);
    common::Global{"TAM_OLD"}.set(Value(0));
}

}  // namespace qv::declaration::grids
