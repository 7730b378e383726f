#pragma once
// Creation of a table from its layout and the upgrade of tables whose
// layout is old.
#include <string_view>

namespace qv::tables {

// Creates `file` with the layout of `code` (code as text, "09", "43").
// False, after telling the user, when the code has no layout.
bool CRIA(std::string_view code, std::string_view file);
// 0: upgrades tables 02, 06, 07, 08, 09 of the current client folder; 43:
// DEFINE (selected by the caller). Switches the opening messages off.
void CORRECAO(int which);
// Upgrades one table; false when it is current (or cannot be had alone).
bool CORRIGE(std::string_view code);
// The settings tables of the program folder (CONFIG, DEFINE, CORES,
// CONFIMP) are for the office's own users: the table file of `code`, when
// it is one of them, is made unreadable by anyone else on the machine.
void keep_settings_from_others(int code, std::string_view dbf);

}  // namespace qv::tables
