#pragma once
// The main program's start-up, its program-wide variables and its way out.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv::shell {

// The entry of qv2012v: creates the program-wide variables, sets up the
// screen and settings, checks the folders, opens the tables and runs the
// main menu until the user leaves. `terminal` is the first command-line
// argument. Returns the process exit code (the program ends through it).
int MAIN(std::optional<std::string> terminal);

// Leaves the program from main-menu item `id` (18 "Terminar", 91 "Sair").
// Id 91 asks first; returns false when the user declines to leave. When
// the user leaves, writes the terminal's CONFIG record back, closes every
// table, clears the screen and returns true: the caller (the menu loop)
// then ends the program.
bool ROTSAIDA(int id);

// Collects today's pending reminders of the user NOMEAG from the current
// record of the open agenda (area 72) to its end into AAGEN; returns the
// number collected.
int ENCHEAG();

// True once ROTSAIDA has accepted leaving: the menu loop stops.
bool leaving_requested();

}  // namespace qv::shell
