#pragma once
// The mark that a terminal number is in use by a running copy of the main
// program: a byte-range lock on a small file of the program folder, held
// from start-up to the end, also while the folder list is handed to the
// converter. A second copy for the same terminal cannot take it.
#include <string>
#include <string_view>

namespace qv::tables {

class TerminalMark {
public:
    TerminalMark() = default;
    ~TerminalMark();
    TerminalMark(const TerminalMark&) = delete;
    TerminalMark& operator=(const TerminalMark&) = delete;

    // Takes the mark of `terminal` in `program_folder` (CP850 name); false
    // when another copy holds it or the file cannot be had.
    bool take(std::string_view program_folder, std::string_view terminal);
    void release();
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// The mark of the running main program (one per process).
TerminalMark& terminal_mark();

}  // namespace qv::tables
