// ACHOICE: the list's state, its drawing, its moves and the loop.
#include "runtime/ui/achoice.hpp"
#include <algorithm>
#include <optional>
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::rt {

namespace {

class PickList {
public:
    PickList(int top, int left, int bottom, int right, const std::vector<std::string>& items,
             const std::vector<bool>& selectable)
        : top_(top), left_(left), height_(std::max(1, bottom - top + 1)),
          width_(std::max(1, right - left + 1)), items_(items), selectable_(selectable) {
        count_ = static_cast<int>(std::find(items.begin(), items.end(), std::string()) - items.begin());
    }

    bool any_selectable() const {
        for (int i = 0; i < count_; ++i) {
            if (selectable(i)) return true;
        }
        return false;
    }

    void start(int initial, int window_row) {
        cur_ = std::clamp(initial, 1, std::max(1, count_)) - 1;
        if (!selectable(cur_)) cur_ = next_from(cur_, +1).value_or(next_from(cur_, -1).value_or(0));
        first_ = cur_ - std::clamp(window_row, 0, height_ - 1);
        clamp_first();
    }

    int current() const { return cur_ + 1; }
    int window_row() const { return cur_ - first_; }

    // Moves; false when there is nowhere to go (the list's top or bottom).
    bool up() { return go(next_from(cur_ - 1, -1)); }
    bool down() { return go(next_from(cur_ + 1, +1)); }
    bool page_up() {
        if (!next_from(cur_ - 1, -1)) return false;
        const int target = cur_ - height_;
        first_ -= height_;
        return go(target < 0 ? first_selectable() : next_from(target, -1).value_or(*first_selectable()));
    }
    bool page_down() {
        if (!next_from(cur_ + 1, +1)) return false;
        const int target = cur_ + height_;
        first_ += height_;
        return go(target >= count_ ? last_selectable() : next_from(target, +1).value_or(*last_selectable()));
    }
    void first() { go(first_selectable()); }
    void last() { go(last_selectable()); }
    void window_top() {
        go(next_from(first_, +1));
    }
    void window_bottom() {
        go(next_from(std::min(count_ - 1, first_ + height_ - 1), -1));
    }
    // The next selectable item after the current one whose first character
    // is the key's, from the top again after the last item.
    bool seek_letter(int key) {
        if (key < 32 || key > 255) return false;
        const char want = upper_char(static_cast<char>(key));
        for (int step = 1; step <= count_; ++step) {
            const int i = (cur_ + step) % count_;
            const std::string text = LTRIM(items_[static_cast<std::size_t>(i)]);
            if (selectable(i) && !text.empty() && upper_char(text[0]) == want) return go(i);
        }
        return false;
    }

    void draw() const {
        DISPBEGIN();
        for (int r = 0; r < height_; ++r) {
            const int i = first_ + r;
            std::string text;
            Attr attr = colour_slot(0);
            if (i < count_) {
                text = items_[static_cast<std::size_t>(i)];
                if (i == cur_) {
                    attr = colour_slot(1);
                } else if (!selectable(i)) {
                    attr = colour_slot(4);
                }
            }
            at_say(top_ + r, left_, PADR(text, width_), attr);
        }
        SETPOS(top_ + window_row(), left_);
        DISPEND();
        refresh_screen();
    }

private:
    bool selectable(int i) const {
        if (i < 0 || i >= count_) return false;
        return static_cast<std::size_t>(i) >= selectable_.size() || selectable_[static_cast<std::size_t>(i)];
    }
    // The first selectable item from i in the direction step (i included).
    std::optional<int> next_from(int i, int step) const {
        for (; i >= 0 && i < count_; i += step) {
            if (selectable(i)) return i;
        }
        return std::nullopt;
    }
    std::optional<int> first_selectable() const { return next_from(0, +1); }
    std::optional<int> last_selectable() const { return next_from(count_ - 1, -1); }

    bool go(std::optional<int> i) {
        if (!i) return false;
        cur_ = *i;
        if (cur_ < first_) first_ = cur_;
        if (cur_ >= first_ + height_) first_ = cur_ - height_ + 1;
        clamp_first();
        return true;
    }
    // The window shows the current item and, near the end, no blank rows.
    void clamp_first() {
        const int lo = std::max(0, cur_ - height_ + 1);
        const int hi = std::min(cur_, std::max(0, count_ - height_));
        first_ = std::clamp(first_, lo, hi);
    }

    int top_, left_, height_, width_;
    const std::vector<std::string>& items_;
    const std::vector<bool>& selectable_;
    int count_ = 0;
    int cur_ = 0;
    int first_ = 0;
};

enum class Move { Done, HitTop, HitBottom, NotMine };

Move apply_move(PickList& list, int k) {
    switch (k) {
    case key::UP: return list.up() ? Move::Done : Move::HitTop;
    case key::DOWN: return list.down() ? Move::Done : Move::HitBottom;
    case key::PGUP: return list.page_up() ? Move::Done : Move::HitTop;
    case key::PGDN: return list.page_down() ? Move::Done : Move::HitBottom;
    case key::HOME: case key::CTRL_PGUP: list.first(); return Move::Done;
    case key::END: case key::CTRL_PGDN: list.last(); return Move::Done;
    case key::CTRL_HOME: list.window_top(); return Move::Done;
    case key::CTRL_END: list.window_bottom(); return Move::Done;
    default: return Move::NotMine;
    }
}

// Without a user function: Enter chooses, Esc/Left/Right give up, letters seek.
std::optional<int> plain_key(PickList& list, int k) {
    switch (k) {
    case key::ENTER: return list.current();
    case key::ESC: case key::LEFT: case key::RIGHT: return 0;
    default: list.seek_letter(k); return std::nullopt;
    }
}

// The user function's answer: a result for ACHOICE, or nothing to go on.
std::optional<int> ask(PickList& list, const AchoiceFunction& user, int mode) {
    switch (user(mode, list.current(), list.window_row())) {
    case AC_ABORT: return 0;
    case AC_SELECT: return list.current();
    case AC_GOTO: list.seek_letter(LASTKEY()); return std::nullopt;
    default: return std::nullopt;
    }
}

}  // namespace

int ACHOICE(int top, int left, int bottom, int right, const std::vector<std::string>& items,
            const std::vector<bool>& selectable, const AchoiceFunction& user, int initial, int window_row) {
    PickList list(top, left, bottom, right, items, selectable);
    if (!list.any_selectable()) {
        list.draw();
        if (user) user(AC_NOITEM, 0, 0);
        return 0;
    }
    list.start(initial, window_row);
    while (true) {
        list.draw();
        if (user && NEXTKEY() == 0) {
            if (const auto r = ask(list, user, AC_IDLE)) return *r;
            list.draw();
        }
        const int k = INKEY(-1);
        const Move m = apply_move(list, k);
        if (!user) {
            if (m != Move::NotMine) continue;
            if (const auto r = plain_key(list, k)) return *r;
            continue;
        }
        std::optional<int> r;
        if (m == Move::HitTop) {
            r = ask(list, user, AC_HITTOP);
        } else if (m == Move::HitBottom) {
            r = ask(list, user, AC_HITBOTTOM);
        } else if (m == Move::NotMine) {
            r = ask(list, user, AC_EXCEPT);
        }
        if (r) return *r;
    }
}

}  // namespace qv::rt
