#pragma once
// The edit of one cell of a table grid: an entry field on the cell with the
// column's picture and check, written under the record lock.
namespace qv::declaration::grids {

class GridRun;

// DOGET: edits the current cell; the key the engine acts on next (0: none).
int DOGET(GridRun& grid, bool append);
// EXITKEY: where the cursor goes after an entry, from the key that ended it.
int EXITKEY(bool append);

}  // namespace qv::declaration::grids
