// Drawing of the browse: rows are read from the source into a cache a row
// per stabilize() step and painted from it.
#include "runtime/ui/browse.hpp"
#include <algorithm>
#include "runtime/screen/keys.hpp"

namespace qv::rt {

// --- drawing -------------------------------------------------------------

void Browse::fetch_row(int r) {
    auto& row = cache_[r - 1];
    row.valid = true;
    row.paint = true;
    row.rect.assign(cols_.size(), std::nullopt);
    row.text.assign(cols_.size(), std::string());
    row.pairs.assign(cols_.size(), ColorPair{});
    row.data = false;
    if (source_empty()) return;
    long want = r - src_row_;
    long moved = do_skip(want);
    src_row_ += static_cast<int>(moved);
    if (moved != want) {
        // Past the last (or before the first) row: this row and the ones
        // beyond it in the same direction are blank.
        for (int k = r; k >= 1 && k <= rows_; k += (want > 0 ? 1 : -1)) {
            auto& blank = cache_[k - 1];
            blank.valid = true;
            blank.data = false;
            blank.paint = true;
            blank.text.assign(cols_.size(), std::string());
            blank.pairs.assign(cols_.size(), ColorPair{});
            blank.rect.assign(cols_.size(), std::nullopt);
        }
        return;
    }
    row.data = true;
    for (std::size_t i = 0; i < cols_.size(); ++i) {
        const auto& c = cols_[i];
        Value v = c.block ? c.block() : Value();
        row.text[i] = c.text_of(v);
        row.pairs[i] = c.color_block ? c.color_block(v) : c.colors;
    }
}

void Browse::paint_cell(int r, int col, int x, int width, bool current) {
    const auto& row = cache_[r - 1];
    std::size_t i = static_cast<std::size_t>(col - 1);
    ColorPair pair = cols_[i].colors;
    if (row.data && i < row.pairs.size()) pair = row.pairs[i];
    if (i < row.rect.size() && row.rect[i]) pair = *row.rect[i];
    Attr a = color_at(current ? pair.enhanced : pair.standard);
    std::string text = i < row.text.size() ? row.text[i] : std::string();
    text.resize(static_cast<std::size_t>(width), ' ');
    at_say(data_top_ + r - 1, x, text, a);
}

void Browse::paint_row(int r) {
    auto& row = cache_[r - 1];
    row.paint = false;
    const int y = data_top_ + r - 1;
    const Attr base = color_at(1);
    int x = left_;
    bool first = true;
    for (int c : shown_columns()) {
        if (x > right_) break;
        if (!first) {
            std::string sep = sep_of(c);
            sep.resize(static_cast<std::size_t>(std::min<int>(static_cast<int>(sep.size()), right_ - x + 1)));
            at_say(y, x, sep, base);
            x += static_cast<int>(sep.size());
            if (x > right_) break;
        }
        int w = std::min(widths_[c - 1], right_ - x + 1);
        bool current = lit_ && r == row_pos_ && c == col_pos_;
        paint_cell(r, c, x, w, current);
        x += w;
        first = false;
    }
    if (x <= right_) at_say(y, x, std::string(static_cast<std::size_t>(right_ - x + 1), ' '), base);
}

namespace {

// A separator row: `fill` under the columns, the junction where a column
// separator stands.
std::string junction(const std::string& line_sep, std::size_t width) {
    if (line_sep.empty()) return std::string(width, ' ');
    char fill = line_sep.back();
    std::string j = line_sep.substr(0, std::min(width, line_sep.size()));
    j.resize(width, fill);
    return j;
}

}  // namespace

void Browse::paint_headings() {
    headings_dirty_ = false;
    const Attr base = color_at(1);
    auto draw_line = [&](int y, auto&& part_of_col, auto&& part_of_sep) {
        int x = left_;
        bool first = true;
        std::string out;
        for (int c : shown_columns()) {
            if (!first) out += part_of_sep(c);
            std::string cell = part_of_col(c);
            cell.resize(static_cast<std::size_t>(widths_[c - 1]), ' ');
            out += cell;
            first = false;
        }
        out.resize(static_cast<std::size_t>(right_ - x + 1), ' ');
        at_say(y, x, out, base);
    };
    int y = top_;
    for (int line = 0; line < head_rows_; ++line, ++y) {
        draw_line(y, [&](int c) {
            auto lines = split_caption(cols_[c - 1].heading);
            return line < static_cast<int>(lines.size()) ? lines[line] : std::string();
        }, [&](int c) { return std::string(sep_of(c).size(), ' '); });
    }
    auto sep_line = [&](int row, const std::string BrowseColumn::*member, const std::string& dflt) {
        draw_line(row, [&](int c) {
            const std::string& s = cols_[c - 1].*member;
            const std::string& use = s.empty() ? dflt : s;
            return std::string(static_cast<std::size_t>(widths_[c - 1]), use.empty() ? ' ' : use.back());
        }, [&](int c) {
            const std::string& s = cols_[c - 1].*member;
            return junction(s.empty() ? dflt : s, sep_of(c).size());
        });
    };
    if (head_sep_row_) sep_line(y, &BrowseColumn::head_sep, head_sep_);
    int fy = top_ + head_rows_ + (head_sep_row_ ? 1 : 0) + rows_;
    if (foot_sep_row_) sep_line(fy++, &BrowseColumn::foot_sep, foot_sep_);
    for (int line = 0; line < foot_rows_; ++line, ++fy) {
        draw_line(fy, [&](int c) {
            auto lines = split_caption(cols_[c - 1].footing);
            return line < static_cast<int>(lines.size()) ? lines[line] : std::string();
        }, [&](int c) { return std::string(sep_of(c).size(), ' '); });
    }
}

bool Browse::stabilize() {
    ensure_layout();
    if (stable_) {
        // Whatever was drawn since (an entry on a cell, a message) may have
        // moved the cursor: it goes back where the next key acts.
        if (lit_) place_cursor();
        return true;
    }
    DISPBEGIN();
    if (headings_dirty_) paint_headings();
    if (realign_) realign();
    for (int r = 1; r <= rows_; ++r) {
        if (!cache_[r - 1].valid) {
            fetch_row(r);
            paint_row(r);
            DISPEND();
            return false;
        }
    }
    for (int r = 1; r <= rows_; ++r)
        if (cache_[r - 1].paint) paint_row(r);
    sync_source();
    stable_ = true;
    if (auto_lite_) hilite();
    DISPEND();
    return true;
}

void Browse::force_stable() {
    while (!stabilize()) {
    }
}

bool Browse::stabilize_polling() {
    while (!stabilize()) {
        if (NEXTKEY() != 0) {
            sync_source();
            return false;
        }
    }
    return true;
}

void Browse::color_rect(int top, int left, int bottom, int right, ColorPair pair) {
    ensure_layout();
    top = std::max(top, 1);
    bottom = std::min(bottom, rows_);
    left = std::max(left, 1);
    right = std::min(right, col_count());
    for (int r = top; r <= bottom; ++r) {
        auto& row = cache_[r - 1];
        row.rect.resize(cols_.size());
        for (int c = left; c <= right; ++c) row.rect[c - 1] = pair;
        if (row.valid) paint_row(r);
        else row.paint = true;
    }
}

void Browse::hilite() {
    ensure_layout();
    lit_ = true;
    if (rows_ == 0 || col_count() == 0 || !cache_[row_pos_ - 1].valid) return;
    int x = col_x(col_pos_);
    if (x >= 0) paint_cell(row_pos_, col_pos_, x, std::min(widths_[col_pos_ - 1], right_ - x + 1), true);
    place_cursor();
}

void Browse::place_cursor() {
    if (rows_ == 0 || col_count() == 0) return;
    SETPOS(data_top_ + row_pos_ - 1, std::max(col_x(col_pos_), left_));
}

void Browse::dehilite() {
    ensure_layout();
    lit_ = false;
    if (rows_ == 0 || col_count() == 0 || !cache_[row_pos_ - 1].valid) return;
    int x = col_x(col_pos_);
    if (x >= 0) paint_cell(row_pos_, col_pos_, x, std::min(widths_[col_pos_ - 1], right_ - x + 1), false);
}

// --- keys ----------------------------------------------------------------

bool browse_apply_key(Browse& b, int key) {
    switch (key) {
    case key::DOWN: b.down(); return true;
    case key::UP: b.up(); return true;
    case key::PGDN: b.page_down(); return true;
    case key::PGUP: b.page_up(); return true;
    case key::CTRL_PGUP: b.go_top(); return true;
    case key::CTRL_PGDN: b.go_bottom(); return true;
    case key::RIGHT: b.right(); return true;
    case key::LEFT: b.left(); return true;
    case key::HOME: b.home(); return true;
    case key::END: b.end(); return true;
    case key::CTRL_LEFT: b.pan_left(); return true;
    case key::CTRL_RIGHT: b.pan_right(); return true;
    case key::CTRL_HOME: b.pan_home(); return true;
    case key::CTRL_END: b.pan_end(); return true;
    default: return false;
    }
}

}  // namespace qv::rt
