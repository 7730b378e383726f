#pragma once
// Why the last table opening failed, so that a caller can tell another
// user holding the table apart from a damaged file or a folder the program
// may not write, and name the file in its message.
#include <string>
#include <string_view>
#include "common/file_errors.hpp"

namespace qv::tables {

enum class OpenFault { None, InUse, Damaged, NotWritable, NotCreated };

struct OpenFailure {
    OpenFault fault = OpenFault::None;
    std::string file;   // as the program names it (CP850)
};

const OpenFailure& last_open_failure();
void clear_open_failure();
void note_open_failure(OpenFault fault, std::string_view file);

// True when the last failure was another user holding the table.
bool failed_in_use();

// The failure in the system's words, naming the file; empty for None.
std::string open_failure_text();

// The message for a folder the program must write and may not.
using common::unwritable_folder_text;

}  // namespace qv::tables
