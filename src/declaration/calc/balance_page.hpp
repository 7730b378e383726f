#pragma once
// The balance page: resources against outgoings line by line, the balance
// and its share of the resources, the hints of its entry fields, and the
// running totals of the assets and debts lists.
#include <string>

namespace qv::declaration {

// Totals of the assets (FI7_T) or debts (FI8_T) list, shown on the total
// line of the list's screen.
void FI7_T(int screen);
void FI8_T(int screen);
// The balance's "Despesas declaradas" line, by the model.
double declared_expenses();
// Recomputes the balance and shows the page.
bool MOS_BALAN();
// The hint of entry field n of the balance page, on the status line.
std::string balance_hint(int field);
bool MOSTEX(int field);
// The list of the assets' upkeep costs, then the balance again.
void POEDESP();

void register_balance_page_routines();

}  // namespace qv::declaration
