#pragma once
// The grids over a matrix of the declaration held in memory (month by
// month values, capital-gain instalments, stock-market results, the
// carnê-leão and rural worksheets): their headings, pictures and help
// topics, and the frame around the matrix grid that runs them.
#include <optional>
#include <string>
#include <vector>

#include "runtime/core/value.hpp"

namespace qv::declaration::grids {

struct MatrixGrid {
    int code = 0;
    std::string matrix;                  // the variable holding the matrix
    std::vector<std::string> headings, pictures, topics;
    std::string headings_var = "TAB_DESC", pictures_var = "TAB_MASC";
    int ult_pos = 99;
    int top = 0, left = 0, bottom = 0, right = 0;
    int window = 0;
    int footer = 0, rural_footer = 0;
};

// The description of a matrix grid code; nothing for the other codes.
std::optional<MatrixGrid> matrix_grid(int code);
// Sets the description's variables and runs it in its frame.
void run_matrix(const MatrixGrid& m);

// MOSBROW: the window around the matrix grid (MBROWSE) of `matrix`.
void MOSBROW(const rt::Value& matrix, int top, int left, int bottom, int right, int window);

}  // namespace qv::declaration::grids
