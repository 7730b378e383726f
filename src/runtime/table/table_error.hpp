#pragma once
// The one exception of the table engine: a file that cannot be read as a
// table (truncated, corrupt, not understood), an operation the open mode does
// not allow, or a field that does not exist. what() names the file.
#include <stdexcept>
#include <string>

namespace qv::rt::table {

struct TableError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The table is held by another user in a conflicting mode.
struct TableBusy : TableError {
    using TableError::TableError;
};

// A number does not fit its field; nothing was stored.
struct DataWidthError : TableError {
    using TableError::TableError;
};

// "<file>: <what>"
[[noreturn]] inline void fail(const std::string& file, const std::string& what) {
    throw TableError(file + ": " + what);
}

}  // namespace qv::rt::table
