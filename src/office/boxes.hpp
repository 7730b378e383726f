#pragma once
// The framed boxes of the office options: a numbered text window in the
// terminal's colours with its lines laid out one per row.
#include <string>
#include <vector>

namespace qv::office {

// Opens window `id` with its text starting at (top, left), one line a row.
void open_box(int id, int top, int left, int bottom, int right, const std::vector<std::string>& lines);

}  // namespace qv::office
