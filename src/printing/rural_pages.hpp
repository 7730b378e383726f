#pragma once
// The rural-activity printout: page 1 with the farms, the monthly receipts
// and expenses and the result; page 2 with the herd, the rural assets and
// the rural debts. Each for activity in Brazil ("S") or abroad ("N").
#include <string_view>

namespace qv::printing {

void FAZ_RURAL1(std::string_view where);
void FAZ_RURAL2(std::string_view where);
// Header of a rural page; kinds 1-4 close the page first and 1, 3 and 4
// repeat the heading of the farms, the assets or the debts.
void CABECPAG(int kind);
void IMPRECDEC();
void LIST_BENS();
void LIST_DIV();
void MOSLIN(std::string_view caption, int species, std::string_view letter);

// The monthly table of the activity in Brazil on a page of its own, from
// row 15 under the rural header (the cash book's summary).
void rural_summary_table();

}  // namespace qv::printing
