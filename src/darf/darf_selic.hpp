#pragma once
// The months a slip's SELIC interest should add and the rates table lacks:
// the clerk is told before the slip is made, for the table can be
// completed first.
#include <string>
#include <vector>

namespace qv::darf {

// The missing months of the slip loaded, as "mm/yyyy" or "mm/yyyy a mm/yyyy"
// for a run of months; empty when the slip charges no SELIC or the table
// holds every month.
std::vector<std::string> selic_gaps();
// Shows which months are missing; false when none is.
bool warn_selic_gaps();

}  // namespace qv::darf
