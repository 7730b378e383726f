#pragma once
// Loading one taxpayer for printing: the register row and the declaration
// record into variables, the rows of tables first..last into the terminal's
// work copies (areas code + 20).
namespace qv::printing {

void INIVAR(int window_kind, int first_table, int last_table);

}  // namespace qv::printing
