#pragma once
// Running another program with its arguments handed over as they are (no
// shell reads them, so no name can inject a command) and its output read.
#include <optional>
#include <string>
#include <vector>

namespace qv::rt::os {

struct ProcessResult {
    int status = -1;       // exit status; 128 + signal when killed
    std::string output;    // standard output (and error, when merged)
};

// Nothing when the program could not be started (not found, not allowed).
std::optional<ProcessResult> run_capture(const std::vector<std::string>& argv, bool merge_errors = false);

// Runs a program on the program's own terminal and waits for it; its exit
// status, or nothing when it could not be started. The caller hands the
// screen over first.
std::optional<int> run_attached(const std::vector<std::string>& argv);

}  // namespace qv::rt::os
