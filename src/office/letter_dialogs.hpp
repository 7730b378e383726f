#pragma once
// The small screens of the letters editor: the merge-field list and the two
// help screens.
namespace qv::office {

// The 35 placeholders listed and a number asked (0-35); 0 on Esc.
int ask_field_number();
void help_keys();
void help_menus();

}  // namespace qv::office
