#include "common/frame_boxes.hpp"

#include "common/globals.hpp"
#include "common/windows.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::common {

void open_box(int id, int top, int left, int bottom, int right, const std::vector<std::string>& lines) {
    DEFINEJAN(id, Global("COR_TEL1").integer(30), Global("COR_TEL2").integer(31), Global("COR_TEL3").integer(8), top,
              left, bottom, right, 1);
    ABREJAN(id);
    const long width = right - left - 1;
    std::string text;
    for (const std::string& line : lines) text += rt::PADR(line, width);
    // The rows below the last line are the box's own too: nothing of the
    // screen under it shows through.
    const long inside = static_cast<long>(bottom - top - 1) * width;
    if (static_cast<long>(text.size()) < inside) text = rt::PADR(text, inside);
    ESCRJAN(id, text);
}

void open_frame(const FrameBox& frame) {
    std::vector<std::string> lines;
    lines.reserve(frame.lines.size());
    for (const char* line : frame.lines) lines.push_back(rt::utf8_to_cp850(line));
    open_box(frame.window, frame.top, frame.left, frame.bottom, frame.right, lines);
    if (*frame.title != '\0') rt::at_say(frame.top - 1, frame.left + 1, rt::utf8_to_cp850(frame.title));
}

bool paint_dialog_frame(int number, int variant) {
    rt::call_routine("MTELA1", {rt::Value(number), rt::Value(variant)});
    return true;
}

}  // namespace qv::common
