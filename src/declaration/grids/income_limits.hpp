#pragma once
// The exempt parts of retirement income in the detail form of an income
// line: the value typed is kept within the year's limits and shown again.
#include <string_view>

namespace qv::declaration::grids {

// VEJALIM: mode 1 keeps the variable `name` within the limit of the retired
// aged 65 or more (form row 13), mode 2 within the limit of the retired by
// illness (form row 12). True.
bool VEJALIM(std::string_view name, int mode);

}  // namespace qv::declaration::grids
