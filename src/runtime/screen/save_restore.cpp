// SAVESCREEN / RESTSCREEN: regions kept as character and attribute byte
// pairs, row after row, cut down to the screen on both sides alike.
#include <string>

#include "runtime/screen/screen.hpp"
#include "runtime/screen/screen_state.hpp"

namespace qv::rt {

std::string SAVESCREEN(int top, int left, int bottom, int right) {
    const auto r = detail::clip_region(top, left, bottom, right);
    if (r.empty()) return {};
    std::string out;
    out.reserve(static_cast<std::size_t>(r.width() * r.height() * 2));
    for (int row = r.top; row <= r.bottom; ++row)
        for (int col = r.left; col <= r.right; ++col) {
            const Cell c = cell_at(row, col);
            out += static_cast<char>(c.ch);
            out += static_cast<char>(c.attr);
        }
    return out;
}

// A saved string shorter than the region restores what it holds; the rest of
// the region keeps what is on screen.
void RESTSCREEN(int top, int left, int bottom, int right, std::string_view saved) {
    const auto r = detail::clip_region(top, left, bottom, right);
    if (r.empty()) return;
    std::size_t at = 0;
    for (int row = r.top; row <= r.bottom; ++row)
        for (int col = r.left; col <= r.right; ++col) {
            if (at + 2 > saved.size()) {
                detail::screen_changed();
                return;
            }
            detail::put_cell(row, col, static_cast<unsigned char>(saved[at]), static_cast<Attr>(saved[at + 1]));
            at += 2;
        }
    detail::screen_changed();
}

void RESTSCREEN(std::string_view saved) { RESTSCREEN(0, 0, SCREEN_ROWS - 1, SCREEN_COLS - 1, saved); }

}  // namespace qv::rt
