// Row and column moves of the browse: made on the data source at once,
// drawn by the next stabilize().
#include "runtime/ui/browse.hpp"
#include <algorithm>

namespace qv::rt {

// --- the data source -----------------------------------------------------

bool Browse::source_empty() const { return src_.empty && src_.empty(); }

long Browse::do_skip(long n) {
    if (n == 0 || !src_.skip) return 0;
    return src_.skip(n);
}

void Browse::sync_source() {
    if (src_row_ != row_pos_) {
        long moved = do_skip(row_pos_ - src_row_);
        src_row_ += static_cast<int>(moved);
    }
}

void Browse::begin_move() {
    ensure_layout();
    sync_source();
    if (lit_) dehilite();
    hit_top_ = hit_bottom_ = false;
    stable_ = false;
}

void Browse::mark_all(bool reread) {
    for (auto& r : cache_) {
        r.paint = true;
        if (reread) r.valid = false;
    }
    stable_ = false;
}

// Scrolls the cached rows: by > 0 moves them up (the window goes forward).
void Browse::shift_rows(int by) {
    if (by == 0) return;
    std::vector<RowCache> next(cache_.size());
    for (int r = 0; r < rows_; ++r) {
        int from = r + by;
        if (from >= 0 && from < rows_) next[r] = std::move(cache_[from]);
        next[r].paint = true;
    }
    cache_ = std::move(next);
}

// The source has moved `moved` rows from the current one: move the cursor on
// screen, scrolling when it would leave the window.
void Browse::move_rows(long moved) {
    int target = row_pos_ + static_cast<int>(moved);
    cache_[row_pos_ - 1].paint = true;
    if (target > rows_) {
        shift_rows(target - rows_);
        target = rows_;
    } else if (target < 1) {
        shift_rows(target - 1);
        target = 1;
    }
    row_pos_ = target;
    src_row_ = target;
    auto& cur = cache_[row_pos_ - 1];
    cur.paint = true;
    if (!cur.data) cur.valid = false;   // a row that was blank (e.g. a new line)
}

void Browse::down() {
    begin_move();
    if (rows_ == 0 || source_empty()) { hit_bottom_ = true; return; }
    long moved = do_skip(1);
    if (moved <= 0) { hit_bottom_ = true; return; }
    move_rows(moved);
}

void Browse::up() {
    begin_move();
    if (rows_ == 0 || source_empty()) { hit_top_ = true; return; }
    long moved = do_skip(-1);
    if (moved >= 0) { hit_top_ = true; return; }
    move_rows(moved);
}

void Browse::page_down() {
    begin_move();
    if (rows_ == 0 || source_empty()) { hit_bottom_ = true; return; }
    long moved = do_skip(rows_);
    if (moved <= 0) { hit_bottom_ = true; return; }
    if (moved == rows_) {
        src_row_ = row_pos_;
        mark_all(true);
        realign_ = true;
    } else {
        move_rows(moved);
    }
}

void Browse::page_up() {
    begin_move();
    if (rows_ == 0 || source_empty()) { hit_top_ = true; return; }
    long moved = do_skip(-rows_);
    if (moved >= 0) { hit_top_ = true; return; }
    if (-moved == rows_) {
        src_row_ = row_pos_;
        mark_all(true);
        realign_ = true;
    } else {
        move_rows(moved);
    }
}

void Browse::go_top() {
    begin_move();
    if (src_.go_top) src_.go_top();
    row_pos_ = src_row_ = 1;
    mark_all(true);
    realign_ = true;
}

void Browse::go_bottom() {
    begin_move();
    if (src_.go_bottom) src_.go_bottom();
    row_pos_ = src_row_ = std::max(1, rows_);
    mark_all(true);
    realign_ = true;
}

void Browse::set_row_pos(int n) {
    ensure_layout();
    sync_source();
    if (lit_) dehilite();
    row_pos_ = src_row_ = std::clamp(n, 1, std::max(1, rows_));
    mark_all(true);
    realign_ = true;
}

// The window is kept full: when the rows after the current one do not reach
// the bottom, the current row moves down; when fewer rows precede it than the
// rows above it on screen, it moves up so that the window starts on the
// first row.
void Browse::realign() {
    realign_ = false;
    if (source_empty() || rows_ == 0) return;
    const long want_below = rows_ - row_pos_;
    long below = do_skip(want_below);
    do_skip(-below);
    row_pos_ += static_cast<int>(want_below - below);
    if (row_pos_ > 1) {
        long back = do_skip(-(row_pos_ - 1));
        if (-back < row_pos_ - 1) row_pos_ = static_cast<int>(-back) + 1;
        do_skip(-back);
    }
    src_row_ = row_pos_;
}

// --- column moves --------------------------------------------------------

void Browse::right() {
    ensure_layout();
    if (col_pos_ >= col_count()) return;
    if (lit_) dehilite();
    ++col_pos_;
    ensure_col_visible();
    if (!cache_.empty()) cache_[row_pos_ - 1].paint = true;
    stable_ = false;
}

void Browse::left() {
    ensure_layout();
    if (col_pos_ <= 1) return;
    if (lit_) dehilite();
    --col_pos_;
    ensure_col_visible();
    if (!cache_.empty()) cache_[row_pos_ - 1].paint = true;
    stable_ = false;
}

void Browse::home() {
    ensure_layout();
    if (lit_) dehilite();
    col_pos_ = freeze_ > 0 ? 1 : left_visible_;
    if (!cache_.empty()) cache_[row_pos_ - 1].paint = true;
    stable_ = false;
}

void Browse::end() {
    ensure_layout();
    if (lit_) dehilite();
    col_pos_ = std::max(1, right_visible_);
    if (!cache_.empty()) cache_[row_pos_ - 1].paint = true;
    stable_ = false;
}

void Browse::pan_left() {
    ensure_layout();
    if (left_visible_ <= freeze_ + 1) return;
    if (lit_) dehilite();
    --left_visible_;
    compute_visible();
    if (col_pos_ > right_visible_) col_pos_ = right_visible_;
    mark_all(false);
    headings_dirty_ = true;
}

void Browse::pan_right() {
    ensure_layout();
    if (right_visible_ >= col_count()) return;
    if (lit_) dehilite();
    ++left_visible_;
    compute_visible();
    if (col_pos_ > freeze_ && col_pos_ < left_visible_) col_pos_ = left_visible_;
    mark_all(false);
    headings_dirty_ = true;
}

void Browse::pan_home() {
    ensure_layout();
    if (col_count() == 0) return;
    if (lit_) dehilite();
    col_pos_ = 1;
    left_visible_ = std::min(freeze_ + 1, col_count());
    compute_visible();
    mark_all(false);
    headings_dirty_ = true;
}

void Browse::pan_end() {
    ensure_layout();
    if (col_count() == 0) return;
    if (lit_) dehilite();
    col_pos_ = col_count();
    ensure_col_visible();
    mark_all(false);
    headings_dirty_ = true;
}

void Browse::set_col_pos(int n) {
    ensure_layout();
    if (lit_) dehilite();
    col_pos_ = std::clamp(n, 1, std::max(1, col_count()));
    ensure_col_visible();
    if (!cache_.empty()) cache_[row_pos_ - 1].paint = true;
    stable_ = false;
}

// --- refresh -------------------------------------------------------------

void Browse::refresh_all() {
    ensure_layout();
    mark_all(true);
    realign_ = true;
}

void Browse::refresh_current() {
    ensure_layout();
    if (cache_.empty()) return;
    auto& r = cache_[row_pos_ - 1];
    r.valid = false;
    r.paint = true;
    stable_ = false;
}

void Browse::invalidate() {
    if (!configured_) return;
    mark_all(false);
    headings_dirty_ = true;
}

}  // namespace qv::rt
