// The keys of an entry field: moving in it, typing under its mask, and the
// keys that leave it.
#include <vector>
#include "runtime/screen/keys.hpp"
#include "runtime/ui/get.hpp"
#include "runtime/ui/get_settings.hpp"

namespace qv::rt {

namespace {
constexpr int KEY_UNDO = 21;   // Ctrl+U: back to the value the field had
}  // namespace

void Get::apply_key(int key) {
    if (!focus_) return;
    auto& f = *focus_;
    const bool data_key = key >= 32 && key <= 255;
    if (!data_key) f.clear = f.clear && (key == key::INS);
    if (!data_key && key != key::INS && key != key::BS) f.adding = false;
    switch (key) {
    case key::UP: case key::SHIFT_TAB: exit_ = GetExit::Up; return;
    case key::DOWN: case key::TAB: exit_ = GetExit::Down; return;
    case key::ENTER: exit_ = GetExit::Enter; return;
    case key::PGUP: case key::PGDN: case key::CTRL_W: exit_ = GetExit::Write; return;
    case key::CTRL_HOME: exit_ = GetExit::Top; return;
    case key::ESC:
        if (SET_ESCAPE()) {
            undo();
            exit_ = GetExit::Escape;
        }
        return;
    case key::INS:
        READINSERT(!READINSERT());
        apply_insert_cursor();
        show_insert_indicator();
        return;
    case KEY_UNDO:
        f.buffer = f.edit.buffer(f.original);
        home();
        return;
    case key::HOME: home(); return;
    case key::END: {
        std::optional<std::size_t> last;
        for (std::size_t i = 0; i < f.buffer.size(); ++i) {
            if (f.edit.editable(i) && f.buffer[i] != ' ') last = i;
        }
        if (!last) { home(); return; }
        move_to(f.edit.next_editable(*last).value_or(*last));
        return;
    }
    case key::LEFT:
        if (auto p = f.edit.prev_editable(f.pos)) move_to(*p);
        return;
    case key::RIGHT:
        if (auto p = f.edit.next_editable(f.pos)) move_to(*p);
        return;
    case key::CTRL_LEFT: word_left(); return;
    case key::CTRL_RIGHT: word_right(); return;
    case key::BS:
        if (f.adding) {
            drop_last_integer_digit();
            return;
        }
        if (auto p = f.edit.prev_editable(f.pos)) {
            move_to(*p);
            delete_at(*p);
        }
        return;
    case key::DEL: delete_at(f.pos); return;
    case key::CTRL_T: delete_word_right(); return;
    case key::CTRL_Y: clear_to_end(); return;
    default: break;
    }
    if (data_key) type_char(static_cast<char>(key));
}

void Get::home() {
    auto& f = *focus_;
    move_to(f.edit.first_editable().value_or(0));
}

void Get::move_to(std::size_t pos) {
    focus_->pos = pos;
    fix_offset();
}

void Get::type_char(char c) {
    auto& f = *focus_;
    const bool number = f.edit.type() == Type::Number;
    if (number && (c == '.' || c == ',')) {
        if (f.clear) f.buffer = f.edit.blank_buffer();
        f.clear = false;
        f.adding = false;
        to_decimal();
        return;
    }
    if (number && c == '-' && no_negative_) {
        signal_entry_refusal(EntryRefusal::Negative);
        return;
    }
    if (f.clear) {
        const bool clears = !number || (c >= '0' && c <= '9') || c == '-' || c == '+' || c == ' ';
        if (clears) {
            f.buffer = f.edit.blank_buffer();
            home();
            f.adding = number && c != ' ';
            f.whole.clear();
            f.negative = false;
        }
        f.clear = false;
    }
    if (f.adding && add_to_integer(c)) return;
    if (!f.edit.editable(f.pos)) {
        // A field without a place to type into: the key only leaves it.
        if (!f.edit.first_editable() && !SET_CONFIRM()) exit_ = GetExit::Enter;
        return;
    }
    const auto accepted = f.edit.accept(f.pos, c);
    if (!accepted) return;
    if (READINSERT()) {
        insert_at(f.pos, *accepted);
    } else {
        f.buffer[f.pos] = *accepted;
    }
    if (auto next = f.edit.next_editable(f.pos)) {
        move_to(*next);
    } else if (!SET_CONFIRM()) {
        exit_ = GetExit::Enter;
    }
}

// The whole digits typed so far, right-aligned with their marks; the
// cursor stays on the last one, where the next one goes in.
void Get::lay_out_integer() {
    auto& f = *focus_;
    const std::size_t first = f.whole.find_first_not_of('0');
    const std::string shown = first != std::string::npos ? f.whole.substr(first) : f.whole.empty() ? "" : "0";
    const std::size_t end = f.edit.integer_end();
    f.buffer.replace(0, end, f.edit.integer_layout(shown, f.negative));
    if (const auto last = f.edit.prev_editable(end)) move_to(*last);
}

// A digit or a sign typed while whole digits are being added; false when
// the key is not one of them (it is then typed as usual). Each digit typed
// takes a place, leading zeros too, as when the field is filled position
// by position.
bool Get::add_to_integer(char c) {
    auto& f = *focus_;
    if (f.pos >= f.edit.integer_end()) {
        f.adding = false;
        return false;
    }
    const std::size_t capacity = f.edit.integer_capacity();
    if (c == '-' || c == '+') {
        if (c == '-' && f.whole.size() >= capacity) {
            signal_entry_refusal(EntryRefusal::TooLarge);
            return true;
        }
        f.negative = c == '-';
        lay_out_integer();
        return true;
    }
    if (c < '0' || c > '9') return false;
    // The sign takes a place of its own.
    const std::size_t room = capacity - (f.negative ? 1 : 0);
    if (f.whole.size() >= room) {
        signal_entry_refusal(EntryRefusal::TooLarge);
        return true;
    }
    f.whole += c;
    lay_out_integer();
    // A whole number filled to its last place leaves the field, as any
    // field does.
    if (f.whole.size() == room && !f.edit.decimal_pos() && !SET_CONFIRM()) exit_ = GetExit::Enter;
    return true;
}

void Get::drop_last_integer_digit() {
    auto& f = *focus_;
    if (!f.whole.empty()) f.whole.pop_back();
    else f.negative = false;
    lay_out_integer();
}

// The decimal key: the integer digits typed so far go to the right of the
// integer part and the cursor to the first decimal.
void Get::to_decimal() {
    auto& f = *focus_;
    const Value v = f.edit.value(f.buffer);
    std::string buf = f.edit.buffer(v);
    if (buf.find_first_not_of(' ') == std::string::npos) buf = f.edit.blank_buffer();
    f.buffer = buf;
    const auto point = f.edit.decimal_pos();
    const auto target = point ? f.edit.next_editable(*point) : f.edit.last_editable();
    move_to(target.value_or(f.pos));
}

// Where shifting stops for the part of the buffer that holds pos: a number's
// integer digits never slide into its decimals.
std::size_t Get::part_end(std::size_t pos) const {
    const auto& f = *focus_;
    const auto point = f.edit.decimal_pos();
    if (point && pos < *point) return *point;
    return f.buffer.size();
}

void Get::delete_at(std::size_t pos) {
    auto& f = *focus_;
    if (!f.edit.editable(pos)) return;
    const std::size_t end = part_end(pos);
    std::size_t cur = pos;
    for (auto next = f.edit.next_editable(cur); next && *next < end; next = f.edit.next_editable(cur)) {
        f.buffer[cur] = f.buffer[*next];
        cur = *next;
    }
    f.buffer[cur] = ' ';
    drop_stray_sign();
}

void Get::insert_at(std::size_t pos, char c) {
    auto& f = *focus_;
    const std::size_t end = part_end(pos);
    std::vector<std::size_t> slots;
    for (std::optional<std::size_t> p = pos; p && *p < end; p = f.edit.next_editable(*p)) {
        slots.push_back(*p);
    }
    for (std::size_t i = slots.size(); i-- > 1;) f.buffer[slots[i]] = f.buffer[slots[i - 1]];
    f.buffer[pos] = c;
}

void Get::word_left() {
    auto& f = *focus_;
    std::size_t p = f.pos;
    auto prev = [&](std::size_t q) { return f.edit.prev_editable(q); };
    // Back over blanks, then to the start of the word found.
    auto q = prev(p);
    while (q && f.buffer[*q] == ' ') q = prev(*q);
    if (!q) return;
    p = *q;
    for (auto r = prev(p); r && f.buffer[*r] != ' '; r = prev(*r)) p = *r;
    move_to(p);
}

void Get::word_right() {
    auto& f = *focus_;
    std::optional<std::size_t> q = f.pos;
    while (q && f.buffer[*q] != ' ') q = f.edit.next_editable(*q);
    while (q && f.buffer[*q] == ' ') q = f.edit.next_editable(*q);
    if (q) move_to(*q);
}

void Get::delete_word_right() {
    auto& f = *focus_;
    if (!f.edit.editable(f.pos)) return;
    const std::size_t end = part_end(f.pos);
    std::size_t count = 0;
    std::optional<std::size_t> q = f.pos;
    while (q && *q < end && f.buffer[*q] != ' ') { ++count; q = f.edit.next_editable(*q); }
    while (q && *q < end && f.buffer[*q] == ' ') { ++count; q = f.edit.next_editable(*q); }
    for (std::size_t i = 0; i < count; ++i) delete_at(f.pos);
}

void Get::clear_to_end() {
    auto& f = *focus_;
    for (std::optional<std::size_t> p = f.pos; p; p = f.edit.next_editable(*p)) {
        if (f.edit.editable(*p)) f.buffer[*p] = ' ';
    }
    drop_stray_sign();
}

// A negative amount shows its sign where a thousands mark would stand, a
// place no key edits: once the digits after it are gone the mark comes
// back, or the digits typed next would be read with the sign after them.
void Get::drop_stray_sign() {
    auto& f = *focus_;
    if (f.edit.type() != Type::Number) return;
    const std::string blank = f.edit.blank_buffer();
    const std::size_t sign = f.buffer.find('-');
    if (sign == std::string::npos || f.edit.editable(sign) || sign >= blank.size()) return;
    const std::size_t end = part_end(sign);
    for (std::size_t p = sign + 1; p < end; ++p)
        if (f.buffer[p] >= '0' && f.buffer[p] <= '9') return;
    f.buffer[sign] = blank[sign];
    f.negative = false;
}

}  // namespace qv::rt
