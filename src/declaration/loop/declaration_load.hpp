#pragma once
// Loading a taxpayer's declaration: the rows of every declaration table
// into the terminal's work copies, and the single records (register,
// declaration, monthly and rural summaries) into variables named like their
// fields. Loading waits while another terminal loads or saves the folder.
#include <string_view>
#include "runtime/core/value.hpp"

namespace qv::declaration {

inline constexpr std::string_view kLoadWait = "Aguardando outro Terminal carregar dados...";

// `mode` is always 1; `existing` 1 for a taxpayer with data, 0 for a new
// one (a blank declaration). With LRECUPERA on, the terminal's work copies
// left by an interrupted session are reopened instead. True when loaded.
bool INIC_VAR(int mode, int existing);
// The same load for the printing of a declaration never computed: the
// taxpayer of the register row the print stands on (the register stays
// open, not necessarily on that row), loaded without being taken for
// editing and computed as on opening, so that the printout says what the
// pages and the file sent say. Nothing is written to the folder. True when
// loaded.
bool load_to_print();
// True once after an INIC_VAR that stopped because another terminal had the
// taxpayer and the user gave up waiting (the CPF may be asked again).
bool taxpayer_refused();
// The rural summary of the activity `activity` into variables and REND_RURAL.
void PRENCHEWZK(std::string_view activity);
// F4 at the CPF prompt: takes the CPF of the terminal's last work copies and
// turns the recovery on; false (with a message) when there is none.
bool DIRETO();

}  // namespace qv::declaration
