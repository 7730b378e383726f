#pragma once
// VER_NOME: finds the taxpayer by name in the register (work area 9, order 2
// by name) when no CPF was typed. The name is read under the current entry
// window (row ALJ[NT] + 1, column ACJ[NT] + 18); when the name is not found
// the taxpayer pick list opens. The register's CPF and NOMECONTR go into
// the variables of the same names and the taxpayer line is redrawn.
//
// The pick list and the taxpayer line belong to the look-up lists; VER_NOME
// calls them by name through the routine registry of the runtime: "GERAL"
// (no arguments) and "MOSTR_PAG" (argument 2).
namespace qv::common {

inline constexpr int kRegisterArea = 9;

bool VER_NOME();

}  // namespace qv::common
