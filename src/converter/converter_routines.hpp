#pragma once
namespace qv::converter {

// Registers the converter's routines by name (its windows, grids, folder
// form and importers, and the empty stand-ins for routines that only the
// main program has). Called by qvmigrate's MAIN; registering again is a
// no-op.
void register_converter_routines();

}  // namespace qv::converter
