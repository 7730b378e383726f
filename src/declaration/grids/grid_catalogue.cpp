#include "declaration/grids/grid_catalogue.hpp"

#include <stdexcept>
#include <string>

#include "common/globals.hpp"
#include "common/messages.hpp"
#include "declaration/entry/frame_painter.hpp"
#include "declaration/grids/grid_checks.hpp"
#include "declaration/grids/grid_columns.hpp"
#include "declaration/grids/grid_engine.hpp"
#include "declaration/grids/grid_hooks.hpp"
#include "declaration/grids/matrix_catalogue.hpp"
#include "declaration/loop/page_globals.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {

namespace {

using rt::operator""_cp;
using rt::Value;

constexpr int kAltU = 278;
constexpr int kLastCodeWithPerson = 35;

int payment_row_code() {
    rt::table::Table* t = tables::ws().table(26);
    return t && !t->eof() ? static_cast<int>(t->get("I6_3").as_number()) : 0;
}

// The CPF typed on a dependant's income must be a registered dependant's;
// the cell takes the CPF as the register holds it.
CellHook registered_dependant() {
    return [](rt::Value& v) {
        if (!accepts("VE_RELDEP", {rt::Value("I1_8"), rt::Value(1)})(v)) return false;
        if (const common::Global held{"M_CPFDEPEN"}; !rt::TRIM(held.text()).empty()) v = held.value();
        return true;
    };
}

GridDescription income(int code) {
    GridDescription d;
    d.code = code;
    d.area = 22;
    d.filter = "I1_1 == M->I1_1";
    d.filter_vars = {{"I1_1", code == 1 ? "J" : "D"}};
    d.stamps = d.filter_vars;
    d.stamp_cpf = true;
    d.ult_pos = 14;
    d.top = 1, d.left = 0, d.bottom = 16, d.right = 78;
    d.footer = 2;
    d.footing_sep = true;
    d.totals_routine = "FI1_T";
    d.totals_before = 1;
    d.totals_after = code == 1 ? 1 : 0;
    const GridColumn payer{"Fonte pagadora", "I1_2", "@S40", code == 1 ? "substr(I1_2,1,21)" : "substr(I1_2,1,33)"};
    const GridColumn document{code == 1 ? "CNPJ da Fonte" : "CNPJ Fonte", "I1_3", "@S18", {}, CellCheck::Document};
    if (code == 1) {
        d.columns = {payer,
                     amount("Rendimentos", "I1_4", 1),
                     amount("Previdência"_cp, "I1_6", 1),
                     amount("Imposto Fonte", "I1_5", 1),
                     amount("13o salário=>"_cp, "I1_7", 1),
                     amount("Lucro Distr.", "I1_15", 1),
                     document,
                     amount("Sócio ME/EPP"_cp, "I1_16", 1),
                     {"Isento 65", "I1_17", "@EZ 99,999.99", {}, CellCheck::None, 1, false,
                      replaces("LIMIT3", {rt::Value(1)})},
                     {"Apos. Moléstia"_cp, "I1_18", kAmount, {}, CellCheck::None, 0, false, replaces("LIMIT2")},
                     amount("75% Exter", "I1_13", 1),
                     amount("Bonificação"_cp, "I1_14", 1),
                     amount("Exig. Suspensa", "I1_19", 1),
                     amount("Depo. Judicial", "I1_20", 1)};
    } else {
        GridColumn named = payer;
        named.heading = "Nome Fonte Pagadora";
        d.columns = {{"CPF Dependente", "I1_8", kCpfPicture, {}, CellCheck::Cpf, 0, false, registered_dependant()},
                     named,
                     amount("Rend.P.Jur.", "I1_4", 1),
                     amount("Previdência"_cp, "I1_6", 1),
                     amount("Imposto Fonte", "I1_5", 1),
                     amount("13o Salário"_cp, "I1_7", 1),
                     amount("75% Exter.", "I1_13", 1),
                     amount("Bonificação"_cp, "I1_14", 1),
                     amount("Lucro Distr.", "I1_15", 1),
                     document,
                     amount("Isentos", "I1_9", 1),
                     amount("Apos.Molestia", "I1_18", 1),
                     amount("Exig. Suspensa", "I1_19", 1),
                     amount("Depos. Judicial", "I1_20", 1)};
    }
    return d;
}

GridDescription dependants() {
    GridDescription d;
    d.code = 3;
    d.area = 23;
    d.stamp_cpf = true;
    d.footer = 6;
    d.footing_sep = true;
    d.top = 5, d.left = 0, d.bottom = 20, d.right = 79;
    const int screen = vars::OPCIR_1.integer(41);
    if (screen == 44) {
        d.filter = "codidepen >99";
        d.stamps = {{"CODIDEPEN", "100"}};
        d.columns = {{"Nome Completo do Herdeiro", "NOMEDEPEN", "@S41"},
                     {"CPF/CNPJ", "CPFHERDE", "@s18", {}, CellCheck::Document}};
        d.ult_pos = 2;
        d.left = 9, d.right = 70;
        return d;
    }
    const bool alimony = screen == 42;
    d.filter = alimony ? "codidepen >97 .AND. CODIDEPEN <100" : "codidepen <98";
    if (alimony) d.stamps = {{"CODIDEPEN", "99"}};
    d.columns = {{alimony ? "Nro" : "N.", "NRODEPEN", "@ez 99"},
                 {alimony ? "Nome Completo do Alimentando" : "Nome Completo do Dependente", "NOMEDEPEN",
                  alimony ? "@S41" : "@S43"},
                 {"Cód"_cp, "CODIDEPEN", "@EZ 99", {}, CellCheck::Code},
                 {"Nascim.", "DATADEPEN", "@d", {}, CellCheck::None, 0, false, accepts("TES_MES")},
                 {"CPF", "CPFDEPEN", kCpfPicture, {}, CellCheck::Cpf, 0, false,
                  [](rt::Value& v) { return cpf_free_in_dependants(v); }}};
    d.ult_pos = 5;
    if (!alimony && vars::yes(vars::DECSAIDA)) {
        d.columns.push_back({"Sai", "SAIUJUNT", "@!"});
        d.ult_pos = 6;
    }
    if (screen < 43) d.freeze = 1;
    return d;
}

// The reimbursed medical total stands on the line under the payments list;
// it follows every payment typed or deleted, as the status line does.
void show_reimbursed_total() {
    rt::table::Table* t = tables::ws().table(26);
    if (!t) return;
    // The totals walk the rows: the grid's place, the blank line after the
    // last row too, is kept.
    const bool on_blank_line = t->eof();
    const std::uint32_t at = t->recno();
    vars::JA_CALC.set(Value(false));
    run_named("FDE_TUDO", {Value(2)});
    if (on_blank_line) {
        t->go_bottom();
        t->skip(1);
    } else if (at >= 1 && at <= t->lastrec()) {
        t->go_to(at);
    }
    rt::at_say(page_row(4) + 21, page_col(4) + 67,
               rt::TRANSFORM(common::Global{"I13_14D"}.value(), "@Ez 9999,999.99"));
}

GridDescription payments() {
    GridDescription d;
    d.code = 4;
    d.area = 26;
    d.stamp_cpf = true;
    d.footing_sep = true;
    GridColumn payment_code{"Cod", "I6_3", "@ 99", {}, CellCheck::PaymentCode};
    // The dependant's number means nothing to the codes after the alimony
    // ones: the cursor passes it, and it cannot be edited there.
    payment_code.skips_next = [] { return payment_row_code() > kLastCodeWithPerson; };
    GridColumn person{"Nro", "I6_6", "@99", {}, CellCheck::None, 0, false, accepts("CONF_DEP", {rt::Value(2)})};
    person.when = [] {
        Value number(0.0);
        if (rt::table::Table* t = tables::ws().table(26); t && !t->eof()) number = t->get("I6_6");
        return accepts("CONF_DEP", {rt::Value(1)})(number);
    };
    d.columns = {{"Nome do beneficiário"_cp, "I6_1", "@S50", "substr(I6_1,1,26)"},
                 payment_code,
                 person,
                 {" CPF/CNPJ/NIT", "I6_2", "@S18", {}, CellCheck::PayeeDocument},
                 {"Total Pago", "I6_4", "@Ez 9999,999.99", {}, CellCheck::PaymentAmount},
                 {"N.Dedutível"_cp, "I6_5", "@Ez 9999,999.99", {}, CellCheck::NotDeductible},
                 {"CPF Empregado", "I6_7", kCpfPicture, {}, CellCheck::Cpf}};
    d.ult_pos = 8;
    d.top = 5, d.left = 0, d.bottom = 21, d.right = 79;
    d.footer = 1;
    d.rows_changed = show_reimbursed_total;
    return d;
}

// Assets (grids 5, 22 and, description first, 8).
GridDescription assets(int code) {
    const YearHeadings years = year_headings();
    GridDescription d;
    d.code = code;
    d.area = 24;
    d.stamp_cpf = true;
    d.footing_sep = true;
    d.item_field = "I7_1";
    d.order_field = "I7_0";
    d.footer = code == 8 ? 9 : 3;
    const int totals = code == 22 ? 22 : code;
    const GridColumn item{"Item", "I7_1", code == 8 ? "@z 999" : "@Ez 999"};
    GridColumn code_col{"Cod", "I7_5", code == 8 ? "@ez 99" : "@EZ 99", {}, CellCheck::Code};
    code_col.after_write = runs("VEJA_IMOV");   // an estate's property form or heirs' shares; nothing otherwise
    GridColumn start{years.start, "I7_3", code == 8 ? "@Ez 999,999,999.99" : "@ez   999,999,999.99", {},
                     CellCheck::None, totals};
    GridColumn end{years.assets_end, "I7_4", code == 8 ? "@Ez 999,999,999.99" : "@ez  999,999,999.99", {},
                   CellCheck::None, totals};
    const std::vector<GridColumn> tail = {{"Ext.", "I7_7", "@!", {}, CellCheck::Country1},
                                          {"País"_cp, "I7_8", code == 8 ? "@S3" : "@s3", {}, CellCheck::Country2},
                                          {"Linha", "I7_0", "@Z 9999"},
                                          {"2010 Original", "I7_9", "@Ez 999,999,999.99"}};
    if (code == 8) {
        d.columns = {{"Discriminação, data da aquis. e venda "_cp, "I7_2", "@S73", {}, CellCheck::None, 0, true},
                     item, code_col, start, end};
        d.ult_pos = 1;
        d.top = 1, d.left = 0, d.bottom = 24, d.right = 79;
    } else {
        d.columns = {item,
                     {"Discriminação, data aquisição ou venda "_cp, "I7_2", "@S73", "substr(I7_2,1,39)",
                      CellCheck::None, 0, true},
                     start, end, code_col};
        d.ult_pos = 5;
        d.top = 1, d.left = 0, d.bottom = code == 5 ? 12 : 21, d.right = 79;
        d.totals_before = code == 5 ? 5 : 6;
    }
    d.totals_routine = "FI7_T";
    d.columns.insert(d.columns.end(), tail.begin(), tail.end());
    return d;
}

// Debts (grids 6, 23 and, description first, 9).
GridDescription debts(int code) {
    const YearHeadings years = year_headings();
    GridDescription d;
    d.code = code;
    d.area = 25;
    d.stamp_cpf = true;
    d.footing_sep = true;
    d.item_field = "I8_1";
    d.order_field = "I8_0";
    d.footer = code == 9 ? 9 : 5;
    const int totals = code;
    const GridColumn item{"Item", "I8_1", code == 9 ? "@z 999" : "@Ez 999"};
    const GridColumn code_col{"Cod.", "I8_5", code == 9 ? "@ez 99" : "@Z 99", {}, CellCheck::Code};
    const GridColumn start{years.start, "I8_3", code == 9 ? "@Ez 999,999,999.99" : "@ez   999,999,999.99", {},
                           CellCheck::None, totals};
    const GridColumn end{years.debts_end, "I8_4", code == 9 ? "@Ez 999,999,999.99" : "@ez   999,999,999.99", {},
                         CellCheck::None, totals};
    const std::vector<GridColumn> tail = {{"Linha", "I8_0", "@Z 9999"},
                                          {code == 6 ? "2010 original" : "2010 Original", "I8_6", "@Ez 999,999,999.99"}};
    if (code == 9) {
        d.columns = {{"Discriminação"_cp, "I8_2", "@S73", {}, CellCheck::None, 0, true}, item, code_col, start, end};
        d.ult_pos = 1;
        d.top = 1, d.left = 0, d.bottom = 24, d.right = 79;
    } else {
        d.columns = {item,
                     {" Discriminação                         "_cp, "I8_2", "@S73", "substr(I8_2,1,39)",
                      CellCheck::None, 0, true},
                     start, end, code_col};
        d.ult_pos = 5;
        d.top = code == 6 ? 13 : 1, d.left = 0, d.bottom = 21, d.right = 79;
        d.totals_before = code == 6 ? 6 : 7;
    }
    d.totals_routine = "FI8_T";
    d.columns.insert(d.columns.end(), tail.begin(), tail.end());
    return d;
}

}  // namespace

YearHeadings year_headings() {
    if (vars::yes(vars::DECFINAL)) return {" Data Partilha", " Val. Transf. ", " Data Partilha"};
    if (vars::yes(vars::DECSAIDA)) return {"Em 31/12/2010", "Dt.Não Resid."_cp, "Dt.Não Resid."_cp};
    return {"Em 31/12/2010", "Em 31/12/2011", "Em 31/12/2011"};
}

GridColumn amount(std::string heading, std::string field, int totals, std::string picture) {
    return {std::move(heading), std::move(field), std::move(picture), {}, CellCheck::None, totals};
}

GridColumn shown_only(std::string heading, std::string field, std::string picture, std::string shown) {
    GridColumn c{std::move(heading), std::move(field), std::move(picture), std::move(shown)};
    c.read_only = true;
    return c;
}

GridColumn refusing(GridColumn c, std::string message) {
    c.refusal = std::move(message);
    return c;
}

std::optional<GridDescription> grid_description(int code, int mode) {
    switch (code) {
        case 1:
        case 2: return income(code);
        case 3: return dependants();
        case 4: return payments();
        case 5:
        case 8:
        case 22: return assets(code);
        case 6:
        case 9:
        case 23: return debts(code);
        default: break;
    }
    for (const auto family : {office_grid, rural_grid, monthly_income_grid, list_grid})
        if (auto d = family(code, mode)) return d;
    return std::nullopt;
}

void EDITA(int code, int mode) {
    if (matrix_grid(code)) {
        // The matrix grid has its own Alt+U; the declaration's converter waits.
        const rt::KeyHandler converter = rt::SETKEY(kAltU, {});
        run_matrix_grid(code, mode);
        rt::SETKEY(kAltU, converter);
        return;
    }
    std::optional<GridDescription> d = grid_description(code, mode);
    // Every code a caller passes is in the catalogue: one that is not is a
    // fault of the program, written to its error log.
    if (!d) throw std::invalid_argument("grid not in the catalogue: " + std::to_string(code));
    if (d->caller_area) d->area = tables::ws().selected();
    common::Global{"OPC"}.set(rt::Value(code));
    common::Global{"LASTECLA"}.set(rt::Value(0));
    common::Global{"M_CPFDEPEN"}.set(rt::Value(std::string(11, ' ')));
    // Alt+U is the grid's own while it runs (amounts month by month).
    const rt::KeyHandler converter = rt::SETKEY(kAltU, {});
    run_grid(*d);
    rt::SETKEY(kAltU, converter);
}

}  // namespace qv::declaration::grids
