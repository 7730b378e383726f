#pragma once
// The checks (VALID) and conditions (WHEN) of the identification page and
// its spouse, estate and departure forms, with the code look-ups behind
// them. A check returns true to accept the value; false keeps the cursor
// in the field. Arguments are the field's value, or a variable's name
// written "M->NAME".
#include <string>
#include <string_view>

#include "runtime/core/date.hpp"

namespace qv::declaration {

// The receipt number with its two check digits; empty when the number is
// not ten digits.
std::string receipt_with_digits(std::string_view number);
// VENROREC on a receipt: whether it is accepted, and the value to keep
// (check digits filled in when they were blank).
std::string checked_receipt(std::string_view receipt, bool& accepted);
bool is_state(std::string_view uf);
// VE_DEBIT: whether automatic debit may be entered on `today`.
bool debit_open(int quotas, rt::Date today);

void register_field_check_routines();

}  // namespace qv::declaration
