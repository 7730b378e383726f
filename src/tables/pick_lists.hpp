#pragma once
// The look-up pick lists: F1 on an entry field opens a browse over the
// table that holds the field's valid values, chosen by the field's name;
// Enter copies the chosen row back. GERAL runs the list of the field being
// read (or of QUALHLP when TEMHLP is set), HBROWSE is its browse loop and
// ENTER applies the chosen row.
#include <string>
#include <string_view>

namespace qv::tables {

// True when a list exists for the field name ("M->BANCO", "I7_5", ...).
bool has_pick_list(std::string_view field);
void GERAL();
void GERAL1();
// GERAL for QUALHLP over the table the caller selected; returns COD.
std::string GERAL2();
// The folder list, for "M->ORIGEM".
void GERAL3();
void GERAL4();
void GERAL5();
void HBROWSE(int top, int left, int bottom, int right);
void ENTER();
void MOS_PASTA();

// The register list's footer over counts of declarations, simplified ones,
// complete ones and rural ones: "   4 Declaraçöes", " 25.00% Simples", ...
// (CP850).
std::string register_footer(long total, long simplified, long complete, long rural);

void register_pick_list_routines();

}  // namespace qv::tables
