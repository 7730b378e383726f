#include "runtime/ui/browse_colours.hpp"

namespace qv::rt {

std::vector<Attr> colour_list(std::string_view spec) {
    std::vector<Attr> out;
    std::size_t start = 0;
    for (;;) {
        auto comma = spec.find(',', start);
        auto part = spec.substr(start, comma == std::string_view::npos ? comma : comma - start);
        bool blank = part.find_first_not_of(' ') == std::string_view::npos;
        out.push_back(blank ? (out.empty() ? Attr{0x07} : out.front()) : parse_colour(part));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return out;
}

}  // namespace qv::rt
