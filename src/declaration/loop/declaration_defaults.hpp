#pragma once
// A new taxpayer's blank declaration.
#include "runtime/core/value.hpp"

namespace qv::declaration {

// Blanks the declaration's variables for a new taxpayer (a new declaration
// starts with status 2). Returns empty text.
rt::Value LIMPVAR();

}  // namespace qv::declaration
