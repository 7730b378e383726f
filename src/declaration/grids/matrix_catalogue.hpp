#pragma once
// The grid codes whose rows are a monthly matrix held in a variable rather
// than a table: 7 (an amount month by month), 12 (a capital gain's
// instalments), 14 (stock-market results), 16 (the carnê-leão sheet) and
// 37 (rural receipts and expenses).
#include <optional>

#include "declaration/grids/matrix_grid.hpp"

namespace qv::declaration::grids {

// The matrix grid of `code` as the declaration now stands; nothing for a
// code that is not a matrix grid.
std::optional<MatrixGrid> matrix_grid(int code);

// Runs the matrix grid of `code`; false when the code is not one. Grid 7
// starts on row `start_row` (the first when 0).
bool run_matrix_grid(int code, int start_row = 0);

}  // namespace qv::declaration::grids
