// The natural-person income of one column of the monthly grid: the payers
// or expenses, the cash book, the monthly payments; and the income received
// cumulatively.
#include "declaration/grids/grid_columns.hpp"

namespace qv::declaration::grids {

std::optional<GridDescription> monthly_income_grid(int, int) { return std::nullopt; }

}  // namespace qv::declaration::grids
