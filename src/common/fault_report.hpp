#pragma once
// A fault no routine handled: written to "Error.log" in the program folder
// and shown whole in a box, by either program.
#include <string>
#include <string_view>
#include <vector>

namespace qv::common {

struct ErrorLog {
    std::string name;
    bool written = false;
};

// Appends the fault, with the date, time and terminal, to the program
// folder's Error.log.
ErrorLog write_error_log(std::string_view what);

// The lines of the box that reports the fault: the whole cause, wrapped,
// and where its log lies (or that it could not be written there).
std::vector<std::string> fault_box_lines(const std::string& log_name, std::string_view what, bool logged = true);

// The box itself; the caller has closed its tables first, so that a fault
// of too many open files leaves a descriptor for the log.
void report_fault(std::string_view what);

}  // namespace qv::common
