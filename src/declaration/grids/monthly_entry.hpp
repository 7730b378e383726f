#pragma once
// An amount of a grid typed month by month: the row's twelve month values
// shown in the month-by-month grid (CALC_MENS, in reais and in dollars), the
// new total written back into the cell and the months into the row.
namespace qv::declaration::grids {

class GridRun;

// Alt+U on the current cell. False when the cell has no monthly breakdown
// (the key then does nothing there).
bool month_by_month(GridRun& grid);

// Enter on the cell breaks it down by month instead of editing it (the
// total of a natural-person payer and the monthly payments list).
bool enter_breaks_down(const GridRun& grid);

}  // namespace qv::declaration::grids
