#pragma once
// The dates of a slip: the due date of a month's tax, the period of
// assessment, and how late a payment is.
#include "runtime/core/date.hpp"

namespace qv::darf {

// The last working day of month nMonth + 1 (November and December fall in
// the next year); a date in December closes a day earlier, and any weekend
// reached on the way steps back to the Friday.
rt::Date ULTIMO_DIA(int nMonth, int nYear);
// The last working day of month nMonth of the base year, with the same
// weekend and December steps.
rt::Date MES_ANTER(int nMonth);

// Whole months a payment is late: the difference of the calendar months
// when both dates lie in one year, else the days late over 30.
int months_late(rt::Date due, rt::Date payment, int days_late);

// The payment date a slip starts with: the last working day of the current
// month.
rt::Date default_payment_date(rt::Date today);

}  // namespace qv::darf
