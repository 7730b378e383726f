#include "common/colours.hpp"

#include <array>
#include <string_view>

#include "common/globals.hpp"
#include "runtime/core/text.hpp"

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

void build_colour_strings() {
    const auto text_of = [](const char* name) { return rt::ALLTRIM(Global{name}.text()); };
    const std::string tail = "," + text_of("COR_GET") + ",\"N/N\",\"N/N\"," + text_of("COR_SAY");
    Global{"CORNORM"}.set(rt::Value(text_of("COR_SAY") + tail));
    Global{"CORLIMP"}.set(rt::Value(text_of("COR_1_CLI") + tail));
    Global{"CORSELE"}.set(rt::Value(text_of("COR_CLI_HE") + tail));
    Global{"CORMENU"}.set(rt::Value(text_of("COR_1_CLI") + "," + text_of("COR_ESC_CL") + "," + text_of("COR_ENCH_C") +
                                    "," + text_of("COR_ENCH_C") + "," + text_of("COR_2_CLI") + "," +
                                    text_of("COR_2_CLI")));
}

}  // namespace qv::common
