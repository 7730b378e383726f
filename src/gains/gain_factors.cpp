#include "gains/gain_factors.hpp"

#include <cmath>

#include "common/amounts.hpp"

namespace qv::gains {

namespace {

const rt::Date kFactorsStart = rt::Date::from_ymd(1995, 12, 31);

// 1 - 1 / base^months, either cut to 6 decimals or rounded to 8.
double factor(double base, int months, bool rounded) {
    const double f = 1.0 - 1.0 / std::pow(base, months);
    return rounded ? common::DESPREZA(f, 20, 6, 1) : common::DESPREZA(f, 20, 6);
}

}  // namespace

int DIF_MESES(rt::Date a, rt::Date b) {
    if (b < kFactorsStart) b = rt::Date::from_ymd(1996, 1, 1);
    const int years = a.year() - b.year();
    return 12 * (years > 0 ? years : 0) + (a.month() - b.month() + 1);
}

int reduction_percent(int year) {
    if (year > 1988) return 0;
    if (year < 1970) return 100;
    return (1989 - year) * 5;
}

ReductionFactors reduction_factors(rt::Date acquired, rt::Date sold) {
    ReductionFactors r;
    if (sold.empty() || acquired.empty() || sold <= rt::Date::from_ymd(2005, 6, 15)) return r;
    if (sold <= rt::Date::from_ymd(2005, 10, 13)) {
        r.fr2 = factor(1.0035, DIF_MESES(sold, acquired), false);
        return r;
    }
    if (sold <= rt::Date::from_ymd(2005, 11, 30)) {
        r.fr1 = factor(1.006, DIF_MESES(sold, acquired), false);
        return r;
    }
    if (acquired.year() > 2005) {
        r.fr2 = factor(1.0035, DIF_MESES(sold, acquired), true);
    } else {
        r.fr1 = factor(1.006, DIF_MESES(rt::Date::from_ymd(2005, 11, 30), acquired), true);
        r.fr2 = factor(1.0035, DIF_MESES(sold, rt::Date::from_ymd(2005, 12, 1)), true);
    }
    if (r.fr1 < 0 || r.fr2 < 0) r = ReductionFactors{0, 0, true};
    return r;
}

}  // namespace qv::gains
