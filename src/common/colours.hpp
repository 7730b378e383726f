#pragma once
// Stored colours are DOS attribute numbers (low nibble foreground, high
// nibble background); the screen takes colour strings.
#include <string>
#include "runtime/screen/screen.hpp"

namespace qv::common {

// 30 -> "GR+/B", 112 -> "N/W", 7 -> "W/N", 255 -> "W+/W+".
std::string ACHACOR(int attr);
// The screen attribute of a stored colour number.
rt::Attr attr_of(int attr);

}  // namespace qv::common
