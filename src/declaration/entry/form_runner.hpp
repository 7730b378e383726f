#pragma once
// Runs a page's field table as one entry form: the fields are placed at the
// page's origin (ALJ / ACJ), each with its check and condition when the
// routines they call are built; a check that names a routine not built yet
// is left out, so the page still takes its values.
#include <span>
#include <string_view>

#include "declaration/entry/page_fields.hpp"
#include "runtime/ui/get.hpp"

namespace qv::declaration {

// The condition of an expression text; empty when the text is empty or
// calls a routine that is not registered.
rt::GetCondition built_condition(std::string_view text);
// Creates the field's variable with its blank value when it does not exist.
void ensure_variable(const PageField& field);
// Shows the values of the fields (no entry).
void show_fields(int page, std::span<const PageField> fields);
// Adds the fields to the pending form and reads it; false when left with Esc.
bool run_form(int page, std::span<const PageField> fields);

}  // namespace qv::declaration
