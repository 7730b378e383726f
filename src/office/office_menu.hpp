#pragma once
// The vertical option bar of the office features: a framed list, a status
// line help per item, hot letters, Esc to leave.
#include <string>
#include <vector>

namespace qv::office {

// Runs `chosen(n)` for each item chosen until Esc, the items laid on the
// screen painter's frame `frame` (0: a plain box at (top, left)).
void office_menu(int frame, int top, int left, const std::vector<std::string>& items,
                 const std::vector<std::string>& help, const std::string& hot_letters, void (*chosen)(int));

// A box of the office forms, drawn over what is on the screen.
void office_box(int top, int left, int bottom, int right);

}  // namespace qv::office
