#pragma once
#include <string>
#include <vector>
// Before the savings-income grid opens, the three described lines of the
// declaration (other exempt, other taxable, dependants' other taxable) that
// no row of the grid carries yet become rows, so that what was typed on the
// income page is neither lost nor counted twice.
namespace qv::declaration::grids {

// Adds the missing rows to work area 34; warns of a row that is both
// exempt and taxable.
void prepare_savings_lines();

// The footings of the savings list: "Totais" and the total of each amount
// column over every row.
std::vector<std::string> savings_footings();

}  // namespace qv::declaration::grids
