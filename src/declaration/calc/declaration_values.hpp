#pragma once
// The open declaration's values as the tax arithmetic reads and writes them:
// amounts that may be missing (they count as 0), flags written "S"/"N", and
// the work copies of the declaration's lists by work area.
#include <functional>
#include <string>
#include <string_view>
#include "runtime/core/date.hpp"
#include "runtime/core/value.hpp"
#include "runtime/table/table.hpp"

namespace qv::declaration {

// Work areas of the terminal's work copies used by the calculation.
inline constexpr int kIncomeArea = 22;     // income sources (table 02)
inline constexpr int kPaymentsArea = 26;   // payments list (table 06)
inline constexpr int kPersonSheetArea = 32;   // monthly sheet per person (table 12)

double amount(std::string_view name);
void set_amount(std::string_view name, double value);
std::string text(std::string_view name);
// True when the variable holds text starting with `letter` ("S", "N").
bool is(std::string_view name, char letter);
bool logical(std::string_view name);
rt::Date date(std::string_view name);
void set_value(std::string_view name, rt::Value v);
// Element `index` (1-based) of an array variable; 0 when missing.
double element(std::string_view name, int index);

// Division whose zero divisor gives 0, as the error handler answers it.
double divide(double a, double b);
// Amounts never show as -0.00.
double no_negative_zero(double v);

// Visits every record of a work area from the top (none when the area is
// empty), keeping the area's position and the selected area.
void for_each_row(int area, const std::function<void(rt::table::Table&)>& visit);
double field_number(rt::table::Table& t, std::string_view field);
// The table of a work area; nullptr when the area is empty.
rt::table::Table* work_table(int area);

// Calls a routine of another subsystem by name (rt::call_routine).
rt::Value call_if_present(std::string_view name, std::initializer_list<rt::Value> args = {});

}  // namespace qv::declaration
