// The natural-person income of one column of the monthly grid: the payers
// or expenses, the cash book, the monthly payments; and the income received
// cumulatively.
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "declaration/entry/dialog_painters.hpp"
#include "declaration/entry/income_frames.hpp"
#include "declaration/grids/grid_columns.hpp"
#include "declaration/grids/grid_hooks.hpp"
#include "declaration/loop/page_globals.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/table.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {

namespace {

using rt::operator""_cp;
using rt::Value;

constexpr int kIncomeArea = 22;

bool dependant_income() { return common::Global{"I1_11"}.text() == "N"; }

// The rows of one kind of income of the taxpayer or of the dependant in
// hand, in the order they were typed; new rows are of that kind and person.
GridDescription income_kind(int code, const char* kind) {
    GridDescription d;
    d.code = code;
    d.area = kIncomeArea;
    d.natural_order = true;
    d.stamp_cpf = true;
    d.filter_vars = {{"I1_1", kind}};
    d.filter = dependant_income() ? "I1_1+i1_11+I1_8==m->I1_1+m->i1_11+M->CPFDEPEN" : "I1_1+i1_11==m->I1_1+m->i1_11";
    d.stamps = {{"I1_1", kind}};
    d.stamp = [](rt::table::Table& t) {
        t.put("I1_11", common::Global{"I1_11"}.value());
        if (dependant_income()) t.put("I1_8", common::Global{"CPFDEPEN"}.value());
    };
    d.window = 1;
    return d;
}

// The carnê-leão of the month grid again, and its totals on line 21. The
// rows behind the month were just edited: the sheet built before them is
// stale, so it is rebuilt from the rows and not taken as it stood.
void carne_leao_totals() {
    common::Global{"LEAO_CAL"}.set(Value(false));
    run_named("FDE_LEAO", {Value(1)});
    show_sheet_totals(dependant_income());
}

struct PayerKind {
    const char* kind;
    const char* name_heading;
    const char* total_heading;
};

std::optional<GridDescription> payers() {
    static constexpr PayerKind kinds[] = {{"F", "Nome da fonte pagadora", "Total R$ "},
                                          {"E", "Nome fonte exterior", "Total R$  "},
                                          {"L", "Descrição da despesa", "Total R$ "},
                                          {"P", "Nome da Previdência", "Total R$ "},
                                          {"I", "Nome do Recebedor", "Total R$  "}};
    const int column = common::Global{"POSHORMAT"}.integer();
    if (column < 2 || column > 6) return std::nullopt;
    const PayerKind& k = kinds[column - 2];
    GridDescription d = income_kind(17, k.kind);
    d.columns = {{rt::utf8_to_cp850(k.name_heading), "I1_2", "@s40"}, amount(k.total_heading, "I1_4", 0, "@Ez 9999,999.99")};
    d.ult_pos = 3;
    d.start_col = 2;
    d.top = 8, d.left = 2, d.bottom = column <= 4 ? 21 : 16, d.right = 55;
    if (column == 5) d.footer = 15;
    d.after = carne_leao_totals;
    return d;
}

std::optional<GridDescription> cash_book() {
    const int column = common::Global{"POSHORMAT"}.integer();
    if (column != 2 && column != 3 && column != 4) return std::nullopt;
    GridDescription d = income_kind(18, column == 4 ? "L" : "F");
    if (column == 3) {
        d.before = [] {
            common::MensArgs two;
            two.lines = 2;
            common::MENS(1, "Rendimentos do exterior deve ser preenchido;no modo individual. Mude com ALT A.       ", two);
            return false;
        };
        return d;
    }
    const bool receipts = column == 2;
    d.stamps.push_back({"TIPOCR", receipts ? "C" : "D"});
    d.columns = {{"Data", "DT_LC", "@D"},
                 {std::string("Descrição "_cp) + (receipts ? "das receitas" : "das despesas"), "I1_2", "@S44"},
                 amount("Valor em R$==>", "I1_4", 0, "@Ez 9999,999.99"),
                 {receipts ? "CPF" : "CPF ou CNPJ", "I1_3", receipts ? "@S14" : "@S18", {}, CellCheck::Document}};
    d.ult_pos = 3;
    d.top = 5, d.left = 5, d.bottom = 18, d.right = 76;
    d.before = [] {
        MTELA5(8);
        return true;
    };
    d.after = carne_leao_totals;
    return d;
}

std::optional<GridDescription> monthly_payments() {
    const int column = common::Global{"POSHORMAT"}.integer();
    if (column != 5 && column != 6) return std::nullopt;
    GridDescription d = income_kind(24, column == 5 ? "P" : "I");
    d.columns = {amount(column == 5 ? "Total INSS" : "Total Leao", "I1_4", 0, kBigAmount)};
    d.ult_pos = 1;
    d.top = 8, d.left = 40, d.bottom = 14, d.right = 55;
    if (column == 5) d.footer = 15;
    d.after = carne_leao_totals;
    return d;
}

// CALC_RAA(first, second, date of the row).
std::function<void()> raa(int first, int second) {
    return [first, second] {
        rt::table::Table* t = tables::ws().table(kIncomeArea);
        const Value date = t ? t->get("DT_LC") : Value();
        run_named("CALC_RAA", {Value(first), Value(second), date});
    };
}

// Income received cumulatively, of the holder (screen 13) or of the
// dependants (14): the tax due is computed, never typed.
GridDescription cumulative() {
    const bool dependants = vars::TELA.integer() == 14;
    GridDescription d;
    d.code = 20;
    d.area = kIncomeArea;
    d.stamp_cpf = true;
    d.filter = "I1_1 == M->I1_1 .AND. I1_11 == M->I1_11";
    d.filter_vars = {{"I1_1", "A"}, {"I1_11", dependants ? "N" : "S"}};
    d.stamps = d.filter_vars;
    d.stamp = [dependants](rt::table::Table& t) {
        if (dependants) t.put("I1_8", common::Global{"CPFDEPEN"}.value());
    };
    d.top = 1, d.left = 0, d.bottom = 16, d.right = 78;
    d.footer = 2;
    d.footing_sep = true;
    d.totals_routine = "FI1_T";
    d.totals_before = d.totals_after = 1;
    const auto raa_amount = [](const char* heading, const char* field, int second) {
        GridColumn c = amount(rt::utf8_to_cp850(heading), field);
        c.after_write = raa(0, second);
        return c;
    };
    GridColumn recipient{"CPF Aliment.", "I1_22", kCpfPicture, {}, CellCheck::Cpf};
    recipient.hook = accepts("VE_RELDEP", {rt::Value("I1_22"), rt::Value(2)});
    GridColumn kind{"AA/EF", "TIPOCR", "@!"};
    kind.after_write = [] {
        if (rt::table::Table* t = tables::ws().table(kIncomeArea)) run_named("VERAA", {t->get("TIPOCR"), Value(0)});
    };
    GridColumn months{"Qtd. meses", "I1_21", "@z999.9"};
    months.after_write = raa(0, 1);
    d.columns = {{"Fonte pagadora", "I1_2", "@S40", "substr(I1_2,1,32)"},
                 raa_amount("Rendimentos", "I1_4", 0),
                 raa_amount(dependants ? "Previdência =>" : "Previdência", "I1_6", 0),
                 amount(dependants ? "Imposto Fonte" : "Imposto Fonte =>", "I1_5", 1),
                 {"CNPJ Fonte", "I1_3", "@S18", {}, CellCheck::Document},
                 raa_amount("Pensao Jud.", "I1_12", 0),
                 recipient,
                 {"Data Recib.", "DT_LC", "@D"},
                 kind,
                 months,
                 refusing(amount("IR Devido", "I1_20"), "O imposto calculado nao pode ser modificado!")};
    d.ult_pos = 11;
    if (dependants) {
        GridColumn cpf{"CPF Dependente", "I1_8", kCpfPicture, {}, CellCheck::Cpf};
        cpf.hook = accepts("VE_RELDEP", {rt::Value("I1_8"), rt::Value(1)});
        d.columns.insert(d.columns.begin(), cpf);
        d.ult_pos = 12;
    }
    return d;
}

}  // namespace

std::optional<GridDescription> monthly_income_grid(int code, int) {
    switch (code) {
        case 17: return payers();
        case 18: return cash_book();
        case 20: return cumulative();
        case 24: return monthly_payments();
        default: return std::nullopt;
    }
}

}  // namespace qv::declaration::grids
