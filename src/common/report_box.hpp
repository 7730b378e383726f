#pragma once
// A list of findings shown at the end of a run (files not converted,
// declarations not sent): each entry wrapped at the box's width, the list
// shown box after box when it is longer than one box holds.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qv::common {

// The text cut into lines of at most `width` characters, at blanks where
// it can be; the lines after the first start with `indent`.
std::vector<std::string> wrap_text(std::string_view text, std::size_t width, std::string_view indent = "  ");

// The boxes of a report: the title, then the entries' wrapped lines, at most
// `lines_per_box` of them in a box; a box followed by another ends with
// "(continua)".
std::vector<std::vector<std::string>> report_boxes(const std::string& title, const std::vector<std::string>& entries,
                                                   std::size_t width = 58, std::size_t lines_per_box = 14);

// Shows the boxes one after the other, their lines laid from the left
// (nothing for an empty report).
void show_report(const std::string& title, const std::vector<std::string>& entries);

}  // namespace qv::common
