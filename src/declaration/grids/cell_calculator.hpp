#pragma once
// Alt+S in a grid: the pop-up calculator's result put into the current
// cell (a number as it is, a text with the result added behind it), then
// the totals the cell feeds worked out again.
namespace qv::declaration::grids {

class GridRun;

void calculate_into_cell(GridRun& grid);

}  // namespace qv::declaration::grids
