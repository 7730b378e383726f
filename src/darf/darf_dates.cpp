#include "darf/darf_dates.hpp"

namespace qv::darf {

namespace {

constexpr int kBaseYear = 2011;
constexpr int kSunday = 1;
constexpr int kSaturday = 7;

rt::Date back_to_friday(rt::Date d) {
    if (d.dow() == kSunday) return d - 2;
    if (d.dow() == kSaturday) return d - 1;
    return d;
}

// The last working day of a month; December closes a day early, and that
// step may land on a weekend again (31/12 on a Monday or a Sunday).
rt::Date last_working_day(int month, int year) {
    rt::Date d = back_to_friday(rt::Date::from_ymd(year, month, rt::days_in_month(year, month)));
    if (d.month() == 12) d = back_to_friday(d - 1);
    return d;
}

}  // namespace

rt::Date ULTIMO_DIA(int nMonth, int nYear) {
    if (nMonth >= 12) return last_working_day(nMonth - 11, nYear + 1);
    return last_working_day(nMonth + 1, nYear);
}

rt::Date MES_ANTER(int nMonth) { return last_working_day(nMonth, kBaseYear); }

int months_late(rt::Date due, rt::Date payment, int days_late) {
    if (due.empty() || payment.empty()) return 0;
    if (due.year() == payment.year()) return payment.month() - due.month();
    return days_late / 30;
}

rt::Date default_payment_date(rt::Date today) {
    return today.month() == 1 ? ULTIMO_DIA(12, today.year() - 1) : ULTIMO_DIA(today.month() - 1, today.year());
}

}  // namespace qv::darf
