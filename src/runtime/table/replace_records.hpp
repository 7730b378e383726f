#pragma once
// Rewriting a table held exclusively: its records less the ones a test
// drops, then the records of another table of the same layout. The result
// is that of DELETE, PACK and APPEND FROM, but the new table and its
// structural index are written beside the old ones and put in place by
// rename, so a crash leaves either the old table or the new one, never one
// with the dropped records gone and the others not yet added. A crash
// between the renames leaves the index missing, and it is built again the
// next time the table is opened.
#include <functional>
#include <string>
#include <string_view>

namespace qv::rt::table {

class Workspace;

struct ReplaceCount {
    long kept = 0;
    long added = 0;
};

// `record` is the raw record: the deleted flag, then the fields at their
// offsets. Deleted records of the table are left out, as PACK does; so are
// the deleted records of `from`. The table of `area` must be open
// exclusively, with its orders in its structural index only, and without
// memo fields. The area is closed at the end (the caller opens the table
// again): the old file is gone. Throws TableError and leaves the table as it
// was when anything fails before the new files are in place.
ReplaceCount replace_records(Workspace& ws, int area, const std::function<bool(std::string_view record)>& drop,
                             const std::string& from);

}  // namespace qv::rt::table
