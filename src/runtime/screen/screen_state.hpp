#pragma once
// The screen's own state, shared by the files that draw on it.
#include "runtime/screen/backend.hpp"

namespace qv::rt::detail {

struct ScreenState {
    CellGrid grid{};
    int row = 0, col = 0;
    int cursor_shape = 1;
    int batch_depth = 0;     // DISPBEGIN nesting
    bool pending = false;    // changed since the backend last saw it
};

ScreenState& screen_state();
// Hands the grid to the backend unless output is being batched.
void screen_changed();
// Writes one cell when it lies on the screen; anything else is dropped.
void put_cell(int row, int col, unsigned char ch, Attr attr);
bool on_screen(int row, int col);

// A rectangle cut down to the screen; empty when nothing of it is left.
struct Region {
    int top, left, bottom, right;
    bool empty() const { return bottom < top || right < left; }
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};
Region clip_region(int top, int left, int bottom, int right);

// Brings the screen and keyboard back to how a fresh program finds them.
void reset_screen_state();
void reset_keyboard_state();
void reset_colours();

}  // namespace qv::rt::detail
