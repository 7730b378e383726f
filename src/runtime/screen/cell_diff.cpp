#include "runtime/screen/cell_diff.hpp"

namespace qv::rt {

std::vector<CellSpan> ShownGrid::changes(const CellGrid& now) const {
    std::vector<CellSpan> out;
    if (!last_) {
        for (int row = 0; row < SCREEN_ROWS; ++row) out.push_back({row, 0, SCREEN_COLS});
        return out;
    }
    for (int row = 0; row < SCREEN_ROWS; ++row) {
        const auto& was = (*last_)[static_cast<std::size_t>(row)];
        const auto& is = now[static_cast<std::size_t>(row)];
        int col = 0;
        while (col < SCREEN_COLS) {
            if (was[static_cast<std::size_t>(col)] == is[static_cast<std::size_t>(col)]) {
                ++col;
                continue;
            }
            const int start = col;
            while (col < SCREEN_COLS && !(was[static_cast<std::size_t>(col)] == is[static_cast<std::size_t>(col)])) ++col;
            out.push_back({row, start, col - start});
        }
    }
    return out;
}

}  // namespace qv::rt
