#include "declaration/calc/summary_lines.hpp"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "declaration/calc/declaration_values.hpp"
#include "declaration/calc/summary_page.hpp"
#include "declaration/calc/tax_table.hpp"
#include "runtime/core/text.hpp"

namespace qv::declaration {

namespace {

double sum_of(std::initializer_list<const char*> names) {
    double total = 0.0;
    for (const char* n : names) total += amount(n);
    return total;
}

std::string two_digits(int n) { return rt::STRZERO(n, 2); }

double assign(std::string_view line, double value) {
    set_amount(line, value);
    return amount(line);
}

}  // namespace

bool simplified_model() { return is("USAPADRAO", 'S'); }

double standard_discount() { return std::min(amount("I13_08") * 0.20, amount("NDESCPRAD")); }

void set_model_discount() { set_amount("DESPADRAO", simplified_model() ? standard_discount() : 0.0); }

double FI13_08() {
    return assign("I13_08", sum_of({"I13_01", "I13_02", "I13_03", "I13_04", "I13_05", "I13_06", "I13_07", "I13_49",
                                    "I13_50"}));
}

double FI13_11() {
    const double limit = amount("I13_08") * 0.12;
    set_amount("NLIMPREV", limit);
    return assign("I13_11", std::min(amount("I13_11T"), limit));
}

double FI13_12() { return assign("I13_12", amount("N_DEPEN") * amount("NVALDEPANO")); }

double FI13_13() {
    call_if_present("NRODP");
    const int persons = std::max(1, 1 + static_cast<int>(amount("N_DEPEN")) + static_cast<int>(amount("DESPALIM")));
    const double cap = amount("NVALESCOL");
    std::vector<double> slot(static_cast<std::size_t>(persons), 0.0);
    for_each_row(kPaymentsArea, [&](rt::table::Table& t) {
        const int code = static_cast<int>(field_number(t, "I6_3"));
        if (code != 1 && code != 2) return;
        const int person = static_cast<int>(field_number(t, "I6_6"));
        if (person < 0 || person >= persons) return;
        double& s = slot[static_cast<std::size_t>(person)];
        s = std::min(s + field_number(t, "I6_4"), cap);
    });
    double total = 0.0;
    for (double s : slot) total += s;
    return assign("I13_13", total);
}

double FI13_19() {
    const double total = assign("I13_19", sum_of({"I13_09", "I13_10", "I13_11", "I13_12", "I13_13", "I13_14",
                                                  "I13_15", "I13_16", "I13_17", "I13_18"}));
    set_amount("LIMMAX", std::max(amount("I13_08") - total, 0.0));
    return total;
}

bool FI13_20(int nShow) {
    const double discount = standard_discount();
    set_amount("DESPADRAO", discount);
    FI13_19();
    const double income = amount("I13_08");
    const double complete = CALC_IMPOS(kAnnualTable, income - amount("I13_19"), "nCompl", 12) - amount("I13_22") -
                            amount("I13_24");
    const double simple = CALC_IMPOS(kAnnualTable, income - discount, "nSimpl", 12);
    set_amount("NCOMPL", complete);
    set_amount("NSIMPL", simple);
    double deduction = 0.0;
    if (is("USAPADRAO", 'N')) {
        deduction = amount("I13_19");
        const bool special = is("DECFINAL", 'S') || is("DECSAIDA", 'S');
        const bool rural_ok = !is("TEMRURAL", 'S') || (amount("I4R_04") == 0.0 && amount("I4R_07") > 0.0);
        if (simple < complete && !special && rural_ok) advise_simplified_model();
    } else {
        deduction = discount;
        if (simple > complete) {
            if (income > 0.0 && nShow == 2) advise_complete_model();
            if (income <= 0.0) deduction = 0.0;
        }
    }
    set_amount("DESCON", deduction);
    set_amount("I13_20", std::max(income - deduction, 0.0));
    return true;
}

double Incentives::total(double tax) const { return std::min(general + culture, tax); }

Incentives incentives_allowed(double tax) {
    const double overall = tax * 0.06;
    const double general = std::min(amount("I13_22T"), overall);
    const double sub_limit = std::min(tax * 0.03, overall - general);
    return {general, std::min(amount("I13_22C"), sub_limit)};
}

double total_tax_due(double tax) {
    const double after_incentives = simplified_model() ? tax : tax - incentives_allowed(tax).total(tax);
    double due = after_incentives + amount("I13_25");
    if (is("USAPADRAO", 'N')) {
        const double domestic = std::min({amount("I13_24T"), after_incentives, amount("NMAXINSS")});
        due = std::max(due - domestic, 0.0);
    }
    return due;
}

double FI13_22() {
    const double tax = amount("I13_21");
    const Incentives allowed = incentives_allowed(tax);
    double excess_39 = amount("I13_22C") - allowed.culture;
    double excess_general = amount("I13_22T") - allowed.general;
    for_each_row(kPaymentsArea, [&](rt::table::Table& t) {
        const int code = static_cast<int>(field_number(t, "I6_3"));
        double* excess = code == 39 ? &excess_39 : (code >= 40 && code <= 44 ? &excess_general : nullptr);
        if (!excess || t.field_index("I6_5") < 0) return;
        const double paid = field_number(t, "I6_4");
        const double part = *excess > paid ? paid : *excess;
        if (std::abs(field_number(t, "I6_5") - part) >= 0.005) t.put("I6_5", rt::Value(no_negative_zero(part)));
        *excess -= part;
    });
    if (auto* t = work_table(kPaymentsArea)) t->go_top();
    return assign("I13_22", allowed.total(tax));
}

double FI13_23() {
    const double tax = amount("I13_21");
    return assign("I13_23", simplified_model() ? tax : tax - amount("I13_22"));
}

double FI13_24() {
    return assign("I13_24", std::min({amount("I13_24T"), amount("I13_23"), amount("NMAXINSS")}));
}

double FI13_26() {
    double due = amount("I13_23") + amount("I13_25");
    if (is("USAPADRAO", 'N')) due = std::max(due - amount("I13_24"), 0.0);
    return assign("I13_26", due);
}

double FI13_35(int /*nShow*/) {
    double paid = sum_of({"I13_27", "I13_28", "I13_29", "I13_30", "I13_31", "I13_33", "I13_34"});
    if (!simplified_model()) paid += amount("I13_32");
    return assign("I13_35", paid);
}

double FI13_3526(int /*nShow*/) {
    const double balance = amount("I13_26") - amount("I13_35");
    set_amount("IMPPGRE", balance);
    set_amount("I13_36", balance > 0.0 ? balance : 0.0);
    set_amount("I13_38", balance < 0.0 ? -balance : 0.0);
    return amount("IMPPGRE");
}

double FI13_46() { return amount("I13_46"); }

double FINFO_CONJ() { return assign("INFO_CONJ", amount("I9_2")); }

bool SOMA_TRIBENAO(int nShow) {
    double exempt = 0.0, exclusive = 0.0;
    for (int k = 1; k <= 16; ++k) exempt += amount("I3_" + two_digits(k));
    for (int k = 1; k <= 9; ++k) exclusive += amount("I4_" + two_digits(k));
    set_amount("I13_44", exempt);
    set_amount("I13_45", exclusive);
    if (nShow == 1) show_exempt_totals();
    return true;
}

}  // namespace qv::declaration
