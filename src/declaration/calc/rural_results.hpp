#pragma once
// The rural activity's results carried into the declaration: the activity
// in Brazil and abroad combined (losses, exempt portion, debts), the monthly
// receipts and expenses from the cash book and the totals of the debts list.
namespace qv::declaration {

// Keeps the current activity's figures and combines both into I13_07,
// PREJRUR, I3_11, AMORUR and EMPRUR.
void CALC_PREJU();
// Monthly receipts and expenses of the cash book, each entry at its
// property's share; mode 2 writes them into REND_RURAL. Each property's
// land tax total goes into its VALITR.
void SOMA_RUR(int mode);
// Totals of the rural debts list; show 1 writes the first two on screen.
void SOMA_DIV(int show);
// Marks in MES_NEG the months whose expenses exceed their receipts;
// true when any was marked.
bool VE_DESPESAS();

void register_rural_result_routines();

}  // namespace qv::declaration
