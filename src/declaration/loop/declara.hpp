#pragma once
// DECLARA: the hub of one taxpayer's declaration, reached from the main menu
// (ids 11, 12, 13, 51, 63, 64, 65 in OPCAO_1). It asks for the CPF and then
// hands over to printing, bookkeeping, the check or the transfer, or edits
// the declaration through its own menu and the screen loop, saving or
// discarding at the end, and asks for the next CPF.
namespace qv::declaration {

void DECLARA();
// The routines of the declaration loop and pages, by name.
void register_declaration_loop_routines();

}  // namespace qv::declaration
