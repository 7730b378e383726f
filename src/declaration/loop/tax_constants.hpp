#pragma once
// The amounts fixed by law for base year 2011. They live as variables of the
// open declaration (every routine of the declaration reads them by name) and
// go with it. Monthly amounts are pairs {January-March, April-December}: the
// monthly table changed in April 2011.
#include "runtime/core/varstore.hpp"

namespace qv::declaration {

// Declares every constant in the open declaration scope (std::logic_error
// when no DeclarationScope is open).
void set_tax_constants(rt::VarStore& vars = rt::variables());

// Element of a monthly pair for a month 1-12: 1 for January-March, 2 after.
int month_pair_index(int month);

}  // namespace qv::declaration
