#pragma once
// GET_CODIGO: the taxpayer of a declaration operation, chosen by CPF in the
// register of the current client folder or of another folder of the
// terminal's list, or registered anew.
//
// Loading the declaration (INIC_VAR) and printing it (FAZIMP) belong to
// other subsystems and are reached by name through the runtime's routine
// registry; the declaration reaches GET_CODIGO the same way.
#include <string_view>

namespace qv::shell {

// `variable` names the CPF variable ("M->CPF"), `picture` its mask; the
// field lies at row 17 + row_offset, column 4 + col_offset. `load_mode` is
// passed to INIC_VAR. The menu id in OPCAO_1 decides what follows the
// choice. True when the operation may go on with the chosen taxpayer.
bool GET_CODIGO(std::string_view variable, std::string_view picture, int row_offset, int col_offset,
                int load_mode, int unused = 0);

// The taxpayer line of window 3 (the look-up lists' MOSTR_PAG): with mode 1
// the register's current CPF and name are first copied into the variables
// (not in recovery mode).
void show_taxpayer_line(int mode);

// GET_CODIGO by name, for the declaration's CPF prompt.
void register_selection_routines();

}  // namespace qv::shell
