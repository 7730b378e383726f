#pragma once
// The edit of one cell of a table grid: an entry field on the cell with the
// column's picture and check, written under the record lock.
#include <string_view>

#include "declaration/grids/grid_description.hpp"
#include "runtime/core/value.hpp"

namespace qv::declaration::grids {

class GridRun;

// DOGET: edits the current cell; the key the engine acts on next (0: none).
int DOGET(GridRun& grid, bool append);
// The column's check on the typed value, which it may replace (a CPF or
// CNPJ gets its punctuation); false refuses the value.
bool check_cell(CellCheck check, int grid, rt::Value& value);
// EXITKEY: where the cursor goes after an entry, from the key that ended it.
int EXITKEY(bool append);

// The whole description of an asset or a debt in a box under the cell
// (moved up when it would pass line 21); closed with window 10.
bool MOS_DETBEM(std::string_view text, int row, int col);
bool MOS_DETDIV(std::string_view text, int row, int col);

}  // namespace qv::declaration::grids
