#include "common/text_helpers.hpp"

#include <algorithm>

#include "runtime/core/text.hpp"

namespace qv::common {

std::string AJUS_CAR(std::string_view text, int /*mode*/) {
    // á é í ó ú Á É Í Ó Ú à ã õ Ã Õ ç Ç â ê ô û Â Ê Ô Û in Windows-1252 ...
    static constexpr std::string_view windows =
        "\xE1\xE9\xED\xF3\xFA\xC1\xC9\xCD\xD3\xDA\xE0\xE3\xF5\xC3\xD5\xE7\xC7\xE2\xEA\xF4\xFB\xC2\xCA\xD4\xDB";
    // ... and the DOS letters that take their place.
    static constexpr std::string_view dos =
        "\xA0\x82\xA1\xA2\xA3\x41\x90\x49\x4F\x55\x85\x84\x94\x41\x4F\x87\x80\x83\x88\x93\x96\x41\x45\x4F\x55";
    static_assert(windows.size() == dos.size());
    std::string out(text);
    for (char& c : out)
        if (const auto at = windows.find(c); at != std::string_view::npos) c = dos[at];
    return rt::RTRIM(out);
}

int CENTER(std::string_view text, int width) {
    const auto len = static_cast<double>(text.size());
    if (len > width) return 0;
    return static_cast<int>(width / 2.0 - len / 2.0);
}

std::vector<std::string> wrapped(std::string_view text, std::size_t width) {
    std::vector<std::string> lines;
    std::string line;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ') ++i;
        std::size_t end = text.find(' ', i);
        if (end == std::string_view::npos) end = text.size();
        std::string_view word = text.substr(i, end - i);
        i = end;
        while (!word.empty()) {
            const std::size_t room = line.empty() ? width : width - std::min(width, line.size() + 1);
            if (word.size() <= room) {
                if (!line.empty()) line += ' ';
                line += word;
                word = {};
            } else if (line.empty()) {   // a word longer than a line is cut
                lines.push_back(std::string(word.substr(0, width)));
                word.remove_prefix(width);
            } else {
                lines.push_back(std::move(line));
                line.clear();
            }
        }
    }
    if (!line.empty() || lines.empty()) lines.push_back(line);
    return lines;
}


}  // namespace qv::common
