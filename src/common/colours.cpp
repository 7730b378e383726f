#include "common/colours.hpp"

#include <array>
#include <string_view>

namespace qv::common {

namespace {

std::string side_name(int value) {
    static constexpr std::array<std::string_view, 8> names{"N", "B", "G", "BG", "R", "BR", "GR", "W"};
    if (value >= 8) return std::string(names[static_cast<std::size_t>(value - 8)]) + "+";
    return std::string(names[static_cast<std::size_t>(value)]);
}

}  // namespace

std::string ACHACOR(int attr) {
    attr &= 0xFF;
    return side_name(attr % 16) + "/" + side_name(attr / 16);
}

rt::Attr attr_of(int attr) { return rt::parse_colour(ACHACOR(attr)); }

}  // namespace qv::common
