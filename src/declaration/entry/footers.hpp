#pragma once
// The pages' key help on the status line.
#include <string>
#include <string_view>

namespace qv::declaration {

// The footer text of a number ("" for a number without one: the line is
// cleared). Footer 7 and 12 depend on USAPADRAO and CAL_AUTO.
std::string footer_text(int number);
void MRODAPE(int number);
// The common prefixes of the grids' footers, then the text.
void MRODA(std::string_view text);
void MRODA1(std::string_view text);
void MRODA2(std::string_view text);

}  // namespace qv::declaration
