#pragma once
// The lists opened from inside a grid: the saved payees beside the
// payments (Alt+F4), the saved asset and debt descriptions beside the
// asset, debt and rural lists (Alt+F5) and an asset's savings income
// (Alt+F6). A pick list left with Ctrl+Enter hands its row to the grid.
namespace qv::declaration::grids {

class GridRun;

// The sub-grid of `key` for the running grid; false when it has none.
bool open_sub_grid(GridRun& grid, int key);

}  // namespace qv::declaration::grids
