#pragma once
// The instalments of a gain month by month: the matrix REC_GANHO (13 rows of
// six texts: taxable, tax due, month, received, tax paid or withheld, tax
// paid for shares; row 13 the totals) filled from the gain's month fields,
// edited in its grid and taken back.
#include <string>

#include "runtime/core/value.hpp"

namespace qv::gains {

inline constexpr const char* kAmountPicture = "@Ez 999,999,999.99";

// An amount as a cell of the matrix, and a cell's amount.
std::string amount_cell(double v);
double cell_amount(const rt::Value& cell);

// The month totals of taxable gain, tax due, received and paid into row 13.
void month_totals_to_matrix();
// Rows 1-12 from the month fields, each row recomputed by the grid's month
// calculation when it is built.
void fill_instalments();
// The month fields and the gain's totals from the matrix; true when more
// was received than the gain's value allows (the caller warns).
bool take_instalments();
// A cash sale: the whole value received and taxed in the month of the sale.
void cash_sale_months();

}  // namespace qv::gains
