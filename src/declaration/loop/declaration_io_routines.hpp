#pragma once

namespace qv::declaration {

// Registers the declaration's load and save routines by name: INIC_VAR,
// LIMPVAR, PRENCHEWZK, DIRETO, SALVATUDO, SALVA_PARC, PREP_REG, VE_LIM_NEG.
void register_declaration_io_routines();

}  // namespace qv::declaration
