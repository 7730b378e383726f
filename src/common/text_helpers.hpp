#pragma once
// Small string helpers shared by screens and printouts.
#include <string>
#include <string_view>
#include <vector>

namespace qv::common {

// Windows-1252 accented letters turned into their CP850 (DOS) letters (some
// capitals lose the accent); trailing blanks dropped. Only mode 1 exists.
std::string AJUS_CAR(std::string_view text, int mode = 1);

// The starting column that centres the text in `width` columns (width / 2 -
// length / 2, cut to a whole column); 0 when the text is longer.
int CENTER(std::string_view text, int width = 80);

// The text in lines of at most `width` characters, broken at blanks; a word
// longer than a line is cut. An empty text gives one empty line.
std::vector<std::string> wrapped(std::string_view text, std::size_t width);

}  // namespace qv::common
