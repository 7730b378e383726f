#include "runtime/ui/browse_column.hpp"
#include "runtime/core/picture.hpp"

namespace qv::rt {

std::string BrowseColumn::text() const {
    return block ? text_of(block()) : std::string();
}

std::string BrowseColumn::text_of(const Value& v) const {
    return TRANSFORM(v, picture);
}

std::vector<std::string> split_caption(std::string_view caption) {
    std::vector<std::string> lines;
    if (caption.empty()) return lines;
    std::size_t start = 0;
    for (;;) {
        auto semi = caption.find(';', start);
        lines.emplace_back(caption.substr(start, semi == std::string_view::npos ? semi : semi - start));
        if (semi == std::string_view::npos) break;
        start = semi + 1;
    }
    return lines;
}

}  // namespace qv::rt
