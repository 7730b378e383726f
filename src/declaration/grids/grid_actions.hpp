#pragma once
// The keys that only some grids act on: Ctrl+Enter's per-grid action, the
// conversion of an amount month by month, sorting and subtotals of the cash
// book, the marks of the taxpayer lists, several lines at once, the zooms
// and the index orders of the office lists.
namespace qv::declaration::grids {

class GridRun;

// Gone: the grid is left and its window is closed already, so nothing of
// it is drawn again.
enum class KeyOutcome { NotMine, Stay, Leave, Gone };

// Acts on `key` when the running grid has an action for it.
KeyOutcome grid_action(GridRun& grid, int key);

// The cash book's subtotal is written on a line below its window: the line
// as it was comes back when the cash book is left.
void put_back_subtotal_line();

}  // namespace qv::declaration::grids
