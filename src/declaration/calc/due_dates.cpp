#include "declaration/calc/due_dates.hpp"

namespace qv::declaration {

namespace {

constexpr int kSunday = 1;
constexpr int kSaturday = 7;

rt::Date back_to_friday(rt::Date d) {
    if (d.dow() == kSunday) return d - 2;
    if (d.dow() == kSaturday) return d - 1;
    return d;
}

}  // namespace

rt::Date ULT_DIA(int nMonth, int nYear, int nOffset) {
    int month0 = nMonth + nOffset - 1;   // months counted from 0 = January of nYear
    int year = nYear + (month0 >= 0 ? month0 / 12 : (month0 - 11) / 12);
    month0 -= (year - nYear) * 12;
    rt::Date d = back_to_friday(rt::Date::from_ymd(year, month0 + 1, 1) - 1);
    // December closes a day early; stepping back may land on a Sunday again
    // (31/12 on a Monday), so the weekend step runs once more.
    if (d.month() == 12) d = back_to_friday(d - 1);
    return d;
}

rt::Date PROX_DIA(rt::Date dDate) {
    rt::Date d = dDate + 1;
    if (d.dow() == kSunday) return d + 1;
    if (d.dow() == kSaturday) return d + 2;
    return d;
}

}  // namespace qv::declaration
