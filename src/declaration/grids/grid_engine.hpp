#pragma once
// The table grid engine: the rows of one work area shown as a grid of
// columns, walked, edited cell by cell, appended to on the blank line after
// the last row, inserted into, deleted from and renumbered.
#include <cstdint>
#include <string>
#include "declaration/grids/grid_description.hpp"
#include "runtime/table/table.hpp"
#include "runtime/ui/browse.hpp"

namespace qv::declaration::grids {

class GridRun {
public:
    GridRun(const GridDescription& d, int top, int left, int bottom, int right);

    // The key loop; returns when the grid is left.
    void run();
    // Draws the rows once (a grid shown beside a form).
    void show();

    const GridDescription& description() const { return d_; }
    rt::Browse& browse() { return browse_; }
    rt::table::Table& table() const;
    bool appending() const { return lappend_; }
    // Column number of the cursor and the field it edits.
    int column() const { return browse_.col_pos(); }
    const GridColumn& current_column() const;

    // ADIC_REG: a new row, stamped as the grid's rows are; append mode ends.
    bool ADIC_REG();
    // The row ADIC_REG made for an edit that ended with nothing in it is
    // taken back: the cursor stands on the blank line again.
    void take_back_row();
    // FRESHORDER: rows read again, the cursor back on the record it was on.
    void FRESHORDER();
    // F_TROCA: the value written into the current cell under the record lock.
    bool F_TROCA(const rt::Value& v);
    // The grid's totals routine after a write into `col`.
    void run_totals(const GridColumn& col) const;
    // The totals the grid's amount columns feed, all worked out again.
    void refresh_totals() const;
    // The footings under the columns worked out again.
    void update_footings();
    // A description was shown under the cell: it stays until the user's
    // next key.
    void note_hint() { hint_ = true; }

private:
    void build_columns();
    void select() const;
    void apply_freeze();
    bool cycle();
    void on_hit_bottom();
    void put_away_hint();
    void stamp(bool fresh);
    bool dispatch(int key);
    bool move(int key);
    void end_append();
    void leave(int key);
    void delete_row();
    void insert_after();
    void new_slips();
    void renumber();
    void copy_cell();
    void paste_cell(bool new_row);
    std::vector<std::uint32_t> rows_after_current();

    GridDescription d_;
    rt::Browse browse_;
    bool lappend_ = false;
    int queued_ = 0;
    bool hint_ = false;
};

// The picture a column is shown and edited in. A number picture without a
// template (only functions, as "@Z9" or "@99") takes the width of the field
// it shows, as a value read from the table carries it.
std::string column_picture(const rt::table::Table& t, const GridColumn& c);

// Runs a grid description: its area and filter, the totals before, MOSTRA,
// the filter cleared and the totals after.
void run_grid(const GridDescription& d);

// The framed text window `id` on exactly the grid's rectangle, in the
// terminal's window colours.
void open_grid_window(int id, int top, int left, int bottom, int right);
// MOSTRA: the window around the grid of the running description.
void MOSTRA(int top, int left, int bottom, int right, int window);
// CL5BROWSE: the grid inside the rectangle shrunk by one on each side.
bool CL5BROWSE(int top, int left, int bottom, int right);

// The grid being run (nullptr outside a grid).
GridRun* current_grid();

// Taxpayer on the top line; usage clock stop and switch.
bool DIGA_QUEM();
void PARA_REL();
void DESLIG_RELG();

}  // namespace qv::declaration::grids
