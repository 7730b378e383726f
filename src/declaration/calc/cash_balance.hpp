#pragma once
// The declaration's cash balance (what came in against what went out in the
// year) and the full recalculation run after a declaration is loaded.

namespace qv::declaration {

// RECEITA, DESPESA and SALDO of the open declaration; returns SALDO.
double VE_SALDO();
// DESPNAO: the yearly cost of keeping the assets, from the monthly costs
// listed in work area 30.
double TOTALDESP();
// Recomputes every total of the open declaration.
void BALANCO();

}  // namespace qv::declaration
