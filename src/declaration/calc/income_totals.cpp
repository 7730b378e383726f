#include "declaration/calc/income_totals.hpp"

#include <algorithm>
#include <string>

#include "declaration/calc/declaration_values.hpp"
#include "declaration/calc/monthly_sheet.hpp"
#include "declaration/calc/summary_lines.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::declaration {

namespace {

constexpr const char* kResetLines[] = {
    "I13_01", "I13_02", "I13_05", "I13_06", "I13_17", "I13_27", "I13_28", "I13_10A", "I13_10B", "I13_25A",
    "I13_25B", "I13_34A", "I13_34B", "I3_05", "I3_06", "I3_07", "I3_09", "I3_14", "I3_15", "I3_16",
    "I4_01", "I4_06", "I4_07", "I4_08", "PREVIDENC", "EXGSUSP"};

struct Totals {
    double titular_social = 0, dependant_social = 0, dependant_exempt = 0, other_income = 0;
    double largest_payer = -1;
};

void add(std::string_view line, double v) { set_amount(line, amount(line) + v); }

bool titular_row(rt::table::Table& t) {
    return t.field_index("I1_11") < 0 || rt::ALLTRIM(t.get("I1_11").as_string()) != "N";
}

void legal_person_titular(rt::table::Table& t, Totals& s) {
    const double income = field_number(t, "I1_4");
    add("I13_01", income);
    add("I13_27", field_number(t, "I1_5"));
    add("I3_05", field_number(t, "I1_15"));
    add("I3_06", field_number(t, "I1_17"));
    add("I3_07", field_number(t, "I1_18"));
    add("I3_09", field_number(t, "I1_16"));
    add("I3_14", field_number(t, "I1_13"));
    add("I3_15", field_number(t, "I1_14"));
    s.titular_social += field_number(t, "I1_6");
    add("I4_01", field_number(t, "I1_7"));
    add("EXGSUSP", field_number(t, "I1_19"));
    if (income > s.largest_payer && t.field_index("I1_3") >= 0) {
        s.largest_payer = income;
        set_value("CGCPAGADOR", t.get("I1_3"));
    }
}

void legal_person_dependant(rt::table::Table& t, Totals& s) {
    add("I13_02", field_number(t, "I1_4"));
    add("I13_28", field_number(t, "I1_5"));
    add("I3_05", field_number(t, "I1_15"));
    add("I3_07", field_number(t, "I1_18"));
    add("I3_14", field_number(t, "I1_13"));
    add("I3_15", field_number(t, "I1_14"));
    add("I3_16", field_number(t, "I1_9"));
    for (const char* f : {"I1_9", "I1_13", "I1_14", "I1_15", "I1_18"}) s.dependant_exempt += field_number(t, f);
    s.dependant_social += field_number(t, "I1_6");
    add("I4_07", field_number(t, "I1_7"));
    add("EXGSUSP", field_number(t, "I1_19"));
}

void cumulative_income(rt::table::Table& t) {
    const bool titular = titular_row(t);
    const bool exclusive = t.field_index("TIPOCR") >= 0 && rt::ALLTRIM(t.get("TIPOCR").as_string()) == "N";
    const double income = field_number(t, "I1_4"), withheld = field_number(t, "I1_5");
    const double social = field_number(t, "I1_6"), alimony = field_number(t, "I1_12");
    if (exclusive) {
        add(titular ? "I4_06" : "I4_08", income - withheld - social - alimony);
        add(titular ? "I13_25A" : "I13_25B", field_number(t, "I1_20"));
        add(titular ? "I13_34A" : "I13_34B", withheld);
        return;
    }
    add(titular ? "I13_05" : "I13_06", income);
    add(titular ? "I13_27" : "I13_28", withheld);
    add(titular ? "I13_10A" : "I13_10B", social);
    add("I13_17", alimony);
}

// The totals block under the income lists (rows 17-23 of page 1): what
// was received and what was paid, the taxpayer's and the dependants' side
// by side under their headings.
constexpr int kBlockRow = 18;
constexpr int kIncomeCols[2] = {17, 30};
constexpr int kTaxCols[2] = {54, 66};
constexpr const char* kBlockPicture = "@Ez 9,999,999.99";

void show_pair(int row, const int (&cols)[2], double titular, double dependant) {
    rt::at_say(row, cols[0], rt::TRANSFORM(rt::Value(titular), kBlockPicture));
    rt::at_say(row, cols[1], rt::TRANSFORM(rt::Value(dependant), kBlockPicture));
}

void show_income_totals(const Totals& s) {
    const double income[6][2] = {
        {amount("I13_01"), amount("I13_02")},
        {amount("I4_01"), amount("I4_07")},
        {amount("I13_03") + amount("I13_49"), amount("I13_04") + amount("I13_50")},
        {amount("I13_05"), amount("I13_06")},
        {amount("ISENTOTIT"), amount("ISENTODEP")},
        {amount("EXCLUSTIT"), amount("EXCLUSDEP")}};
    const double taxes[6][2] = {
        {amount("I13_27"), amount("I13_28")},
        {s.titular_social + amount("CARNEINSS"), s.dependant_social + amount("CARNEDEPEN")},
        {amount("I13_29"), amount("I13_30")},
        {amount("I13_34A"), amount("I13_34B")},
        {amount("I13_25A"), amount("I13_25B")},
        {amount("I13_32"), 0.0}};
    for (int k = 0; k < 6; ++k) {
        show_pair(kBlockRow + k, kIncomeCols, income[k][0], income[k][1]);
        show_pair(kBlockRow + k, kTaxCols, taxes[k][0], taxes[k][1]);
    }
}

void show_summary_totals() {
    constexpr const char* kPicture = "@Ez 999,999,999.99";
    const char* const lines[] = {"I13_09", "I13_31", "I13_32", "I13_47"};
    int row = 10;
    for (const char* l : lines) rt::at_say(row++, 22, rt::TRANSFORM(rt::Value(amount(l)), kPicture));
}

// The monthly grid's column under the cursor into the row's month fields.
bool copy_monthly_column() {
    rt::table::Table* t = work_table(kIncomeArea);
    if (!t || t->eof()) return true;
    int col = static_cast<int>(amount("PONTEIRO"));
    if (static_cast<int>(amount("OPC")) == 2) col -= 1;
    const int grid = static_cast<int>(amount("OPC"));
    if ((grid == 1 || grid == 2) && (col < 2 || col > 4)) return true;
    const char* prefix = col == 1 || col == 2 ? "I1_4" : col == 3 ? "I1_6" : col == 4 ? "I1_5" : nullptr;
    if (!prefix) return true;
    MonthlySheet sheet("CALC_MENS", 3);
    double sum = 0.0;
    for (int m = 1; m <= 12; ++m) {
        const double v = sheet.get(m, 2);
        const std::string field = std::string(prefix) + rt::STRZERO(m, 2);
        if (t->field_index(field) >= 0) t->put(field, rt::Value(v));
        sum += v;
    }
    set_amount(is("I1_11", 'N') ? "CARNEDEPEN" : "CARNEINSS", sum);
    return true;
}

}  // namespace

bool FI1_T(int nMode) {
    if (nMode == 2) return copy_monthly_column();
    const int fill = static_cast<int>(amount("CAL_AUTO"));
    const bool social_by_rows = fill == 1 || fill == 3;
    for (const char* l : kResetLines) set_amount(l, 0.0);
    if (social_by_rows) {
        set_amount("CARNEINSS", 0.0);
        set_amount("CARNEDEPEN", 0.0);
    }
    Totals s;
    rt::table::Table* t = work_table(kIncomeArea);
    std::string filter;
    if (t) {
        filter = t->filter_text();
        t->clear_filter();
    }
    for_each_row(kIncomeArea, [&](rt::table::Table& r) {
        const std::string kind = rt::ALLTRIM(r.get("I1_1").as_string());
        if (kind == "J") legal_person_titular(r, s);
        else if (kind == "D") legal_person_dependant(r, s);
        else if (kind == "P" && social_by_rows) add(titular_row(r) ? "CARNEINSS" : "CARNEDEPEN", field_number(r, "I1_4"));
        else if (kind == "A") cumulative_income(r);
        else if (kind == "V") s.other_income += field_number(r, "I1_4");
    });
    set_amount("PREVIDENC", s.titular_social + s.dependant_social);
    set_amount("I13_09", amount("CARNEINSS") + amount("CARNEDEPEN") + s.titular_social + s.dependant_social);
    set_amount("I13_34", amount("I13_34A") + amount("I13_34B"));
    set_amount("I13_10", amount("I13_10A") + amount("I13_10B"));
    set_amount("I13_25", amount("I13_25A") + amount("I13_25B"));
    SOMA_TRIBENAO(0);
    const double dependant_exclusive = amount("I4_07") + amount("I4_08") + amount("I4_09");
    set_amount("OUTROSREND", s.other_income);
    set_amount("ISENTOTIT", std::max(amount("I13_44") - s.dependant_exempt, 0.0));
    set_amount("ISENTODEP", s.dependant_exempt);
    set_amount("EXCLUSTIT", std::max(amount("I13_45") - dependant_exclusive - amount("I4_01"), 0.0));
    set_amount("EXCLUSDEP", dependant_exclusive);
    if (nMode == 1 || nMode == 3) show_income_totals(s);
    if (nMode == 4) show_summary_totals();
    FI13_35(0);
    FI13_08();
    if (t && !filter.empty()) t->set_filter(rt::Expr::compile(filter));
    return true;
}

}  // namespace qv::declaration
