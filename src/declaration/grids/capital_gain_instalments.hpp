#pragma once
// The instalments of a capital gain received in parts (REC_GANHO: the
// taxable value, the tax due, the month, the value received and the tax
// paid of each instalment, row 13 the totals), and the clearing of the
// month-by-month breakdown of an amount (CALC_MENS).
namespace qv::declaration::grids {

// FX_GANHO: the taxable value and tax due of instalment `row` worked out
// from the value received, and the totals row again.
void FX_GANHO(int row);
// ZERADOR: the amounts of every row of CALC_MENS blank.
void ZERADOR();

}  // namespace qv::declaration::grids
