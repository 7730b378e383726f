#pragma once
// A dialog's frame kept as data: a numbered text window in the terminal's
// colours, its lines laid out one per row and an optional title on the top
// border. The painters of the management dialogs hold their frames as
// tables of these and open them with open_frame.
#include <string>
#include <string_view>
#include <vector>

namespace qv::common {

struct FrameBox {
    int window;
    int top, left, bottom, right;     // as DEFINEJAN takes them (type 1 box)
    std::vector<const char*> lines;   // UTF-8 in the source, one per row
    const char* title = "";           // UTF-8, written on the top border
};

// Opens window `id` with its text starting at (top, left), one line a row
// (lines already in CP850).
void open_box(int id, int top, int left, int bottom, int right, const std::vector<std::string>& lines);
// Opens the frame's window, writes its lines and its title.
void open_frame(const FrameBox& frame);
// Paints the management dialog frame `number` through the screen painter's
// MTELA1 (called by name); true.
bool paint_dialog_frame(int number, int variant = 0);

}  // namespace qv::common
