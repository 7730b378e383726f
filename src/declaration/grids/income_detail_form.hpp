#pragma once
// The detail form of an income row, opened with Ctrl+Enter on the first
// column of the income grids (1 the holder's, 2 the dependants', 20 the
// income received cumulatively): every amount of the row in one window,
// read again after each pass until it is left with Esc.
#include "declaration/grids/grid_actions.hpp"

namespace qv::declaration::grids {

KeyOutcome income_detail(GridRun& grid);

}  // namespace qv::declaration::grids
