#pragma once
// Whole table files moved between folders: written beside the target and
// renamed, so that a failure leaves the target as it was.
#include <string>
#include "runtime/table/table.hpp"

namespace qv::office {

// The bytes a table needs in another place: record size x records + header + 1.
double table_size(rt::table::Table& t);
// Free bytes on the disk of a folder (0 when it cannot be measured).
double free_space_of(const std::string& folder);
// COPY TO of the visible rows of `t` as `folder` + `name` (".dbf"), with its
// memo file; false when it could not be written.
bool copy_rows_to(rt::table::Table& t, const std::string& folder, const std::string& name);
// The file `name` of `from` (and its memo file) copied byte for byte into `to`.
bool copy_table_file(const std::string& from, const std::string& name, const std::string& to);

}  // namespace qv::office
