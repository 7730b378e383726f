#pragma once
// The entry form of one capital gain: its fields by kind, the checks that
// drive the calculation, the parcel and instalment grids, and the row
// written back when the form is completed or left.
namespace qv::gains {

// mode 0: a new gain (the first free number); 1: the gain the list stands on.
void MOSTR_BEM(int kind, int mode);

}  // namespace qv::gains
