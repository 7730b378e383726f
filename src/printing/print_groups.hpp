#pragma once
// Saved groups of taxpayers to print: a ".grp" file of the program folder
// with one quoted CPF a line, and the letter chosen for the personalised
// letter document.
#include <string>

namespace qv::printing {

// The CPF of every register row marked IMPRE "S" into `file` (15 bytes a
// line). False when the file cannot be written.
bool write_group(const std::string& file);
// Unmarks every register row, then marks those whose CPF the file lists.
// False when the file cannot be read or the register cannot be locked.
bool read_group(const std::string& file);

// 1 creates a group from the marking grid, 2 marks the register from a
// saved group. False when the user gives up.
bool BUSGRUPO(int mode);
// Asks the letter file into NOMCART; false when none is chosen.
bool PEGA_CARTA();

}  // namespace qv::printing
