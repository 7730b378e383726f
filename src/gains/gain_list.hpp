#pragma once
// Page 8 of the declaration: the list of the capital gains of one kind with
// their totals, from which a gain is added, edited or deleted.
#include <string>

namespace qv::gains {

// The page controller: the list of the kind TIPO_BEM until Esc or a page key.
void GANHO3();
// Deletes the gain BEM_NRO with its parcels, after confirmation.
void DEL_GP();

// The tax a gain's row shows in the list: on instalments or on a cash sale.
double listed_tax();

void register_gain_screen_routines();

}  // namespace qv::gains
