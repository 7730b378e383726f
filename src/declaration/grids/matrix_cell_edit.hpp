#pragma once
// The edit of one cell of a monthly matrix grid: which cells may be edited,
// the entry field on the cell, and the totals worked out after it.
#include <string>

#include "declaration/grids/matrix_grid.hpp"

namespace qv::declaration::grids {

// Whether the cell (matrix row, column) of a grid may be edited; a refusal
// may come with a message, an edit may be preceded by one.
struct CellRule {
    bool editable = true;
    std::string message;   // CP850; empty: none
};
CellRule cell_rule(int code, int row, int col);

// GETMTX: edits the current cell; the key the grid acts on next (0: none).
int GETMTX(MatrixRun& run);

// The totals of the matrix after `amount` was written into (row, col).
void recalculate(const MatrixGrid& g, int row, int col, double amount);

}  // namespace qv::declaration::grids
