#pragma once
// The terminal's printer settings dialog and the month-range question of
// the month-based reports.
namespace qv::printing {

// "Impressora" chooses the printer type; "Porta de saída" the port, the
// output file and whether the printer is local or on the network.
void CONFIMP();

// The months a month-based report covers (MES_INIC, MES_FINAL) and how it
// pages (AVANCA_PAG, CALC_SALD, and with kind 2 IMPR_RESU); false on Esc.
bool ESCOLHE_COMO(int kind);

}  // namespace qv::printing
