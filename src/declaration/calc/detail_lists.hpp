#pragma once
// The composition of each line of the balance page (Alt+F1 .. Alt+F9): the
// items of the line written into the terminal's detail table with their
// share of the resources (and of the outgoings where it matters), then
// browsed.
namespace qv::declaration {

// List n (1-9); false when it had nothing to show ("Nada declarado").
bool B_DETAL(int list);
// The expense rows of the payments and balance into the detail table;
// returns total plus what was appended.
double POERESTO(double total, int mode);

void register_detail_list_routines();

}  // namespace qv::declaration
