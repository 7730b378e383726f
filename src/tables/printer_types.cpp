#include "tables/printer_types.hpp"

namespace qv::tables {

const std::vector<PrinterType>& shipped_printer_types() {
    // "NAO DOS" writes a plain text file for the print program, which
    // chooses the pitch itself; so does the plain text printer. A laser
    // printer is told by the "<###>" of its third sequence, which no
    // document writes.
    static const std::vector<PrinterType> types{
        {"NAO DOS", "", "", "", "", true},
        {"TEXTO SIMPLES", "", "", "", "", false},
        {"MATRICIAL ESCP", "<018>", "<015>", "<027>2", "<014>//<020>", false},
        {"LASER PCL", "<ESC>(s10H", "<ESC>(s16.67H", "<###>", "<ESC>(s5H//<ESC>(s10H", false},
    };
    return types;
}

void put_printer_type(rt::table::Table& t, const PrinterType& p) {
    t.put("CONFIM", rt::Value(p.chosen ? "S" : "N"));
    t.put("NOMEIMP", rt::Value(p.name));
    t.put("SEQ0", rt::Value(p.seq0));
    t.put("SEQ1", rt::Value(p.seq1));
    t.put("SEQ2", rt::Value(p.seq2));
    t.put("SEQ3", rt::Value(p.seq3));
}

}  // namespace qv::tables
