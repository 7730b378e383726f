#include "declaration/calc/simulator.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "common/amounts.hpp"
#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/windows.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/calc/tax_table.hpp"
#include "declaration/entry/frame_painter.hpp"
#include "declaration/entry/mtela1_frames.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/read.hpp"

namespace qv::declaration {

namespace {

using rt::operator""_cp;

constexpr int kMostRounds = 50;
constexpr int kWindowRow = 16;
constexpr int kWindowCol = 40;
constexpr const char* kFieldPicture = "@Ez 9999,999.99";

struct Band {
    double rate;
    const char* deduction;
};
constexpr Band kBandsFromTop[] = {{0.275, "NDEDUAN4"}, {0.225, "NDEDUAN3"}, {0.15, "NDEDUAN2"}, {0.075, "NDEDUAN1"}};

// Taxes are equal when they read the same in 10 positions with 2 decimals.
bool same_tax(double a, double b) { return rt::STR(a, 10, 2) == rt::STR(b, 10, 2); }

double annual_tax(double base) { return CALC_IMPOS(kAnnualTable, base, "nLeao", 12); }

// The income found stands beside its label, clear of the two fields.
void show_income(double v) {
    rt::at_say(kWindowRow + 2, kWindowCol + 20, rt::TRANSFORM(rt::Value(v), "@Ez 99,999,999.99"));
}

bool refund_too_large(std::string_view text_before) {
    const double target = amount("NSIMPOSTO");
    if (target >= 0.0 || -target <= amount("I13_35")) return false;
    common::AVISOSN(std::string(text_before) + rt::TRANSFORM(rt::Value(amount("I13_35")), "@Ez 99,999,999.99"));
    return true;
}

// The income of the complete model whose tax is `tax`, with deductions D.
double complete_income(double tax, double deductions) {
    for (const Band& b : kBandsFromTop) {
        const double income = (tax + amount(b.deduction) + deductions * b.rate) / b.rate;
        if (b.rate == 0.075 || same_tax(annual_tax(income - deductions), tax)) return income;
    }
    return 0.0;
}

double new_deduction_tax() {
    const double tax = CALC_IMPOS(kAnnualTable, amount("I13_20") - amount("NSDEDUCAO"), "nImpo", 12);
    const double incentive = std::min(amount("I13_22T"), tax * 0.06);
    return tax - incentive - amount("I13_35") - amount("I13_24");
}

double simplified_income(double tax) {
    const double cap = amount("NDESCPRAD");
    if (tax >= capped_discount_tax()) return (tax + amount("NDEDUAN4") + cap * 0.275) / 0.275;
    for (const Band& b : kBandsFromTop) {
        const double income = (tax + amount(b.deduction)) / (0.8 * b.rate);
        if (b.rate == 0.075 || same_tax(annual_tax(0.8 * income), tax)) return income;
    }
    return 0.0;
}

double complete_model_income() {
    double tax = amount("NSIMPOSTO") + amount("I13_35");
    const double incentive = std::min(amount("I13_22T"), tax * 0.06) * 1.06;
    tax += common::DESPREZA(incentive);
    const double others = amount("I13_19") - amount("I13_11");
    if (amount("I13_11") == 0.0) return complete_income(tax, amount("I13_19"));
    // The pension deduction depends on the income sought: repeat until the
    // 12 % limit settles.
    double extra = 0.0, income = 0.0;
    for (int round = 0; round < kMostRounds; ++round) {
        income = complete_income(tax, others + extra);
        const double limit = (income + others) * 0.12;
        if (amount("I13_11T") < limit) return complete_income(tax, others + amount("I13_11T"));
        if (extra == limit) return income;
        extra = limit;
    }
    return income;
}

}  // namespace

double capped_discount_tax() {
    const double cap = amount("NDESCPRAD");
    return CALC_IMPOS(kAnnualTable, cap / 0.2 - cap, "nLeao", 12);
}

bool SIMUL(int nMode) {
    switch (nMode) {
    case 1:
        set_amount("NSIMPOSTO", new_deduction_tax());
        // In the tax's own field, which the clerk may then change.
        rt::at_say(kWindowRow + 1, kWindowCol, rt::TRANSFORM(rt::Value(amount("NSIMPOSTO")), kFieldPicture));
        return true;
    case 2:
        if (refund_too_large("O valor máximo de restituição de imposto é R$"_cp)) return false;
        set_amount("NSRECEITA", simplified_income(amount("NSIMPOSTO")));
        // The simplified page's own simulation box, under the tax typed.
        rt::at_say(page_row(7) + 5, page_col(7) + 66, rt::TRANSFORM(rt::Value(amount("NSRECEITA")), "@Ez 9999,999.99"));
        return true;
    case 3:
        if (refund_too_large("O valor máximo da restituição de imposto é R$"_cp)) return false;
        set_amount("NSRECEITA", complete_model_income());
        show_income(amount("NSRECEITA"));
        return true;
    default: return true;
    }
}

bool FAZINVER(std::string_view cAnswer) {
    const std::string a = rt::UPPER(rt::ALLTRIM(cAnswer));
    if (a == "N") return true;
    if (a != "S") {
        common::AVISOSN(std::vector<std::string>{"Digite S (sim) ou N (nao) se deseja simular   ",
                                                 "o imposto devido colocando novo abatimento ou ",
                                                 "fazer um cálculo inverso informando o imposto"_cp});
        return false;
    }
    MTELA1(dialog::kSimulator);
    // The summary page runs its form again after the window's Esc.
    common::Global{"LINVER"}.set(rt::Value(true));
    if (!common::Global{"NSDEDUCAO"}.exists()) set_amount("NSDEDUCAO", 0.0);
    if (!common::Global{"NSIMPOSTO"}.exists()) set_amount("NSIMPOSTO", 0.0);
    for (;;) {
        rt::at_get(kWindowRow, kWindowCol, "NSDEDUCAO", kFieldPicture).valid([] { return SIMUL(1); });
        rt::at_get(kWindowRow + 1, kWindowCol, "NSIMPOSTO", kFieldPicture).valid([] { return SIMUL(3); });
        if (!rt::READ()) break;
    }
    common::FECHAJAN(mtela1_frame(dialog::kSimulator)->window);
    return true;
}

}  // namespace qv::declaration
