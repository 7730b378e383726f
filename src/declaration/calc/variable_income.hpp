#pragma once
// The monthly statements of stock-market operations (common and day trade,
// 28 rows) and of investment funds (6 rows): the loss carried from month to
// month, the tax of each month and the withholding credits carried forward.
// On screen they are matrices of text cells (MRENVAR, MRENFIN: column 1 the
// label, 2-13 the months); they are kept as rows of the gains work copy
// (TIPO_BEM 4, RVAR_NRO the statement row, DAY_TRADE the kind).
#include <array>
#include <string_view>
#include <vector>

namespace qv::declaration {

// Rows of numbers, month by month; row r of the statement is element r - 1.
using Statement = std::vector<std::array<double, 12>>;

// The derived rows of a common ("1") or day-trade ("2") statement.
void settle_operations(Statement& s, bool day_trade);
// The derived rows of a funds statement.
void settle_funds(Statement& s);

// Blank statement of the kind with its row labels.
void ZER_RENVAR(std::string_view kind);
// The statement of the kind from the stored rows, then SOMA_RENVAR.
void PRENCHE_MAT(std::string_view kind);
// Recomputes the statement of the current DAY_TRADE.
void SOMA_RENVAR();
// Stores the statement of the current DAY_TRADE back into rows.
void GRAVA_RV();
// Year totals LUCRRVA, PREJRVA, I4_03 and I13_47 from the stored rows.
void CALC_GRV();

void register_variable_income_routines();

}  // namespace qv::declaration
