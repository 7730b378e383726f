#pragma once
// The grid routines that pages, menus and other subsystems call by name.
namespace qv::declaration::grids {

void register_grid_routines();

}  // namespace qv::declaration::grids
