#pragma once
// The layout of every table the system creates itself: the twenty
// declaration tables (and their per-terminal work copies, codes 21-40),
// the program folder's settings and office tables, and the default record
// written into a new DEFINE.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>
#include "runtime/core/value.hpp"
#include "runtime/table/dbf_format.hpp"

namespace qv::tables {

using rt::table::FieldSpec;
using rt::table::Structure;

// The layout of a table code (1-20, 21-40 as their declaration table, and
// the program tables that have one); nothing for a code without a layout.
std::optional<Structure> schema_of(int code);

// Bytes per record, deletion flag included.
int record_length(const Structure& s);

// DEFINE's values in a freshly created table (all other fields empty).
std::vector<std::pair<std::string, rt::Value>> define_defaults();

}  // namespace qv::tables
