#pragma once
// Time-of-day arithmetic on "hh:mm:ss" texts.
#include <string>
#include <string_view>
#include "runtime/core/value.hpp"

namespace qv::common {

// hh * 3600 + mm * 60 + ss.
long HORA_SEG(std::string_view time);
// "hh:mm:ss", hours taken mod 24.
std::string SEG_HORA(long seconds);
// Days mod 99, hours mod 24 and minutes: "01D02h03m".
std::string SEG_HOR_2(long seconds);
// Seconds from start to end, across midnight when the end sorts before the
// start; with as_text 1 the result is SEG_HORA of it (a text), else a number.
rt::Value TEMPO_PAS(std::string_view start, std::string_view end, int as_text = 0);
long elapsed_seconds(std::string_view start, std::string_view end);

}  // namespace qv::common
