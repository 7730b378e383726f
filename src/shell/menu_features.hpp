#pragma once
// The features the main menu's dispatcher runs itself, one routine per
// group of items, each given the chosen item (some change its caption).
#include <string>
#include "runtime/ui/menu.hpp"

namespace qv::shell {

// Id 14: the agenda choice box and its filters.
void agenda_menu();
// Why the agenda could not be opened, as the status line says it.
std::string agenda_failure();
// Id 17: starts the converter and waits for it.
void start_converter();
// Ids 61-68: transfer to the tax program.
void transfer_option(rt::MenuItem& item);
// Ids 71-78: backup options. False when the backup routine failed (the
// dispatcher then skips its settings write).
bool backup_option(rt::MenuItem& item);
// Id 52: prints the "NAO-DOS.TXT" made before.
void print_nao_dos();

// Settings records: table 42 on the terminal's record (true when found and
// selected), table 43 on its record.
bool open_terminal_config();
bool open_office_settings();
// Opens the register (table 09) again and puts away the opening's message.
bool reopen_register();
// The background under the menu (the logo box), as the menu first shows it
// and as full-screen routines leave it.
void repaint_background();

}  // namespace qv::shell
