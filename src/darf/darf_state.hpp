#pragma once
// The slip being prepared lives in the program's globals (DF_PERIODO,
// DF_VCTO, IMPO_REAL, ...); these read and write them, and keep which
// quota or month the slip loaded last is for.
#include <string>
#include <string_view>
#include "runtime/core/date.hpp"
#include "runtime/core/value.hpp"

namespace qv::darf {

enum Kind { kQuota = 1, kCarneLeao, kCapitalGain, kVariableIncome, kLateFiling, kFree, kEditDates };

inline constexpr int kSlipTextLines = 5;
inline constexpr int kSlipTextWidth = 35;
inline constexpr std::string_view kSlipAmount = "@Ez 99,999,999.99";

double number(std::string_view name);
int integer(std::string_view name, int fallback = 0);
std::string text(std::string_view name);
rt::Date date(std::string_view name);
void set(std::string_view name, rt::Value v);

int kind();
// Slips for the one taxpayer chosen, not for the marked or all of them.
bool one_taxpayer();
// The quota or month of the slip loaded last.
int slip_number();
void set_slip_number(int n);
// A quota slip after the first quota: its interest runs from May.
bool later_quota();

// An amount under the slips' picture.
std::string amount_text(double v);
// The payment month as two digits, as the interest table is asked.
std::string payment_month();

}  // namespace qv::darf
