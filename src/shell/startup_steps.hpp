#pragma once
// The steps of the main program's start-up, in the order MAIN runs them.
#include <string>
#include <string_view>

namespace qv::shell::startup {

// Every program-wide variable with its starting value.
void create_program_variables();
// DATCALEN, HOJE, DIA, ... from today.
void build_calendar();
// The terminal's CONFIG record (current in area 42) into its variables;
// NOMEAG blank becomes "USUARIO DO TERMINAL " + NUSU; LOCIRPF.
void load_config_variables();
// The DEFINE record into its variables (the table is upgraded first).
void load_define_variables();
// The terminal's data folder: asks when it is missing; false when the
// user chose to end the program.
bool check_data_folder();
// ROTA, DIRTRAB, LOCARQ, LOCTRAB, DIRORIG and the screen colours.
void settle_folders();
// DIRTRAB and LOCTRAB: the data folder (ROTA) when the work folder is gone
// or cannot be written.
void settle_work_folder();
// The print strings and the printer variables.
void printer_variables();
// Finds the current data folder in the folder list (area 50) and makes it
// the selected one, adding it when it is not listed.
void mark_current_folder();

}  // namespace qv::shell::startup
