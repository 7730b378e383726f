#pragma once
// The taxpayer's age at the end of the base year on the identification
// page, and the notice of a birthday close at hand.
#include "runtime/core/date.hpp"

namespace qv::declaration {

// Shows years and months of age for the date of birth; true always.
bool DIZANOS(rt::Date birth);

}  // namespace qv::declaration
