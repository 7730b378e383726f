#pragma once
// The printed declaration, one page group a sheet: income, exempt and
// exclusive income with payments, assets and debts, the summary, and the
// pre-check list of receipts against outgoings.
#include <string_view>

namespace qv::printing {

void PAGINA1(int sheet);
void PAGINA2(int sheet);
void PAGINA3(int sheet);
void PAGINA4(int sheet);
void PAGINA5(int sheet);

// The balance of receipts and outgoings on the summary page.
bool MOSBALAN();
// Payments whose code lies between the two codes.
void REL_PAGAMENTO(int first_code, int last_code);
// Income received cumulatively, the holder's and then the dependants'.
void cumulative_income();

// The estate's executor or the departure's attorney under a title.
void representative(std::string_view title);
// The estate or departure blocks of the identification, when either applies.
void estate_and_departure();

// Shared by the page groups.
// The rows of a work table, in its order, skipping deleted ones.
template <class Fn>
void for_rows(int area, Fn fn);
// True when the tax authority's layout is printed (document 1).
bool authority_layout();
// "Sem informacoes" for an empty section.
void no_information();
// A numbered line of label and amount at normal pitch.
void value_line(std::string_view label, double value);

}  // namespace qv::printing

#include "tables/state.hpp"

namespace qv::printing {

template <class Fn>
void for_rows(int area, Fn fn) {
    auto* t = tables::ws().table(area);
    if (!t) return;
    for (t->go_top(); !t->eof(); t->skip(1))
        if (!t->deleted()) fn(*t);
}

}  // namespace qv::printing
