#pragma once
// The slip routines other subsystems call by name.
namespace qv::darf {

void register_darf_routines();

}  // namespace qv::darf
