#pragma once
// The monthly matrix grid: a matrix of text cells held in a variable (rows
// of a label and amounts written with a picture) shown as a grid whose
// first columns stay in place, edited cell by cell as numbers and totalled
// again after each change.
#include <string>
#include <string_view>
#include <vector>

#include "runtime/ui/browse.hpp"

namespace qv::declaration::grids {

struct MatrixColumn {
    std::string heading;
    std::string picture;   // the entry picture of the column
    std::string help;      // help topic of the column
};

struct MatrixGrid {
    int code = 0;
    std::string matrix;                 // name of the matrix variable
    std::vector<MatrixColumn> columns;  // the columns shown (N_CAM)
    int top = 0, left = 0, bottom = 0, right = 0;
    int window = 0;                     // MOSBROW's window mode (0: none)
    int footer = 0;                     // footer line shown before the grid (0: none)
    int freeze = 1;
    int ult_pos = 0;                    // Enter wraps to the next row after it (0: never)
    std::string store_picture;          // how an edited amount is written back
    int start_row = 1;                  // the row the cursor starts on
};

// SKIP_MATRIZ: the rows a move of n from `current` really makes in a matrix
// of `length` rows (it stops at the first and at the last row).
long SKIP_MATRIZ(long length, long current, long n);

class MatrixRun {
public:
    MatrixRun(const MatrixGrid& g, int top, int left, int bottom, int right);
    // The key loop; returns when the grid is left.
    void run();

    const MatrixGrid& grid() const { return g_; }
    rt::Browse& browse() { return browse_; }
    int column() const { return browse_.col_pos(); }
    // The matrix row of the cursor (grid 14 reads it from the row's label).
    int matrix_row() const;
    // Every row read again and drawn.
    void redraw();

private:
    bool dispatch(int key);
    bool move(int key);
    bool enter();
    void leave(int key);
    void next_carne_leao_mode();
    void flip_only_paid();
    void flip_rural_totals();
    void break_down_amount();
    void calculator();
    void dollar_form();
    void copy_cell();
    void paste_cell();
    void apply_freeze();

    MatrixGrid g_;
    rt::Browse browse_;
    int queued_ = 0;
};

// MBROWSE: the grid inside the rectangle shrunk by one on each side.
void MBROWSE(const MatrixGrid& g, int top, int left, int bottom, int right);
// MOSBROW: MBROWSE inside a window frame of the given mode.
void MOSBROW(const MatrixGrid& g, int top, int left, int bottom, int right, int window);

// The matrix grid running now (nullptr outside one).
MatrixRun* current_matrix_grid();

// The cell (row, col) of the matrix variable as an amount (text read with
// the decimal comma), and written as text with `picture`.
double matrix_amount(std::string_view matrix, int row, int col);
void set_matrix_amount(std::string_view matrix, int row, int col, double amount, std::string_view picture);

}  // namespace qv::declaration::grids
