#pragma once
// The terminal's settings records of the program folder: its CORES record
// (colours) and its CONFIG record, found or created with the defaults.
#include <string_view>

namespace qv::tables {

// Opens CONFIG (area 42) and finds or creates the terminal's record, which
// is left current. False (after telling the user) when CONFIG cannot be
// opened or the record cannot be created.
bool CONFIGURA(std::string_view terminal);

// Loads the terminal's CORES record (created with the defaults when
// missing) into the 17 colour variables. A colour that is missing or
// unreadable, or that would paint a text in its own background colour,
// takes its default, so the screen is always readable. The start-up of
// both programs reaches it by name.
void CRIACOR();

}  // namespace qv::tables
