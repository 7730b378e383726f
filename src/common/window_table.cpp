// The window table, the saved-screen stack, opening, closing and moving.
#include <algorithm>
#include <vector>

#include "common/colours.hpp"
#include "common/window_state.hpp"
#include "common/windows.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::common {

namespace detail {

WindowState& window_state() {
    static WindowState state;
    return state;
}

TextWindow* window(int id) {
    auto& list = window_state().windows;
    const auto it = std::find_if(list.begin(), list.end(), [id](const TextWindow& w) { return w.id == id; });
    return it == list.end() ? nullptr : &*it;
}

Region frame_region(const TextWindow& w) {
    switch (w.type) {
    case 1: return {w.top - 1, w.left - 1, w.bottom, w.right};
    case 7: return {w.top, w.left, w.bottom + 2, w.right + 1};
    default: return {w.top, w.left, w.bottom, w.right};
    }
}

Region drawn_region(const TextWindow& w) {
    if (w.type == 1) return {w.top - 1, w.left - 1, w.bottom - 1, w.right - 1};
    return {w.top, w.left, w.bottom, w.right};
}

}  // namespace detail

using detail::Region;

namespace {

Region clipped(Region r) {
    return {std::max(r.top, 0), std::max(r.left, 0), std::min(r.bottom, rt::SCREEN_ROWS - 1),
            std::min(r.right, rt::SCREEN_COLS - 1)};
}

// Puts back and forgets the screen saved for the window, if any.
void restore_saved(int id) {
    auto& stack = detail::window_state().saved;
    const auto it = std::find_if(stack.begin(), stack.end(), [id](const detail::SavedScreen& s) { return s.id == id; });
    if (it == stack.end()) return;
    if (it->region.top <= it->region.bottom && it->region.left <= it->region.right)
        rt::RESTSCREEN(it->region.top, it->region.left, it->region.bottom, it->region.right, it->contents);
    stack.erase(it);
}

void save_region(int id, Region r) {
    restore_saved(id);
    const Region c = clipped(r);
    std::string contents;
    if (c.top <= c.bottom && c.left <= c.right) contents = rt::SAVESCREEN(c.top, c.left, c.bottom, c.right);
    detail::window_state().saved.push_back({id, c, std::move(contents)});
}

}  // namespace

void REDEFJAN(int id, int attr1, int attr2, int attr3, int top, int left, int bottom, int right, int type) {
    if (type == 7) bottom += 2;
    TextWindow* w = detail::window(id);
    if (w == nullptr) {
        detail::window_state().windows.push_back(TextWindow{});
        w = &detail::window_state().windows.back();
        w->id = id;
    }
    w->colour1 = ACHACOR(attr1);
    w->colour2 = ACHACOR(attr2);
    w->colour3 = ACHACOR(attr3);
    w->top = top;
    w->left = left;
    w->bottom = bottom;
    w->right = right;
    w->type = type;
    w->last_text.clear();
}

void DEFINEJAN(int id, int attr1, int attr2, int attr3, int top, int left, int bottom, int right, int type) {
    REDEFJAN(id, attr1, attr2, attr3, top, left, bottom, right, type);
}

void REDFATR(int id, int which, int attr) {
    TextWindow* w = detail::window(id == 0 ? 10 : id);
    if (w == nullptr) return;
    switch (which) {
    case 1: w->colour1 = ACHACOR(attr); break;
    case 2: w->colour2 = ACHACOR(attr); break;
    case 3: w->colour3 = ACHACOR(attr); break;
    default: break;
    }
}

void ABREJAN(int id, bool flag) {
    TextWindow* w = detail::window(id);
    if (w == nullptr) return;
    if (w->type != 1 && w->type != 2) w->open = flag;
    save_region(id, detail::frame_region(*w));
    if (w->type == 1 || w->type == 2) {
        const Region box = detail::drawn_region(*w);
        rt::DISPBOX(box.top, box.left, box.bottom, box.right, rt::B_SINGLE, rt::parse_colour(w->colour2));
    }
}

void redraw_window(int id) {
    const TextWindow* w = detail::window(id);
    if (w == nullptr || (w->type != 1 && w->type != 2) || !window_saved(id)) return;
    const Region box = detail::drawn_region(*w);
    rt::DISPBOX(box.top, box.left, box.bottom, box.right, rt::B_SINGLE, rt::parse_colour(w->colour2));
    const std::string blank(static_cast<std::size_t>(std::max(box.right - box.left - 1, 0)), ' ');
    for (int r = box.top + 1; r < box.bottom; ++r) rt::at_say(r, box.left + 1, blank, rt::parse_colour(w->colour1));
    const std::string text = w->last_text;
    ESCRJAN(id, text);
}

void FECHAJAN(int id) {
    if (detail::window(id) == nullptr) return;
    restore_saved(id);
}

bool window_saved(int id) {
    const auto& stack = detail::window_state().saved;
    return std::any_of(stack.begin(), stack.end(), [id](const detail::SavedScreen& s) { return s.id == id; });
}

void keep_on_screen(int id) {
    auto& stack = detail::window_state().saved;
    std::erase_if(stack, [id](const detail::SavedScreen& s) { return s.id == id; });
}

const TextWindow* find_window(int id) { return detail::window(id); }

void reset_windows() {
    auto& state = detail::window_state();
    state.windows.clear();
    state.saved.clear();
}

namespace {

// A move keeps everything the window draws on the screen.
void move_window(int id, int rows, int cols) {
    TextWindow* w = detail::window(id);
    if (w == nullptr) return;
    const Region drawn = detail::drawn_region(*w);
    if (drawn.top + rows < 0 || drawn.bottom + rows > rt::SCREEN_ROWS - 1) return;
    if (drawn.left + cols < 0 || drawn.right + cols > rt::SCREEN_COLS - 1) return;
    w->top += rows;
    w->bottom += rows;
    w->left += cols;
    w->right += cols;
    const std::string text = w->last_text;
    const bool flag = w->open;
    FECHAJAN(id);
    ABREJAN(id, flag);
    ESCRJAN(id, text);
}

}  // namespace

void MOVEVER(int id, int key) { move_window(id, key == 129 ? -1 : 1, 0); }
void MOVEHOR(int id, int key) { move_window(id, 0, key == 129 ? -1 : 1); }

}  // namespace qv::common
