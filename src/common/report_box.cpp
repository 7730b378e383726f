#include "common/report_box.hpp"

#include "common/avisosn.hpp"
#include "runtime/core/text.hpp"

namespace qv::common {

std::vector<std::string> wrap_text(std::string_view text, std::size_t width, std::string_view indent) {
    std::vector<std::string> lines;
    std::string rest = rt::ALLTRIM(text);
    std::string lead;
    while (!rest.empty()) {
        const std::size_t room = width > lead.size() ? width - lead.size() : 1;
        if (rest.size() <= room) {
            lines.push_back(lead + rest);
            break;
        }
        // The last blank that lets the line fit; a word longer than the
        // line is cut where the line ends.
        std::size_t cut = rest.rfind(' ', room);
        if (cut == std::string::npos || cut == 0) cut = room;
        lines.push_back(lead + rt::RTRIM(rest.substr(0, cut)));
        rest = rt::LTRIM(rest.substr(cut));
        lead = std::string(indent);
    }
    return lines;
}

std::vector<std::vector<std::string>> report_boxes(const std::string& title, const std::vector<std::string>& entries,
                                                   std::size_t width, std::size_t lines_per_box) {
    std::vector<std::string> lines;
    for (const std::string& entry : entries)
        for (std::string& line : wrap_text(entry, width)) lines.push_back(std::move(line));
    std::vector<std::vector<std::string>> boxes;
    if (lines.empty()) return boxes;
    const std::size_t per_box = lines_per_box > 1 ? lines_per_box : 2;
    for (std::size_t at = 0; at < lines.size();) {
        std::vector<std::string> box{title};
        const bool last = lines.size() - at <= per_box;
        const std::size_t take = last ? lines.size() - at : per_box - 1;
        box.insert(box.end(), lines.begin() + static_cast<long>(at), lines.begin() + static_cast<long>(at + take));
        if (!last) box.push_back("(continua)");
        boxes.push_back(std::move(box));
        at += take;
    }
    return boxes;
}

void show_report(const std::string& title, const std::vector<std::string>& entries) {
    // Laid as text: an entry's continuation reads on under its start.
    for (const auto& box : report_boxes(title, entries)) AVISOSN(box, 0, rt::AlertLines::Left);
}

}  // namespace qv::common
