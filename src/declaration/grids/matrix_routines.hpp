#pragma once
namespace qv::declaration::grids {
// The monthly matrix grid's routines, by name.
void register_matrix_routines();
}  // namespace qv::declaration::grids
