// Pages 3 (exempt and exclusively taxed income), 4 (dependants, alimony
// recipients, payments, heirs) and 5 (assets and debts, spouse, estate,
// definitive departure).
#include <set>
#include <string>

#include "common/globals.hpp"
#include "common/messages.hpp"
#include "declaration/entry/footers.hpp"
#include "declaration/entry/form_runner.hpp"
#include "declaration/entry/frame_painter.hpp"
#include "declaration/entry/frames.hpp"
#include "declaration/entry/page_support.hpp"
#include "declaration/loop/page_globals.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "tables/state.hpp"

namespace qv::declaration {

using rt::operator""_cp;
namespace key = rt::key;

namespace {

constexpr int kDependantsArea = 23;
constexpr int kMonthlyIncomeArea = 32;
// Dependants coded 98 and 99 are not dependants for the deductions.
constexpr int kFirstNonDependantCode = 98;

double number(const char* name) { return common::Global{name}.number(); }
void set_number(const char* name, double v) { common::Global{name}.set(rt::Value(v)); }

// Line 04 of the exempt income is the sum of its detail lines.
void rebuild_line_04() {
    set_number("I3_04D", number("I3_04GCPV") + number("I3_04UNIC") + number("I3_04REDU") + number("I3_04EXTR"));
    set_number("I3_04C", number("I3_04GCPVC") + number("I3_04UNICC") + number("I3_04REDUC"));
    set_number("I3_04", number("I3_04D") + number("I3_04C"));
}

int dependant_count() {
    return static_cast<int>(common::number_of(call("NRODP")));
}

// The monthly income sheets held, one a person.
int person_sheets() {
    rt::table::Table* monthly = tables::ws().table(kMonthlyIncomeArea);
    int n = 0;
    if (monthly == nullptr) return n;
    for (monthly->go_top(); !monthly->eof(); monthly->skip()) ++n;
    return n;
}

// Monthly income rows of people who are no longer dependants go with them.
void drop_removed_dependants_income() {
    rt::table::Table* dependants = tables::ws().table(kDependantsArea);
    rt::table::Table* monthly = tables::ws().table(kMonthlyIncomeArea);
    if (dependants == nullptr || monthly == nullptr) return;
    std::set<std::string> kept;
    for (dependants->go_top(); !dependants->eof(); dependants->skip())
        if (common::number_of(dependants->get("CODIDEPEN")) < kFirstNonDependantCode)
            kept.insert(rt::TRIM(dependants->get("CPFDEPEN").as_string()));
    for (monthly->go_top(); !monthly->eof(); monthly->skip()) {
        const std::string cpf = rt::TRIM(monthly->get("CPFDEPEN").as_string());
        if (!cpf.empty() && !kept.contains(cpf)) monthly->delete_record();
    }
}

void dependants_sub_page() {
    const int before = dependant_count();
    const int sheets_before = person_sheets();
    vars::JA_CALC.set(rt::Value(false));
    call("FDE_TUDO", {rt::Value(2)});
    MTELA(4);
    edit_grid(3);
    drop_removed_dependants_income();
    // The income of a dependant deleted leaves the summary with their sheet,
    // even when another one took their place in the count.
    if (dependant_count() != before || person_sheets() != sheets_before) {
        common::Global{"LEAO_CAL"}.set(rt::Value(false));
        call("FDE_LEAO", {rt::Value(1)});
    }
}

void payments_sub_page() {
    vars::JA_CALC.set(rt::Value(false));
    call("CALC", {rt::Value(4), rt::Value(1)});
    common::Global{"QTD_DEP"}.set(rt::Value(dependant_count()));
    MTELA(4);
    // Beside its line under the list, which takes the rows above it.
    rt::at_say(page_row(4) + 21, page_col(4) + 67, rt::TRANSFORM(common::Global{"I13_14D"}.value(), "@Ez 9999,999.99"));
    edit_grid(4);
    // The check of an alimony payment's number leaves the recipients' view
    // on the dependants' list; everything after the page reads all of it.
    if (rt::table::Table* dependants = tables::ws().table(kDependantsArea)) dependants->clear_filter();
    vars::JA_CALC.set(rt::Value(false));
    call("CALC", {rt::Value(4), rt::Value(1)});
    call("CALC", {rt::Value(7), rt::Value(0)});
}

bool estate_closing() { return vars::yes(vars::DECFINAL); }

// An estate has no spouse: its spouse flags and amounts are cleared, and so
// is the spouse result carried into the cash balance and the tax file.
void clear_spouse_values(bool with_results) {
    common::Global{"I9_4"}.set(rt::Value("N"));
    common::Global{"I9_5"}.set(rt::Value("N"));
    for (const char* name : {"I13_1C", "I13_2C", "I13_3C", "I13_4C", "I13_5C"}) set_number(name, 0);
    if (with_results)
        for (const char* name : {"I9_2", "I9_3", "I13_43"}) set_number(name, 0);
}

bool leaves_form(int k) { return k == key::ESC || k == key::TAB || k == key::SHIFT_TAB; }

void spouse_sub_page() {
    call("MOSTRA_CONJUGE", {rt::Value(1)});
    int k = 0;
    do {
        run_form(5, page_form(56));
        k = last_key();
    } while (!leaves_form(k) && !page_changed());
}

// The closing's lines follow the kind of closing chosen: a court's or a
// notary's deed, or none.
void estate_closing_labels() {
    const int row = page_row(5), col = page_col(5);
    for (int r = 10; r <= 13; ++r) rt::at_say(row + r, col + 1, rt::SPACE(77));
    if (!estate_closing() || rt::TRIM(vars::DECJUDI.text()).empty()) return;
    if (const FrameText* labels = frame_text(vars::DECJUDI.text() == "S" ? 571 : 572))
        for (const FrameLabel& l : labels->labels) rt::at_say(row + l.row, col + l.col, rt::utf8_to_cp850(l.text));
}

void estate_sub_page() {
    for (;;) {
        estate_closing_labels();
        if (estate_closing()) {
            const std::string judicial = vars::DECJUDI.text();
            const char* other = judicial == "S" ? "N" : judicial == "N" ? "S" : " ";
            rt::at_say(page_row(5) + 6, page_col(5) + 33, other);
        }
        show_fields(5, page_form(57));
        std::vector<PageField> fields(page_form(57).begin(), page_form(57).end());
        const bool judicial = vars::DECJUDI.text() == "S";
        if (estate_closing() && !rt::TRIM(vars::DECJUDI.text()).empty()) {
            clear_spouse_values(true);
            const auto more = page_form(judicial ? 571 : 572);
            fields.insert(fields.end(), more.begin(), more.end());
        }
        run_form(5, fields);
        const int k = last_key();
        if (k == key::ESC) vars::ULTTECLA.set(rt::Value(27));
        if (!leaves_form(k) && !page_changed()) continue;
        if (estate_closing()) {
            if (judicial && common::Global{"DATAPARTI"}.value().as_date().empty()) {
                common::MENS(1, "Informe a data da partilha. Sem ela o cálculo estará errado"_cp);
                continue;
            }
            if (!judicial && common::Global{"DATALAVRA"}.value().as_date().empty()) {
                common::MENS(1, "Informe a data da Lavratura. Sem ela o cálculo estará errado"_cp);
                continue;
            }
        }
        return;
    }
}

void departure_sub_page() {
    for (;;) {
        std::vector<PageField> fields(page_form(58).begin(), page_form(58).end());
        const bool leaving = vars::yes(vars::DECSAIDA);
        if (leaving) {
            const auto more = page_form(581);
            fields.insert(fields.end(), more.begin(), more.end());
        }
        run_form(5, fields);
        const int k = last_key();
        if (k == key::ESC) vars::ULTTECLA.set(rt::Value(27));
        if (!leaves_form(k) && !page_changed()) continue;
        if (vars::yes(vars::DECSAIDA) && common::Global{"DATASAIDA"}.value().as_date().empty()) {
            common::MENS(1, "Informe a data de saída. Sem ela o cálculo estará errado"_cp);
            continue;
        }
        return;
    }
}

void asset_totals() {
    call("FI7_T", {rt::Value(5)});
    call("FI8_T", {rt::Value(6)});
    call("FI10_1");
}

void assets_sub_page() {
    vars::SO_MOS.set(rt::Value(0));
    edit_grid(6);
    vars::SO_MOS.set(rt::Value(1));
    for (;;) {
        edit_grid(5);
        asset_totals();
        if (page_changed() && last_key() != key::TAB) return;
        edit_grid(6);
        asset_totals();
        if (page_changed() && last_key() != key::SHIFT_TAB) break;
    }
    if (page_changed() && last_key() != key::TAB) return;
    MRODAPE(2);
    common::Global{"OPC"}.set(rt::Value(0));
}

}  // namespace

void page_exempt() {
    rt::SETKEY(key::ALT_F1 - 5, [] { call("PEGA_VARIOS"); });
    MRODA2("Próxima página  ALT F6 Aux. Rend"_cp);
    rebuild_line_04();
    for (;;) {
        call("CALC", {rt::Value(3), rt::Value(1)});
        const int sub = vars::OPCIR_1.integer(31) == 32 ? 32 : 31;
        show_fields(3, page_display(sub));
        run_form(3, page_form(sub));
        const int k = last_key();
        if (sub == 31) {
            if ((page_changed() && k != key::TAB) || k == key::ESC) break;
            vars::OPCIR_1.set(rt::Value(32));
        } else {
            if (page_changed() && k != key::SHIFT_TAB) break;
            vars::OPCIR_1.set(rt::Value(31));
        }
        MTELA(3);
    }
    record_last_key();
    call("CALC", {rt::Value(7), rt::Value(0)});
    rt::SETKEY(key::ALT_F1 - 5, {});
}

void page_lists() {
    rt::SETCOLOR(common::Global{"COR_1_CLI"}.text("GR+/B"));
    MRODAPE(4);
    for (;;) {
        const int sub = vars::OPCIR_1.integer(41);
        switch (sub) {
            case 44:
                edit_grid(3);
                break;
            case 42:
                MTELA(4);
                edit_grid(3);
                dependant_count();
                break;
            case 43: payments_sub_page(); break;
            default: dependants_sub_page(); break;
        }
        const int k = last_key();
        if (k == key::SHIFT_TAB) {
            if (sub > 41) vars::OPCIR_1.set(rt::Value(sub - 1));
        } else if (k == key::TAB && sub < 44) {
            vars::OPCIR_1.set(rt::Value(sub + 1));
        } else {
            if (k == key::ESC) vars::ULTTECLA.set(rt::Value(27));
            return;
        }
        MTELA(4);
    }
}

void page_assets() {
    switch (vars::OPCIR_1.integer(51)) {
        case 56: spouse_sub_page(); break;
        case 57: estate_sub_page(); break;
        case 58: departure_sub_page(); break;
        default: assets_sub_page(); break;
    }
    record_last_key();
}

}  // namespace qv::declaration
