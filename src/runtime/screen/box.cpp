// DISPBOX: frames drawn from an 8-character frame string, the 9th filling.
#include <algorithm>
#include <string>

#include "runtime/screen/screen.hpp"
#include "runtime/screen/screen_state.hpp"

namespace qv::rt {
namespace {

enum FramePart { TOP_LEFT, TOP, TOP_RIGHT, RIGHT, BOTTOM_RIGHT, BOTTOM, BOTTOM_LEFT, LEFT, FILL };

// An empty frame is the single line; a short one repeats its last character
// for the parts it leaves out. Only a 9th character fills the inside.
std::string full_frame(std::string_view frame) {
    std::string f(frame.empty() ? B_SINGLE : frame);
    if (f.size() < 8) f.append(8 - f.size(), f.back());
    return f;
}

}  // namespace

void DISPBOX(int top, int left, int bottom, int right, std::string_view frame) {
    DISPBOX(top, left, bottom, right, frame, colour_slot(0));
}

void DISPBOX(int top, int left, int bottom, int right, std::string_view frame, Attr attr) {
    if (bottom < top) std::swap(top, bottom);
    if (right < left) std::swap(left, right);
    const std::string f = full_frame(frame);
    const auto ch = [&](FramePart p) { return static_cast<unsigned char>(f[static_cast<std::size_t>(p)]); };
    const auto put = [&](int row, int col, FramePart p) { detail::put_cell(row, col, ch(p), attr); };

    if (top == bottom) {            // a one-row box is a horizontal line
        for (int col = left; col <= right; ++col) put(top, col, TOP);
    } else if (left == right) {     // a one-column box is a vertical line
        for (int row = top; row <= bottom; ++row) put(row, left, LEFT);
    } else {
        put(top, left, TOP_LEFT);
        put(top, right, TOP_RIGHT);
        put(bottom, left, BOTTOM_LEFT);
        put(bottom, right, BOTTOM_RIGHT);
        for (int col = left + 1; col < right; ++col) {
            put(top, col, TOP);
            put(bottom, col, BOTTOM);
        }
        for (int row = top + 1; row < bottom; ++row) {
            put(row, left, LEFT);
            put(row, right, RIGHT);
        }
        if (f.size() > 8)
            for (int row = top + 1; row < bottom; ++row)
                for (int col = left + 1; col < right; ++col) put(row, col, FILL);
    }
    auto& s = detail::screen_state();
    s.row = top + 1;
    s.col = left + 1;
    detail::screen_changed();
}

}  // namespace qv::rt
