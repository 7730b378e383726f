#pragma once

namespace qv::transfer {

// PREPARA, GERAR, DISQUETE, RECUP_INDICE, VEJAERRO and RECALCULA (the whole
// declaration computed again) for the routines that call them by name.
void register_transfer_routines();

}  // namespace qv::transfer
