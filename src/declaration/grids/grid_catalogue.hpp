#pragma once
// The grid catalogue: every list of the declaration is asked for by its grid
// code; EDITA prepares the code's description and runs it.
#include <optional>
#include "declaration/grids/grid_description.hpp"

namespace qv::declaration::grids {

// The description of a grid code as the declaration now stands (headings
// and filters depend on the kind of declaration and the current screen);
// nothing for a code that opens no grid.
std::optional<GridDescription> grid_description(int code, int mode = 0);

// Opens the grid of `code`: its totals before, the grid, the totals after.
// `mode` picks a grid's variant; for the month-by-month grid 7 it is the
// row the cursor starts on.
void EDITA(int code, int mode = 0);

}  // namespace qv::declaration::grids
