#pragma once
// The capital-gain routines the entry screen calls, working on the gain's
// variables and its parcel rows.
#include "gains/gain_chain.hpp"

namespace qv::gains {

// Reduction percentage of a parcel dated `parcel_date` (the acquisition date
// when empty); a parcel before the acquisition is refused with its message.
int FPER_RED(rt::Date parcel_date = {});
// Factors of the gain's single acquisition, into FR1 and FR2; false (and
// the message) when the acquisition falls after the sale.
bool CALC_RED();
// Parcel figures after a change of a parcel, movement, date or kind.
void FCALGAN();
// The cost in use (CUS_ATUAL).
double FCUS_TOT();
// The whole chain into the gain's variables and rows.
void CALC_LUCRO();
// The screen's pass: the chain, then the deferral figures it shows.
Deferral ESCR_TELA();
// Deferral values of the gain (VAL_ANTE, IMP_ANTE, VAL_DIFE, IMP_DIFE).
Deferral SOMADIFE();

// Exemption questions after the sale value is entered.
void CHECK_VAL();
// The question on reinvesting the proceeds in another home.
void AVISO_ART31();
// The reinvested value: refused above the sale, else PERART31 and the chain.
bool CHECK_PARTE(double value);

void register_gain_routines();

}  // namespace qv::gains
