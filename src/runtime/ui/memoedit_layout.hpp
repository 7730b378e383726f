#pragma once
// Word wrap of a memo text for the memo editor and for counting lines.
// The text uses "\n" for the hard line ends (CR LF is read and written at
// the edges by memoedit.cpp).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qv::rt {

struct MemoLine {
    std::size_t start = 0;   // offset of the first character
    std::size_t len = 0;     // characters shown (the hard line end excluded)
    bool hard = false;       // ends with "\n"
};

// Lines of at most `width` characters: a line breaks after its last blank
// that fits; a word longer than the width is cut. Always at least one line.
std::vector<MemoLine> wrap_memo(std::string_view text, int width);

// The offset of the first `what` in the text (as memo_from_stored gives
// it) at or after `from`, matching letter case; npos when there is none.
std::size_t memo_find(std::string_view text, std::string_view what, std::size_t from);

// CR LF, lone LF or CR become "\n"; soft returns (0x8D LF) join the lines.
std::string memo_from_stored(std::string_view stored);
// "\n" back to CR LF.
std::string memo_to_stored(std::string_view text);

// As MLCOUNT(): lines of the text wrapped at width.
int memo_line_count(std::string_view stored, int width);
// As MEMOLINE(): line n (1-based) wrapped at width, padded to the width.
std::string memo_line(std::string_view stored, int width, int n);

}  // namespace qv::rt
