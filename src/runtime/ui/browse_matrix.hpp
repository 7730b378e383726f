#pragma once
// A browse over a matrix held in memory: an array of rows, each row an array
// of cells (the monthly worksheets keep their amounts as formatted text).
#include <memory>
#include <string>
#include <vector>
#include "runtime/core/value.hpp"
#include "runtime/ui/browse.hpp"

namespace qv::rt {

class MatrixSource {
public:
    // Shares the rows with the caller: edits through set_cell() are seen by
    // both, and rows added to the array are browsed at the next refresh.
    explicit MatrixSource(ArrayRef rows);
    static MatrixSource from_text(const std::vector<std::vector<std::string>>& rows);

    const ArrayRef& rows() const { return st_->rows; }
    long row() const { return st_->row; }          // 1-based current row
    void set_row(long row);
    long row_count() const;

    Value cell(int col) const;                      // current row, 1-based column
    void set_cell(int col, Value v);

    // The navigation blocks, bound to this matrix (they share its state, so
    // the source may be copied or go out of scope before the browse).
    BrowseSource source() const;
    // A display block for column col of the current row.
    BrowseColumn::Block block(int col) const;

private:
    struct State {
        ArrayRef rows;
        long row = 1;
    };
    std::shared_ptr<State> st_;
};

}  // namespace qv::rt
