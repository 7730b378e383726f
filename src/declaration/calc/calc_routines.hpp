#pragma once
// The tax calculation's routines that pages, grids and other subsystems
// call by name.
namespace qv::declaration {

void register_calc_routines();

}  // namespace qv::declaration
