#pragma once

namespace qv::transfer {

// PREPARA, GERAR, DISQUETE, RECUP_INDICE and VEJAERRO for the routines that
// call them by name.
void register_transfer_routines();

}  // namespace qv::transfer
