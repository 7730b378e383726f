#include "runtime/ui/memoedit.hpp"
#include <algorithm>
#include "runtime/screen/keys.hpp"

namespace qv::rt {

namespace {
bool is_word(char c) { return c != ' ' && c != '\n'; }
}  // namespace

MemoEditor::MemoEditor(std::string_view stored, int top, int left, int bottom, int right,
                       MemoEditOptions opt)
    : original_(stored), buf_(memo_from_stored(stored)),
      top_(top), left_(left), bottom_(std::max(bottom, top)), right_(std::max(right, left)),
      opt_(std::move(opt)) {
    line_len_ = opt_.line_length > 0 ? opt_.line_length : width();
    insert_ = opt_.insert;
    relayout();
    pos_ = std::min(opt_.cursor, buf_.size());
    top_line_ = std::min(opt_.first_line, lines_.size() - 1);
    want_col_ = pos_ - lines_[line_of(pos_)].start;
    if (opt_.edit) keep_visible();
}

void MemoEditor::relayout() { lines_ = wrap_memo(buf_, line_len_); }

// The line holding a cursor offset: an offset where a wrapped line ends
// belongs to the next line (it is that line's first character).
std::size_t MemoEditor::line_of(std::size_t pos) const {
    std::size_t found = 0;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].start > pos) break;
        found = i;
    }
    return found;
}

int MemoEditor::line() const { return static_cast<int>(line_of(pos_)) + 1; }
int MemoEditor::column() const {
    return static_cast<int>(pos_ - lines_[line_of(pos_)].start) + 1;
}

void MemoEditor::go_line(std::size_t line) {
    line = std::min(line, lines_.size() - 1);
    const auto& l = lines_[line];
    std::size_t col = std::min(want_col_, l.len);
    // On a soft-wrapped line the end offset is the next line's start.
    if (!l.hard && line + 1 < lines_.size() && col == l.len && l.len > 0) col = l.len - 1;
    pos_ = l.start + col;
}

void MemoEditor::keep_visible() {
    const std::size_t line = line_of(pos_);
    const auto r = static_cast<std::size_t>(rows());
    if (line < top_line_) top_line_ = line;
    if (line >= top_line_ + r) top_line_ = line - r + 1;
    // Lines that fit the box never scroll sideways; the cursor after a full
    // line stays on the box's last column.
    if (line_len_ <= width()) {
        left_col_ = 0;
        return;
    }
    const std::size_t col = pos_ - lines_[line].start;
    const auto w = static_cast<std::size_t>(width());
    if (col < left_col_) left_col_ = col;
    if (col >= left_col_ + w) left_col_ = col - w + 1;
}

void MemoEditor::insert_text(std::string_view s) {
    changed_ = true;
    buf_.insert(pos_, s);
    pos_ += s.size();
    relayout();
}

void MemoEditor::erase(std::size_t pos, std::size_t n) {
    if (pos >= buf_.size() || n == 0) return;
    changed_ = true;
    buf_.erase(pos, n);
    relayout();
}

bool MemoEditor::edit_key(int key) {
    const std::size_t line = line_of(pos_);
    const auto& l = lines_[line];
    const auto page = static_cast<std::size_t>(std::max(rows() - 1, 1));
    switch (key) {
    case key::LEFT: if (pos_ > 0) --pos_; break;
    case key::RIGHT: if (pos_ < buf_.size()) ++pos_; break;
    case key::UP: if (line > 0) go_line(line - 1); return true;
    case key::DOWN: if (line + 1 < lines_.size()) go_line(line + 1); return true;
    case key::PGUP: go_line(line > page ? line - page : 0); top_line_ = top_line_ > page ? top_line_ - page : 0; return true;
    case key::PGDN: go_line(line + page); top_line_ += page; return true;
    case key::CTRL_PGUP: pos_ = 0; break;
    case key::CTRL_PGDN: pos_ = buf_.size(); break;
    case key::CTRL_LEFT:   // start of this or the previous word
        while (pos_ > 0 && !is_word(buf_[pos_ - 1])) --pos_;
        while (pos_ > 0 && is_word(buf_[pos_ - 1])) --pos_;
        break;
    case key::CTRL_RIGHT:  // start of the next word
        while (pos_ < buf_.size() && is_word(buf_[pos_])) ++pos_;
        while (pos_ < buf_.size() && !is_word(buf_[pos_])) ++pos_;
        break;
    case key::HOME: pos_ = l.start; break;
    case key::END:
        pos_ = l.start + l.len;
        if (!l.hard && line + 1 < lines_.size() && l.len > 0) --pos_;
        break;
    case key::ENTER: insert_text("\n"); break;
    case key::BS:
        if (pos_ > 0) { --pos_; erase(pos_, 1); }
        break;
    case key::DEL: erase(pos_, 1); break;
    case key::CTRL_T: delete_word_right(); break;
    case key::CTRL_HOME:   // first line of the window, same column
        go_line(top_line_);
        return true;
    case key::CTRL_Y: {
        const std::size_t n = l.len + (l.hard ? 1 : 0);
        pos_ = l.start;
        erase(l.start, n);
        break;
    }
    case key::INS:
        insert_ = !insert_;
        SETCURSOR(insert_ ? 2 : 1);
        return true;
    case key::TAB: {
        const auto ts = static_cast<std::size_t>(std::max(opt_.tab_size, 1));
        const std::size_t col = pos_ - l.start;
        insert_text(std::string(ts - col % ts, ' '));
        break;
    }
    default:
        if (key >= 32 && key <= 255) {
            const char c = static_cast<char>(key);
            if (!insert_ && pos_ < buf_.size() && buf_[pos_] != '\n') {
                buf_[pos_++] = c;
                changed_ = true;
                relayout();
            } else {
                insert_text(std::string(1, c));
            }
            break;
        }
        return false;
    }
    want_col_ = pos_ - lines_[line_of(pos_)].start;
    return true;
}

// The rest of the word under the cursor and the blanks after it; at a
// line end, the line end.
void MemoEditor::delete_word_right() {
    std::size_t end = pos_;
    while (end < buf_.size() && is_word(buf_[end])) ++end;
    while (end < buf_.size() && buf_[end] == ' ') ++end;
    if (end == pos_ && end < buf_.size()) ++end;
    erase(pos_, end - pos_);
}

// Read only: the keys move the window over the text.
bool MemoEditor::view_key(int key) {
    const auto r = static_cast<std::size_t>(rows());
    const std::size_t last_top = lines_.size() > r ? lines_.size() - r : 0;
    switch (key) {
    case key::UP: if (top_line_ > 0) --top_line_; break;
    case key::DOWN: if (top_line_ < last_top) ++top_line_; break;
    case key::PGUP: top_line_ = top_line_ > r ? top_line_ - r : 0; break;
    case key::PGDN: top_line_ = std::min(top_line_ + r, last_top); break;
    case key::HOME:
    case key::CTRL_PGUP: top_line_ = 0; left_col_ = 0; break;
    case key::END:
    case key::CTRL_PGDN: top_line_ = last_top; break;
    case key::LEFT: if (left_col_ > 0) --left_col_; break;
    case key::RIGHT:
        if (static_cast<int>(left_col_) + width() < line_len_) ++left_col_;
        break;
    default: return false;
    }
    pos_ = lines_[std::min(top_line_, lines_.size() - 1)].start;
    return true;
}

// Acts on the user function's reply; false when the editor has ended.
bool MemoEditor::reply(MemoReply r) {
    if (r == MemoReply::Keep || r == MemoReply::Drop) {
        ended_ = true;
        saved_ = r == MemoReply::Keep;
        return false;
    }
    return true;
}

bool MemoEditor::apply_key(int key) {
    if (ended_) return false;
    const bool ending = key == key::CTRL_W || key == key::ESC;
    if (ending && opt_.user_function) {
        const MemoReply r = opt_.user_function(MemoEvent::Key, key, *this);
        if (r != MemoReply::Default) return r == MemoReply::Ignore ? true : reply(r);
    }
    if (key == key::CTRL_W) {
        ended_ = true;
        saved_ = opt_.edit;
        return false;
    }
    if (key == key::ESC) {
        ended_ = true;
        return false;
    }
    const bool used = opt_.edit ? edit_key(key) : view_key(key);
    if (!used && opt_.user_function && !reply(opt_.user_function(MemoEvent::Key, key, *this))) return false;
    if (!used && opt_.other_key && opt_.other_key(key)) {
        ended_ = true;
        return false;
    }
    if (opt_.edit) keep_visible();
    return true;
}

void MemoEditor::display() const {
    const Attr a = opt_.colour.empty() ? colour_slot(0) : parse_colour(opt_.colour);
    const auto w = static_cast<std::size_t>(width());
    DISPBEGIN();
    for (int r = 0; r < rows(); ++r) {
        const std::size_t i = top_line_ + static_cast<std::size_t>(r);
        std::string shown;
        if (i < lines_.size()) {
            const auto& l = lines_[i];
            if (left_col_ < l.len) shown = buf_.substr(l.start + left_col_, std::min(l.len - left_col_, w));
        }
        shown.resize(w, ' ');
        at_say(top_ + r, left_, shown, a);
    }
    if (opt_.edit) {
        const std::size_t line = line_of(pos_);
        const int col = static_cast<int>(pos_ - lines_[line].start - left_col_);
        SETPOS(top_ + static_cast<int>(line - top_line_), left_ + std::min(col, width() - 1));
    }
    DISPEND();
}

std::string MemoEditor::text() const { return memo_to_stored(buf_); }

std::string MemoEditor::result() const { return saved_ ? text() : original_; }

std::string MemoEditor::run() {
    const int old_cursor = SETCURSOR(opt_.edit ? (insert_ ? 2 : 1) : 0);
    if (opt_.user_function) reply(opt_.user_function(MemoEvent::Init, 0, *this));
    while (!ended_) {
        if (opt_.user_function && NEXTKEY() == 0 && !reply(opt_.user_function(MemoEvent::Idle, 0, *this))) break;
        display();
        const int key = INKEY(-1);
        if (key == 0) continue;
        if (const KeyHandler* h = key_handler(key); h && *h) {
            (*h)();
            continue;
        }
        apply_key(key);
    }
    SETCURSOR(old_cursor);
    return result();
}

std::string MEMOEDIT(std::string_view text, int top, int left, int bottom, int right,
                     bool edit, int line_length) {
    MemoEditOptions opt;
    opt.edit = edit;
    opt.line_length = line_length;
    return MEMOEDIT(text, top, left, bottom, right, opt);
}

std::string MEMOEDIT(std::string_view text, int top, int left, int bottom, int right,
                     const MemoEditOptions& opt) {
    MemoEditor ed(text, top, left, bottom, right, opt);
    return ed.run();
}

}  // namespace qv::rt
