#pragma once
namespace qv::printing {

// The printer routines other subsystems and the main menu call by name.
void register_printing_routines();

}  // namespace qv::printing
