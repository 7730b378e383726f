#include "darf/darf_charges.hpp"

#include <algorithm>

#include "common/amounts.hpp"
#include "darf/darf_dates.hpp"
#include "darf/darf_form.hpp"
#include "darf/darf_principal.hpp"
#include "darf/darf_text.hpp"
#include "darf/darf_state.hpp"
#include "declaration/calc/due_dates.hpp"
#include "declaration/loop/late_interest.hpp"

namespace qv::darf {

double late_payment_fine(int days, int months) {
    if (months > 2) return kFineCap;
    // Paid on the first working day after the due date or before it: no fine.
    return std::clamp(days * kFinePerDay, 0.0, kFineCap);
}

double late_filing_months_fine(double tax_due, int months) {
    return months <= 0 ? 0.0 : common::DESPREZA(tax_due * months / 100.0);
}

double late_filing_fine(double tax_due, int months) {
    if (months <= 0) return 0.0;
    const double fine = late_filing_months_fine(tax_due, months);
    if (fine < kLateFilingMinimum) return kLateFilingMinimum;
    return std::min(fine, common::DESPREZA(tax_due * kLateFilingCap / 100.0));
}

Charges charges_of(double principal, double fine_percent, double interest_percent) {
    Charges c;
    c.fine = common::DESPREZA(fine_percent * principal / 100.0);
    c.interest = common::DESPREZA(interest_percent * principal / 100.0);
    c.total = principal + c.fine + c.interest;
    return c;
}

namespace {

void recompute_rates() {
    const rt::Date due = date("DF_VCTO"), paid = date("DF_PGTO");
    double fine = 0.0, interest = 0.0;
    if (!due.empty() && !paid.empty() && due < paid) {
        interest = later_quota() ? declaration::ACHAJURO(2, payment_month()) : declaration::ACHAJURO(1);
        const int days = paid - declaration::PROX_DIA(due);
        fine = late_payment_fine(days, months_late(due, paid, days));
    } else if (later_quota()) {
        // Quotas after the first carry the SELIC from May even when on time.
        interest = declaration::ACHAJURO(2, payment_month());
    }
    set("DF_MULTA", rt::Value(fine));
    set("DF_JURO", rt::Value(interest));
}

void store(const Charges& c) {
    set("VAL_MULTA", rt::Value(c.fine));
    set("VAL_JURO", rt::Value(c.interest));
    set("VAL_TOTAL", rt::Value(c.total));
}

}  // namespace

void CALCJU(int nMode, int nRecalc) {
    if (kind() == kLateFiling) {
        set("DF_MULTA", rt::Value(0.0));
        set("DF_JURO", rt::Value(0.0));
        // The fine is the principal: it follows the payment date, and so do
        // the lines that explain it, on the screen as on the slip.
        if (nRecalc == 1) {
            late_filing_figures();
            PREENCHE(slip_number());
            if (nMode != 2) show_lines();
        }
    } else if (nRecalc == 1) {
        recompute_rates();
    }
    store(charges_of(number("IMPO_REAL"), number("DF_MULTA"), number("DF_JURO")));
    if (nMode != 2) show_charges();
}

bool SO_JUROS() {
    const double principal = number("IMPO_REAL");
    const double interest = common::DESPREZA(number("DF_JURO") * principal / 100.0);
    set("VAL_JURO", rt::Value(interest));
    set("VAL_TOTAL", rt::Value(principal + number("VAL_MULTA") + interest));
    show_charges();
    return true;
}

}  // namespace qv::darf
