#pragma once
// The common routines by name, for expressions kept as text (validations of
// entry fields and grid cells such as "VAL_CPF(M->CPF, .T., 12, 6, 1)").
namespace qv::common {

// Registers every common routine with the runtime's routine registry.
void register_common_functions();
// The same, once per program run.
void ensure_common_functions();

}  // namespace qv::common
