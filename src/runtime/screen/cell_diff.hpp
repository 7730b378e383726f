#pragma once
// What the terminal shows, so that only cells that changed are sent again.
#include <optional>
#include <vector>

#include "runtime/screen/backend.hpp"

namespace qv::rt {

struct CellSpan {
    int row, col, length;
    bool operator==(const CellSpan&) const = default;
};

class ShownGrid {
public:
    // Runs of cells that differ from what was last shown, row by row; the
    // whole screen when nothing has been shown yet (or after forget()).
    std::vector<CellSpan> changes(const CellGrid& now) const;
    void shown(const CellGrid& grid) { last_ = grid; }
    void forget() { last_.reset(); }
    const std::optional<CellGrid>& last() const { return last_; }

private:
    std::optional<CellGrid> last_;
};

}  // namespace qv::rt
