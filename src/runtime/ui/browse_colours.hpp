#pragma once
// Colour lists as the browse and the menus take them: "W/B,W+/R,...".
#include <string_view>
#include <vector>
#include "runtime/screen/screen.hpp"

namespace qv::rt {

// One attribute per comma-separated slot; an empty slot takes the first.
std::vector<Attr> colour_list(std::string_view spec);

}  // namespace qv::rt
