#pragma once
// Printing the slips of a run: on plain paper with the drawn frame, or the
// values alone on a continuous or a pre-printed form.
#include "darf/slip_layout.hpp"

namespace qv::darf {

// The print loop the print front end calls for each taxpayer.
void PREP_DARF();
// Every slip of the run for the taxpayer loaded.
void FAZ_DARF();
// One slip of the values loaded; a principal of 0 prints nothing.
void IMPRDARF();

// The values of the slip loaded as printed; `plain` picks the wording of
// the plain-paper slip.
SlipValues slip_values(bool plain);

}  // namespace qv::darf
