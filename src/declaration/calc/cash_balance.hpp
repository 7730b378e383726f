#pragma once
// The declaration's cash balance (what came in against what went out in the
// year) and the full recalculation run after a declaration is loaded.

namespace qv::declaration {

// RECEITA, DESPESA and SALDO of the open declaration; returns SALDO.
double VE_SALDO();
// Recomputes every total of the open declaration.
void BALANCO();

}  // namespace qv::declaration
