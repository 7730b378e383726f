#pragma once
// The browse: a grid of columns over a data source that it only knows
// through three navigation blocks (skip n rows, go to the first row, go to
// the last row). Moves are made at once on the data source; drawing is done
// by stabilize(), a row at a time, so a caller can stop redrawing as soon as
// a key is waiting.
#include <functional>
#include <optional>
#include <string>
#include <vector>
#include "runtime/screen/screen.hpp"
#include "runtime/ui/browse_column.hpp"

namespace qv::rt {

// How the browse reaches its rows. skip(n) moves n rows (negative: back) and
// returns the rows actually moved, stopping at the first and last row.
struct BrowseSource {
    std::function<long(long)> skip;
    std::function<void()> go_top;
    std::function<void()> go_bottom;
    // Optional: true when there is no row at all (nothing is drawn and every
    // move hits an edge). Without it the source is taken as never empty.
    std::function<bool()> empty;
};

class Browse {
public:
    Browse(int top, int left, int bottom, int right);

    // --- geometry and appearance -----------------------------------------
    int n_top() const { return top_; }
    int n_left() const { return left_; }
    int n_bottom() const { return bottom_; }
    int n_right() const { return right_; }
    void set_area(int top, int left, int bottom, int right);

    // Comma-separated colours ("W/B,W+/R,..."); pairs index it from 1. It
    // starts as the SETCOLOR() string in force when the browse is made.
    const std::string& color_spec() const { return color_spec_; }
    void set_color_spec(std::string spec);
    void set_head_sep(std::string s) { head_sep_ = std::move(s); configure(); }
    void set_col_sep(std::string s) { col_sep_ = std::move(s); configure(); }
    void set_foot_sep(std::string s) { foot_sep_ = std::move(s); configure(); }
    const std::string& head_sep() const { return head_sep_; }
    const std::string& col_sep() const { return col_sep_; }
    const std::string& foot_sep() const { return foot_sep_; }
    // Highlight the current cell when the browse becomes stable (default on).
    void set_auto_lite(bool on) { auto_lite_ = on; }
    bool auto_lite() const { return auto_lite_; }

    // --- columns (positions are 1-based) -----------------------------------
    void add_column(BrowseColumn c);
    void insert_column(int pos, BrowseColumn c);
    void del_column(int pos);
    void set_column(int pos, BrowseColumn c);
    BrowseColumn& get_column(int pos);          // change it, then configure()
    int col_count() const { return static_cast<int>(cols_.size()); }
    void set_freeze(int n);
    int freeze() const { return freeze_; }

    // --- data source -------------------------------------------------------
    void set_source(BrowseSource s);
    void set_skip_block(std::function<long(long)> f) { src_.skip = std::move(f); }
    void set_go_top_block(std::function<void()> f) { src_.go_top = std::move(f); }
    void set_go_bottom_block(std::function<void()> f) { src_.go_bottom = std::move(f); }

    // --- row moves ---------------------------------------------------------
    void down();
    void up();
    void page_down();
    void page_up();
    void go_top();
    void go_bottom();
    // True when the last move was refused at the first / last row.
    bool hit_top() const { return hit_top_; }
    bool hit_bottom() const { return hit_bottom_; }
    void set_hit_top(bool on) { hit_top_ = on; }
    void set_hit_bottom(bool on) { hit_bottom_ = on; }

    // --- column moves ------------------------------------------------------
    void right();
    void left();
    void home();          // leftmost column on screen
    void end();           // rightmost column on screen
    void pan_left();      // scroll the unfrozen columns one to the left
    void pan_right();
    void pan_home();      // first column
    void pan_end();       // last column

    int row_pos() const { return row_pos_; }
    void set_row_pos(int n);   // the current row is shown on screen row n
    int col_pos() const { return col_pos_; }
    void set_col_pos(int n);
    int row_count();            // data rows on screen
    int left_visible();
    int right_visible();

    // --- drawing -----------------------------------------------------------
    // One step of redrawing; true once everything is drawn (the data source
    // then stands on the current row).
    bool stabilize();
    void force_stable();
    // Stabilises until done or until a key is waiting; the data source is
    // left on the current row either way. True when stable.
    bool stabilize_polling();
    bool stable() const { return stable_; }

    void refresh_all();        // reread every row
    void refresh_current();    // reread the current row
    void invalidate();         // redraw everything without rereading
    void configure();          // recompute the layout after column changes

    // Colours a block of cells (rows on screen, columns by number) with a
    // pair until those rows are reread.
    void color_rect(int top, int left, int bottom, int right, ColorPair pair);
    void hilite();
    void dehilite();

    // Where the current cell is on screen, for an edit in place.
    int cell_row();
    int cell_col();
    int cell_width();
    // Colour of pair slot n (1-based) of the colour list.
    Attr color_at(int n) const;

private:
    struct RowCache {
        bool valid = false;     // text read from the source
        bool data = false;      // a row of data (else blank below the end)
        bool paint = true;      // needs drawing
        std::vector<std::string> text;
        std::vector<ColorPair> pairs;
        std::vector<std::optional<ColorPair>> rect;
    };

    void ensure_layout();
    void compute_widths();
    void compute_visible();
    void ensure_col_visible();
    void sync_source();
    bool source_empty() const;
    long do_skip(long n);
    void begin_move();
    void move_rows(long moved);
    void shift_rows(int by);   // >0: rows move up (scrolling forward)
    void realign();
    void fetch_row(int r);
    void paint_row(int r);
    void paint_headings();
    void paint_cell(int r, int col, int x, int width, bool current);
    void place_cursor();
    std::vector<int> shown_columns();
    int col_x(int col);
    const std::string& sep_of(int col) const;
    void mark_all(bool reread);

    int top_, left_, bottom_, right_;
    std::string color_spec_;
    std::vector<Attr> colours_;
    std::string head_sep_, col_sep_ = " ", foot_sep_;
    bool auto_lite_ = true;
    std::vector<BrowseColumn> cols_;
    std::vector<int> widths_;
    int freeze_ = 0;
    BrowseSource src_;

    bool configured_ = false;
    int head_rows_ = 0, foot_rows_ = 0;
    bool head_sep_row_ = false, foot_sep_row_ = false;
    int data_top_ = 0, rows_ = 0;
    std::vector<RowCache> cache_;
    bool headings_dirty_ = true;
    bool realign_ = true;
    bool stable_ = false;
    bool lit_ = false;

    int row_pos_ = 1, col_pos_ = 1;
    int src_row_ = 1;          // screen row the data source stands on
    int left_visible_ = 1, right_visible_ = 1;
    bool hit_top_ = false, hit_bottom_ = false;
};

// The usual keys of a browse: arrows, pages, Ctrl+PgUp/PgDn (first / last
// row), Home/End, Ctrl+arrows and Ctrl+Home/End (panning). True when the key
// was one of them.
bool browse_apply_key(Browse& b, int key);

}  // namespace qv::rt
