// The backend for tests: keys from a queue, the screen kept for reading back.
#include <cstdio>
#include <stdexcept>

#include "runtime/screen/backend.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/screen/glyphs.hpp"
#include "runtime/screen/keys.hpp"

namespace qv::rt {
namespace {

std::string hex_byte(unsigned v) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02X", v & 0xFF);
    return buf;
}

// "1F 0-9, 70 10-79": the attribute runs of a row.
std::string attr_runs(const std::array<Cell, SCREEN_COLS>& row) {
    std::string out;
    int start = 0;
    for (int col = 1; col <= SCREEN_COLS; ++col) {
        if (col < SCREEN_COLS && row[static_cast<std::size_t>(col)].attr == row[static_cast<std::size_t>(start)].attr)
            continue;
        if (!out.empty()) out += ", ";
        out += hex_byte(row[static_cast<std::size_t>(start)].attr) + ' ' + std::to_string(start);
        if (col - 1 != start) out += '-' + std::to_string(col - 1);
        start = col;
    }
    return out;
}

}  // namespace

void HeadlessBackend::present(const CellGrid& cells, int row, int col, int shape) {
    grid_ = cells;
    cursor_row_ = row;
    cursor_col_ = col;
    cursor_shape_ = shape;
}

int HeadlessBackend::read_key(int timeout_ms) {
    if (next_ < queue_.size()) return queue_[next_++];
    if (timeout_ms == 0) return 0;
    if (++starved_ > STARVED_LIMIT)
        throw std::runtime_error("the test's keys ran out and the program keeps waiting for more\n" + dump());
    return key::ESC;
}

void HeadlessBackend::feed(int code) { queue_.push_back(code); }

void HeadlessBackend::feed_text(std::string_view cp850) {
    for (const char c : cp850) feed(static_cast<unsigned char>(c));
}

std::size_t HeadlessBackend::pending() const { return queue_.size() - next_; }
int HeadlessBackend::starved_reads() const { return starved_; }
const CellGrid& HeadlessBackend::cells() const { return grid_; }

std::string HeadlessBackend::text(int row) const {
    if (row < 0 || row >= SCREEN_ROWS) return {};
    std::string out;
    for (const auto& cell : grid_[static_cast<std::size_t>(row)]) append_utf8(out, screen_glyph(cell.ch));
    return out;
}

// Row number, the row's text between bars, then its attribute runs:
//   07 |Nome: FULANO          ...| 1F 0-79
std::string HeadlessBackend::dump() const {
    std::string out = "screen, cursor at " + std::to_string(cursor_row_) + "," + std::to_string(cursor_col_) +
                      " shape " + std::to_string(cursor_shape_) + ":\n";
    const std::string rule = "   +" + std::string(SCREEN_COLS, '-') + "+\n";
    out += rule;
    for (int row = 0; row < SCREEN_ROWS; ++row) {
        char num[8];
        std::snprintf(num, sizeof num, "%02d |", row);
        out += num + text(row) + "| " + attr_runs(grid_[static_cast<std::size_t>(row)]) + '\n';
    }
    out += rule;
    return out;
}

}  // namespace qv::rt
