#pragma once
// The grouping of asset (and debt) rows: an item spread over several rows
// of the list takes the code of its first row.
#include <cstdint>
#include <vector>

namespace qv::transfer {

struct GroupRow {
    std::uint32_t recno = 0;
    int item = 0;          // item number; 0 when empty
    int code = 0;          // 0 when empty
    bool has_value = false;
};

struct GroupedRow {
    std::uint32_t recno = 0;
    int code = 0;          // the group's code; 0 is written "00"
};

// The rows in their order, each with its group's code. `default_code` is
// the code of a group whose code cannot be found (99 assets, 16 debts).
std::vector<GroupedRow> group_rows(const std::vector<GroupRow>& rows, int default_code);

}  // namespace qv::transfer
