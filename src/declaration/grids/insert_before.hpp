#pragma once
// Ins in the income lists (grids 1, 2) and the notes (11): a free row
// before the current one. The rows from the current one on move one record
// down; the freed row keeps only who it belongs to, so that no amount is
// there twice.
#include <string>
#include <vector>

namespace qv::declaration::grids {

class GridRun;

// Asks first; true when the row was made (the grid stands on it).
bool insert_before(GridRun& grid);

}  // namespace qv::declaration::grids
