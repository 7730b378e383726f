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
#include "runtime/table/file_lock.hpp"
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

// The same rewrite in two steps, so that several tables can be rewritten
// all or none: prepare_replace writes the new table and its index beside
// the old ones and keeps both held; install() puts the new files in place
// and closes the area, as replace_records does. A rewrite dropped (or
// destroyed) before install() is removed and the table stays as it was,
// still open in its area. A failure while preparing throws TableError and
// leaves nothing behind.
class PreparedReplace {
public:
    PreparedReplace() = default;
    PreparedReplace(PreparedReplace&& other) noexcept;
    PreparedReplace& operator=(PreparedReplace&& other) noexcept;
    PreparedReplace(const PreparedReplace&) = delete;
    PreparedReplace& operator=(const PreparedReplace&) = delete;
    ~PreparedReplace();

    const ReplaceCount& count() const { return count_; }
    int area() const { return area_; }
    // Throws TableError when a rename fails (the table is then as a crash
    // at that moment would leave it: old, or new without its index).
    void install();
    void drop() noexcept;

private:
    friend PreparedReplace prepare_replace(Workspace&, int, const std::function<bool(std::string_view)>&,
                                           const std::string&);
    Workspace* ws_ = nullptr;
    int area_ = 0;
    std::string path_, temp_dbf_, temp_cdx_;
    bool indexed_ = false;
    FileHandle held_;   // the new table, held alone until it is in place
    ReplaceCount count_;
};

PreparedReplace prepare_replace(Workspace& ws, int area, const std::function<bool(std::string_view record)>& drop,
                                const std::string& from);

}  // namespace qv::rt::table
