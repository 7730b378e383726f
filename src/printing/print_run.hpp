#pragma once
// The print front end: whom to print (SELECIONA), the walk over the chosen
// taxpayers (FAZIMP), one taxpayer's document with its copies (IMPRESSAO)
// and the dispatcher of sheets (FOLHA).
#include <vector>

namespace qv::printing {

// First and last sheet of a taxpayer's run of document `queimp` with page
// set `quepag`; {0, 0} when the document has no sheets of its own.
struct SheetRange {
    int first = 0;
    int last = 0;
};
SheetRange sheet_range(int queimp, int quepag);
// Sheets in the order they are printed: each copy is a whole set.
std::vector<int> sheet_order(SheetRange range, int copies);

void SELECIONA();
void FAZIMP();
void IMPRESSAO();
void FOLHA(int sheet);

}  // namespace qv::printing
