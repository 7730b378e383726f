#include "runtime/ui/browse.hpp"
#include <algorithm>
#include "runtime/ui/browse_colours.hpp"

namespace qv::rt {

Browse::Browse(int top, int left, int bottom, int right)
    : top_(top), left_(left), bottom_(bottom), right_(right), color_spec_(SETCOLOR()) {
    colours_ = colour_list(color_spec_);
}

void Browse::set_area(int top, int left, int bottom, int right) {
    top_ = top; left_ = left; bottom_ = bottom; right_ = right;
    configure();
}

void Browse::set_color_spec(std::string spec) {
    color_spec_ = std::move(spec);
    colours_ = colour_list(color_spec_);
    invalidate();
}

Attr Browse::color_at(int n) const {
    if (n >= 1 && n <= static_cast<int>(colours_.size())) return colours_[n - 1];
    return colours_.empty() ? Attr{0x07} : colours_[0];
}

// --- columns -------------------------------------------------------------

void Browse::add_column(BrowseColumn c) {
    cols_.push_back(std::move(c));
    configure();
}

void Browse::insert_column(int pos, BrowseColumn c) {
    pos = std::clamp(pos, 1, col_count() + 1);
    cols_.insert(cols_.begin() + (pos - 1), std::move(c));
    configure();
}

void Browse::del_column(int pos) {
    if (pos < 1 || pos > col_count()) return;
    cols_.erase(cols_.begin() + (pos - 1));
    col_pos_ = std::clamp(col_pos_, 1, std::max(1, col_count()));
    configure();
}

void Browse::set_column(int pos, BrowseColumn c) {
    if (pos < 1 || pos > col_count()) return;
    cols_[pos - 1] = std::move(c);
    configure();
}

BrowseColumn& Browse::get_column(int pos) {
    return cols_.at(static_cast<std::size_t>(pos - 1));
}

void Browse::set_freeze(int n) {
    freeze_ = std::clamp(n, 0, col_count());
    left_visible_ = std::max(left_visible_, freeze_ + 1);
    configure();
}

void Browse::set_source(BrowseSource s) {
    src_ = std::move(s);
    configure();
}

// --- layout --------------------------------------------------------------

void Browse::configure() {
    configured_ = false;
    stable_ = false;
}

void Browse::ensure_layout() {
    if (configured_) return;
    configured_ = true;
    head_rows_ = foot_rows_ = 0;
    bool any_head_sep = !head_sep_.empty(), any_foot_sep = !foot_sep_.empty();
    for (const auto& c : cols_) {
        head_rows_ = std::max(head_rows_, static_cast<int>(split_caption(c.heading).size()));
        foot_rows_ = std::max(foot_rows_, static_cast<int>(split_caption(c.footing).size()));
        any_head_sep = any_head_sep || !c.head_sep.empty();
        any_foot_sep = any_foot_sep || !c.foot_sep.empty();
    }
    head_sep_row_ = any_head_sep;
    foot_sep_row_ = any_foot_sep;
    data_top_ = top_ + head_rows_ + (head_sep_row_ ? 1 : 0);
    int data_bottom = bottom_ - foot_rows_ - (foot_sep_row_ ? 1 : 0);
    rows_ = std::max(0, data_bottom - data_top_ + 1);
    cache_.assign(static_cast<std::size_t>(rows_), RowCache{});
    row_pos_ = std::clamp(row_pos_, 1, std::max(1, rows_));
    col_pos_ = std::clamp(col_pos_, 1, std::max(1, col_count()));
    src_row_ = row_pos_;
    compute_widths();
    left_visible_ = std::clamp(left_visible_, std::min(freeze_ + 1, std::max(1, col_count())),
                               std::max(1, col_count()));
    compute_visible();
    ensure_col_visible();
    headings_dirty_ = true;
    realign_ = true;
    stable_ = false;
    lit_ = false;
}

void Browse::compute_widths() {
    widths_.assign(cols_.size(), 0);
    bool have_row = !source_empty();
    for (std::size_t i = 0; i < cols_.size(); ++i) {
        const auto& c = cols_[i];
        if (c.width > 0) { widths_[i] = c.width; continue; }
        int w = 0;
        for (const auto& l : split_caption(c.heading)) w = std::max(w, static_cast<int>(l.size()));
        for (const auto& l : split_caption(c.footing)) w = std::max(w, static_cast<int>(l.size()));
        if (have_row && c.block) w = std::max(w, static_cast<int>(c.text().size()));
        widths_[i] = std::max(w, 1);
    }
}

const std::string& Browse::sep_of(int col) const {
    const auto& own = cols_[static_cast<std::size_t>(col - 1)].col_sep;
    return own.empty() ? col_sep_ : own;
}

// Frozen columns first, then the unfrozen ones from left_visible_ while they
// fit; the first unfrozen one is always shown (cut if it must be).
void Browse::compute_visible() {
    const int width = right_ - left_ + 1;
    int used = 0;
    bool first = true;
    for (int c = 1; c <= freeze_; ++c) {
        used += (first ? 0 : static_cast<int>(sep_of(c).size())) + widths_[c - 1];
        first = false;
    }
    right_visible_ = left_visible_ - 1;
    for (int c = left_visible_; c <= col_count(); ++c) {
        int need = (first ? 0 : static_cast<int>(sep_of(c).size())) + widths_[c - 1];
        if (used + need > width && c > left_visible_) break;
        used += need;
        first = false;
        right_visible_ = c;
        if (used >= width) break;
    }
}

void Browse::ensure_col_visible() {
    if (col_count() == 0 || col_pos_ <= freeze_) return;
    if (col_pos_ < left_visible_) {
        left_visible_ = col_pos_;
    } else if (col_pos_ > right_visible_) {
        // The widest window that still ends on the cursor's column.
        left_visible_ = col_pos_;
        while (left_visible_ - 1 > freeze_) {
            int saved = left_visible_;
            left_visible_ = saved - 1;
            compute_visible();
            if (right_visible_ < col_pos_) { left_visible_ = saved; break; }
        }
    } else {
        return;
    }
    compute_visible();
    mark_all(false);
    headings_dirty_ = true;
}

std::vector<int> Browse::shown_columns() {
    std::vector<int> out;
    for (int c = 1; c <= freeze_; ++c) out.push_back(c);
    for (int c = left_visible_; c <= right_visible_; ++c) out.push_back(c);
    return out;
}

int Browse::col_x(int col) {
    int x = left_;
    bool first = true;
    for (int c : shown_columns()) {
        if (!first) x += static_cast<int>(sep_of(c).size());
        if (c == col) return x;
        x += widths_[c - 1];
        first = false;
    }
    return -1;
}

int Browse::row_count() { ensure_layout(); return rows_; }
int Browse::left_visible() { ensure_layout(); return left_visible_; }
int Browse::right_visible() { ensure_layout(); return right_visible_; }

int Browse::cell_row() { ensure_layout(); return data_top_ + row_pos_ - 1; }
int Browse::cell_col() { ensure_layout(); return col_x(col_pos_); }
int Browse::cell_width() {
    ensure_layout();
    int x = col_x(col_pos_);
    if (x < 0 || col_count() == 0) return 0;
    return std::min(widths_[col_pos_ - 1], right_ - x + 1);
}

}  // namespace qv::rt
