#include "darf/darf_dates.hpp"

#include "declaration/calc/due_dates.hpp"

namespace qv::darf {

namespace {

constexpr int kBaseYear = 2011;

}  // namespace

// The last working day of month nMonth + 1, as the calculation's ULT_DIA
// counts it: weekends step back to the Friday, December a day earlier.
rt::Date ULTIMO_DIA(int nMonth, int nYear) { return declaration::ULT_DIA(nMonth, nYear, 2); }

rt::Date MES_ANTER(int nMonth) { return declaration::ULT_DIA(nMonth, kBaseYear, 1); }

int months_late(rt::Date due, rt::Date payment, int days_late) {
    if (due.empty() || payment.empty()) return 0;
    if (due.year() == payment.year()) return payment.month() - due.month();
    return days_late / 30;
}

rt::Date default_payment_date(rt::Date today) {
    return declaration::ULT_DIA(today.month(), today.year(), 1);
}

}  // namespace qv::darf
