#pragma once
// The reductions the law grants on a capital gain: the percentage for real
// estate bought up to 1988 and the factors FR1 and FR2 by months held.
#include "runtime/core/date.hpp"

namespace qv::gains {

// Months from b to a counting both ends; b before 31/12/1995 counts from
// 01/01/1996, when the factors begin.
int DIF_MESES(rt::Date a, rt::Date b);

// The reduction percentage of real estate acquired in `year`: 100 before
// 1970, 5 per year up to 1988, none afterwards.
int reduction_percent(int year);

struct ReductionFactors {
    double fr1 = 0;
    double fr2 = 0;
    bool invalid = false;   // a factor came out negative: acquired after the sale
};

// FR1 and FR2 of an asset acquired on `acquired` and sold on `sold`.
ReductionFactors reduction_factors(rt::Date acquired, rt::Date sold);

}  // namespace qv::gains
