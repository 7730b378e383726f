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
// CORNORM, CORLIMP, CORSELE and CORMENU from the colour variables
// (COR_SAY, COR_GET, COR_1_CLI, ...).
void build_colour_strings();

}  // namespace qv::common
