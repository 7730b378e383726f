#pragma once
// What a slip charges beyond its principal: the fine for paying late, the
// SELIC interest, and the fine for filing the declaration late.
#include "runtime/core/date.hpp"

namespace qv::darf {

inline constexpr double kFinePerDay = 0.33;          // percent a day late
inline constexpr double kFineCap = 20.0;             // percent
inline constexpr double kLateFilingMinimum = 165.74;
inline constexpr double kLateFilingCap = 20.0;       // percent of the tax due

// Fine in percent for a payment `days` after the first working day after
// the due date and `months` calendar months after the due month.
double late_payment_fine(int days, int months);

// Fine for filing late: 1 % of the tax due a month, never below the
// minimum nor above 20 % of the tax due; 0 when not late. Cut to cents.
double late_filing_fine(double tax_due, int months);
// The 1 % a month before the minimum and the cap, cut to cents as the fine is.
double late_filing_months_fine(double tax_due, int months);

struct Charges {
    double fine = 0.0;       // VAL_MULTA
    double interest = 0.0;   // VAL_JURO
    double total = 0.0;      // VAL_TOTAL
};
// The fine and interest of a principal at the given rates, each cut to cents.
Charges charges_of(double principal, double fine_percent, double interest_percent);

// CALCJU: fine and interest rates of the slip loaded (recomputed when
// nRecalc is 1), their values and the total; unless nMode is 2 they are
// shown on the slip's form.
void CALCJU(int nMode, int nRecalc = 0);
// After a typed interest rate: its value and the total, shown.
bool SO_JUROS();

}  // namespace qv::darf
