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

// The file of an open table no longer holds what its header says (cut
// short under the program): file() names it as the file system does, so
// that the user is told which file to repair.
struct TableDamaged : TableError {
    TableDamaged(const std::string& file, const std::string& what) : TableError(file + ": " + what), file_(file) {}
    const std::string& file() const { return file_; }

private:
    std::string file_;
};

// "<file>: <what>"
[[noreturn]] inline void fail(const std::string& file, const std::string& what) {
    throw TableError(file + ": " + what);
}
[[noreturn]] inline void fail_damaged(const std::string& file, const std::string& what) {
    throw TableDamaged(file, what);
}

}  // namespace qv::rt::table
