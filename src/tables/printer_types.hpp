#pragma once
// The printer types shipped with the system (table PRINTS): the office's
// own print program, plain text, dot-matrix and laser printers, each with
// the control sequences of its pitches in the notation the office types
// ("<015>", "<ESC>", "<###>" for a laser printer).
#include <vector>

#include "runtime/table/table.hpp"

namespace qv::tables {

struct PrinterType {
    const char* name;                    // NOMEIMP
    const char* seq0;                    // normal pitch
    const char* seq1;                    // condensed pitch
    const char* seq2;                    // the third sequence
    const char* seq3;                    // wide print on "//" off
    bool chosen;                         // CONFIM "S"
};

const std::vector<PrinterType>& shipped_printer_types();

// Fills the current record of a printer-type table with `p`.
void put_printer_type(rt::table::Table& t, const PrinterType& p);

}  // namespace qv::tables
