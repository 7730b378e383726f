// The cell grid and the plain output on it: positions, text, scrolling.
#include "runtime/screen/screen.hpp"

#include <algorithm>
#include <optional>

#include "runtime/screen/screen_state.hpp"

namespace qv::rt {
namespace detail {

ScreenState& screen_state() {
    static ScreenState state;
    return state;
}

void screen_changed() {
    auto& s = screen_state();
    s.pending = true;
    if (s.batch_depth == 0) refresh_screen();
}

bool on_screen(int row, int col) {
    return row >= 0 && row < SCREEN_ROWS && col >= 0 && col < SCREEN_COLS;
}

void put_cell(int row, int col, unsigned char ch, Attr attr) {
    if (!on_screen(row, col)) return;
    screen_state().grid[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] = Cell{ch, attr};
}

Region clip_region(int top, int left, int bottom, int right) {
    return Region{std::max(top, 0), std::max(left, 0), std::min(bottom, SCREEN_ROWS - 1),
                  std::min(right, SCREEN_COLS - 1)};
}

void reset_screen_state() {
    auto& s = screen_state();
    s = ScreenState{};
    s.pending = true;
}

}  // namespace detail

using detail::screen_state;

namespace {

void fill_region(const detail::Region& r, Cell cell) {
    for (int row = r.top; row <= r.bottom; ++row)
        for (int col = r.left; col <= r.right; ++col) detail::put_cell(row, col, cell.ch, cell.attr);
}

Cell blank_cell() { return Cell{' ', colour_slot(0)}; }

}  // namespace

int MAXROW() { return SCREEN_ROWS - 1; }
int MAXCOL() { return SCREEN_COLS - 1; }

void DEVPOS(int row, int col) {
    auto& s = screen_state();
    s.row = row;
    s.col = col;
    detail::screen_changed();
}

void DEVOUT(std::string_view text) { DEVOUT(text, colour_slot(0)); }

// Text that runs past the edge of the screen is cut off, never wrapped.
void DEVOUT(std::string_view text, Attr attr) {
    auto& s = screen_state();
    int col = s.col;
    for (const char c : text) {
        detail::put_cell(s.row, col, static_cast<unsigned char>(c), attr);
        ++col;
    }
    s.col = col;
    detail::screen_changed();
}

void at_say(int row, int col, std::string_view text) { at_say(row, col, text, colour_slot(0)); }

void at_say(int row, int col, std::string_view text, Attr attr) {
    const bool batching = screen_state().batch_depth > 0;
    if (!batching) DISPBEGIN();
    DEVPOS(row, col);
    DEVOUT(text, attr);
    if (!batching) DISPEND();
}

void SCROLL(int top, int left, int bottom, int right, int rows) { SCROLL(top, left, bottom, right, rows, 0); }

void SCROLL(int top, int left, int bottom, int right, int rows, int cols) {
    const auto r = detail::clip_region(top, left, bottom, right);
    if (r.empty()) return;
    auto& grid = screen_state().grid;
    const Cell blank = blank_cell();
    if (rows == 0 && cols == 0) {
        fill_region(r, blank);
        detail::screen_changed();
        return;
    }
    // Copy from the source cell each target would take; in the direction of
    // the move so that nothing is read after being overwritten.
    const auto source_of = [&](int row, int col) -> std::optional<Cell> {
        const int sr = row + rows, sc = col + cols;
        if (sr < r.top || sr > r.bottom || sc < r.left || sc > r.right) return std::nullopt;
        return grid[static_cast<std::size_t>(sr)][static_cast<std::size_t>(sc)];
    };
    const auto move_cell = [&](int row, int col) {
        const auto src = source_of(row, col);
        grid[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] = src.value_or(blank);
    };
    for (int i = 0; i < r.height(); ++i) {
        const int row = rows >= 0 ? r.top + i : r.bottom - i;
        for (int j = 0; j < r.width(); ++j) move_cell(row, cols >= 0 ? r.left + j : r.right - j);
    }
    detail::screen_changed();
}

void CLS() {
    fill_region(detail::Region{0, 0, SCREEN_ROWS - 1, SCREEN_COLS - 1}, blank_cell());
    auto& s = screen_state();
    s.row = 0;
    s.col = 0;
    detail::screen_changed();
}

void set_region_attr(int top, int left, int bottom, int right, Attr attr) {
    const auto r = detail::clip_region(top, left, bottom, right);
    auto& grid = screen_state().grid;
    for (int row = r.top; row <= r.bottom; ++row)
        for (int col = r.left; col <= r.right; ++col)
            grid[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)].attr = attr;
    detail::screen_changed();
}

void SETPOS(int row, int col) { DEVPOS(row, col); }
int ROW() { return screen_state().row; }
int COL() { return screen_state().col; }

int SETCURSOR(int shape) {
    auto& s = screen_state();
    const int old = s.cursor_shape;
    if (shape >= 0 && shape <= 4 && shape != old) {
        s.cursor_shape = shape;
        detail::screen_changed();
    }
    return old;
}

Cell cell_at(int row, int col) {
    if (!detail::on_screen(row, col)) return Cell{};
    return screen_state().grid[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

std::string row_text(int row) {
    if (row < 0 || row >= SCREEN_ROWS) return {};
    std::string out;
    for (const auto& cell : screen_state().grid[static_cast<std::size_t>(row)])
        out += static_cast<char>(cell.ch);
    return out;
}

void DISPBEGIN() { ++screen_state().batch_depth; }

void DISPEND() {
    auto& s = screen_state();
    if (s.batch_depth > 0) --s.batch_depth;
    if (s.batch_depth == 0 && s.pending) refresh_screen();
}

void refresh_screen() {
    auto& s = screen_state();
    s.pending = false;
    backend().present(s.grid, s.row, s.col, s.cursor_shape);
}

}  // namespace qv::rt
