#pragma once
// A browse over the table of a work area, in its active order and filter.
// With append rows allowed, a move down from the last record may land on
// the blank line after it (the end-of-file record) where the grid engine
// creates a row; the engine decides when to allow it.
#include <memory>
#include <string>
#include <string_view>
#include "runtime/table/table.hpp"
#include "runtime/ui/browse.hpp"

namespace qv::rt {

class TableSource {
public:
    explicit TableSource(table::Table& t);

    // The blank line after the last record may be reached by a move down.
    void set_append_row(bool on) { st_->append = on; }
    bool append_row() const { return st_->append; }
    // True while the table stands on that blank line (end of file).
    bool on_append_row() const { return st_->table->eof(); }
    table::Table& table() const { return *st_->table; }

    BrowseSource source() const;
    // A display block reading a field of the current record.
    BrowseColumn::Block field_block(std::string_view field) const;

private:
    struct State {
        table::Table* table;
        bool append = false;
    };
    std::shared_ptr<State> st_;
};

// The skip of a browse over a table: moves n visible records and stops on
// the first and last ones; with `append` a forward move may end one past
// the last record. Returns the records moved.
long table_skip(table::Table& t, long n, bool append);

}  // namespace qv::rt
