#include "runtime/ui/browse_matrix.hpp"
#include <algorithm>

namespace qv::rt {

MatrixSource::MatrixSource(ArrayRef rows) : st_(std::make_shared<State>()) {
    st_->rows = rows ? std::move(rows) : std::make_shared<Array>();
}

MatrixSource MatrixSource::from_text(const std::vector<std::vector<std::string>>& rows) {
    auto arr = std::make_shared<Array>();
    for (const auto& r : rows) {
        auto cells = std::make_shared<Array>();
        for (const auto& c : r) cells->emplace_back(c);
        arr->emplace_back(std::move(cells));
    }
    return MatrixSource(std::move(arr));
}

long MatrixSource::row_count() const { return static_cast<long>(st_->rows->size()); }

void MatrixSource::set_row(long row) {
    st_->row = std::clamp(row, 1L, std::max(1L, row_count()));
}

Value MatrixSource::cell(int col) const {
    if (st_->row < 1 || st_->row > row_count()) return Value();
    const Value& r = (*st_->rows)[static_cast<std::size_t>(st_->row - 1)];
    return r.at(static_cast<std::size_t>(col));
}

void MatrixSource::set_cell(int col, Value v) {
    if (st_->row < 1 || st_->row > row_count() || col < 1) return;
    Value& r = (*st_->rows)[static_cast<std::size_t>(st_->row - 1)];
    if (!r.is_array()) return;
    auto& cells = *r.as_array();
    if (static_cast<std::size_t>(col) > cells.size()) cells.resize(static_cast<std::size_t>(col));
    cells[static_cast<std::size_t>(col - 1)] = std::move(v);
}

BrowseSource MatrixSource::source() const {
    BrowseSource s;
    auto st = st_;
    s.skip = [st](long n) {
        const long count = static_cast<long>(st->rows->size());
        if (count == 0) return 0L;
        long target = std::clamp(st->row + n, 1L, count);
        long moved = target - st->row;
        st->row = target;
        return moved;
    };
    s.go_top = [st] { st->row = 1; };
    s.go_bottom = [st] { st->row = std::max(1L, static_cast<long>(st->rows->size())); };
    s.empty = [st] { return st->rows->empty(); };
    return s;
}

BrowseColumn::Block MatrixSource::block(int col) const {
    MatrixSource self = *this;
    return [self, col] { return self.cell(col); };
}

}  // namespace qv::rt
