#pragma once
// Loading one taxpayer for printing: the register row and the declaration
// record into variables, the rows of tables first..last into the terminal's
// work copies (areas code + 20).
namespace qv::printing {

void INIVAR(int window_kind, int first_table, int last_table);
// The whole declaration (tables 2-19) of the register row's taxpayer for
// the documents that print it. One that was never computed (written by an
// import, never opened) is loaded again as the declaration loads it,
// without taking it for editing, and computed as the pages and the transfer
// compute it, so that it prints the figures its pages show. False when it
// could not be loaded (said).
bool load_whole_declaration(int window_kind);

}  // namespace qv::printing
