#pragma once
// What the transfer keeps in memory of a table it reads whole (reference
// lists, the saved rural tables) and uses while the table's file stays as
// it was: a batch of transfers reads such a table once rather than once
// for every taxpayer.
#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>

#include "runtime/table/table.hpp"

namespace qv::transfer {

// What tells one state of a table's file from another: a write moves its
// change times (to the clock's tick) and an added row its size, a rewrite
// aside its inode; the folders it was found through and whether deleted
// rows were left out complete it.
struct TableStamp {
    std::string folders;
    std::string path;
    bool deleted_hidden = true;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long modified_s = 0, modified_ns = 0, changed_s = 0, changed_ns = 0;
    // The file had been left alone for a while when it was stamped: a write
    // in the same tick of the clock as the last one would not move its
    // times, so only such a stamp lets what was read be used again.
    bool settled = false;
    bool operator==(const TableStamp&) const = default;
};

// Reads every row of table `code` through `visit`, after `restart`, when
// `stamp` is empty or no longer describes the table, and stamps it anew
// (the file stamped before the reading, so a write during it shows at the
// next call). A table already open in its area is left alone: nothing is
// read and `stamp` is emptied. True when what was read describes the table
// as it stands.
bool read_when_changed(int code, std::optional<TableStamp>& stamp, const std::function<void()>& restart,
                       const std::function<void(rt::table::Table&)>& visit);

}  // namespace qv::transfer
