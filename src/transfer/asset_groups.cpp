#include "transfer/asset_groups.hpp"

namespace qv::transfer {

std::vector<GroupedRow> group_rows(const std::vector<GroupRow>& rows, int default_code) {
    std::vector<GroupedRow> out;
    out.reserve(rows.size());
    std::size_t i = 0;
    while (i < rows.size()) {
        int code = rows[i].code;
        std::size_t end = i + 1;   // one past the group's last row
        if (rows[i].has_value) {
            if (code == 0) code = default_code;
        } else {
            bool ended_on_value = false;
            while (end < rows.size() && rows[end].item == 0) {
                ++end;
                if (rows[end - 1].has_value) {
                    ended_on_value = true;
                    break;
                }
            }
            if (!ended_on_value && code == 0) code = rows[end - 1].code != 0 ? rows[end - 1].code : default_code;
        }
        for (; i < end; ++i) out.push_back({rows[i].recno, code});
    }
    return out;
}

}  // namespace qv::transfer
