#pragma once
// qvmigrate's own start-up, its one top-bar menu and the dispatcher of its
// items.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/ui/menu.hpp"

namespace qv::converter {

// The converter's entry: `terminal` is the optional command-line terminal
// number. Returns the process exit code once the user leaves.
int MAIN(std::optional<std::string> terminal);

std::shared_ptr<rt::TopBarMenu> CREATEMAINMENU(std::string_view colours);
// Runs the chosen item; returns "".
std::string MENUSELECT(const rt::MenuItem& item);

// True once the user chose to leave.
bool converter_leaving();

// The globals of the converter's MAIN with their starting values.
void create_converter_variables();

}  // namespace qv::converter
