#pragma once
// The variables DECLARA creates in the open declaration scope before the CPF
// prompt: its own working state, the page lines with blank or zero values,
// the month matrices and the defaults that matter.
namespace qv::declaration {

void create_declaration_variables();

}  // namespace qv::declaration
