#pragma once
// The change of the taxpayer's assets and debts over the year, and what of
// it the cash balance counts as loans taken or as resources freed.

namespace qv::declaration {

// Totals of the assets and debts lists, VARPATR, EMPREST, I10_1 and I10_2.
void FI10_1();

}  // namespace qv::declaration
