#include "runtime/ui/browse_table.hpp"

namespace qv::rt {

long table_skip(table::Table& t, long n, bool append) {
    long moved = 0;
    if (n > 0) {
        if (t.eof()) return 0;
        while (moved < n) {
            t.skip(1);
            if (t.eof()) {
                if (append) { ++moved; break; }
                t.skip(-1);
                break;
            }
            ++moved;
        }
    } else if (n < 0) {
        while (moved > n) {
            t.skip(-1);
            if (t.bof()) break;
            --moved;
        }
    }
    return moved;
}

TableSource::TableSource(table::Table& t) : st_(std::make_shared<State>(State{&t, false})) {}

BrowseSource TableSource::source() const {
    BrowseSource s;
    auto st = st_;
    s.skip = [st](long n) { return table_skip(*st->table, n, st->append); };
    s.go_top = [st] { st->table->go_top(); };
    s.go_bottom = [st] { st->table->go_bottom(); };
    return s;
}

BrowseColumn::Block TableSource::field_block(std::string_view field) const {
    auto st = st_;
    return [st, name = std::string(field)] { return st->table->get(name); };
}

}  // namespace qv::rt
