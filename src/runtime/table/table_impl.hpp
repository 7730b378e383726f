#pragma once
// Private parts of Table shared by its source files.
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include "runtime/core/expr.hpp"
#include "runtime/table/cdx.hpp"
#include "runtime/table/fast_key.hpp"
#include "runtime/table/file_map.hpp"
#include "runtime/table/table.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/workspace.hpp"

namespace qv::rt::table {

// Lock offsets of the FoxPro-style scheme the other xBase tools use.
inline constexpr std::int64_t kCdxRecordBase = 0x7FFFFFFE;       // - recno
inline constexpr std::int64_t kCdxFileLockStart = 0x77FFFFFF;
inline constexpr std::int64_t kCdxFileLockLen = 0x07FFFFFF;
inline constexpr std::int64_t kPlainRecordBase = 0x40000000;     // + header + (recno-1)*reclen
inline constexpr std::int64_t kPlainFileLockStart = 0x40000001;
inline constexpr std::int64_t kPlainFileLockLen = 0x7FFFFFFD - 0x40000001 + 1;
inline constexpr std::int64_t kHeaderLockByte = 0x7FFFFFFE;      // appends, with a structural index
inline constexpr std::int64_t kIndexLockByte = 0x7FFFFFFE;       // in the .cdx
// Records a run of appends locks at a time, the new one and those after it.
inline constexpr std::uint32_t kLockedAhead = 64;

struct Table::Tag {
    TagInfo info;
    Expr key;
    Expr cond;   // empty when the tag has no FOR
    std::optional<FastKey> fast;   // the key straight from the record bytes
    // Why the order cannot be used (a key this runtime cannot evaluate, in
    // a file another program wrote); empty when it can.
    std::string unusable;
};

struct Table::Bag {
    std::string path;
    bool structural = false;
    std::unique_ptr<CdxFile> cdx;
    std::vector<Tag> tags;   // in the order of cdx->tags()
    FileMap marks;           // the compound header: free list and change counter
    char seen[8] = {};       // the marks when last read
    bool seen_valid = false;
    // Known in step with the records when the marks were `step_marks`, the
    // record count `step_reccount` and this user had appended
    // `step_appends` records; kept up by this user's own updates.
    bool in_step = false;
    char step_marks[8] = {};
    std::uint32_t step_reccount = 0;
    std::uint64_t step_appends = 0;
    // The index lock for writing, kept between the writes of a run (after
    // `cdx`, so that it is given back before the file is closed).
    KeptLock write_lock;
};

// Evaluates with the table's own area selected.
class Table::SelectArea {
public:
    explicit SelectArea(Table& t) : guard_(t.ws_, t.area_) {}

private:
    Workspace::Selected guard_;
};

// Access to a bag of a shared table. Reading takes no lock: the bag's change
// marks (free list head and change counter, bumped by every writer when it
// ends its update) are looked at through a shared mapping, and the cached
// pages are dropped when they moved. Writing takes the index lock, and the
// changes reach the file before it is freed.
class Table::BagLock {
public:
    BagLock(Table& t, Bag& b, bool write);
    ~BagLock();
    BagLock(const BagLock&) = delete;
    BagLock& operator=(const BagLock&) = delete;

private:
    Bag& bag_;
    bool locked_ = false;
    bool write_;
    char before_[8] = {};   // the marks when the lock was had
    bool before_valid_ = false;
};

template <typename Op>
auto Table::index_read(Bag& bag, Op op) -> decltype(op()) {
    if (exclusive_) return op();
    // The index lock this user keeps: nobody else has written since.
    if (bag.write_lock.take_if_kept()) {
        struct Keep {
            Bag& bag;
            ~Keep() { bag.write_lock.keep(); }
        } keep{bag};
        try {
            return op();
        } catch (const CdxError& e) {
            throw TableError(e.what());
        }
    }
    // Unchanged since last read: the cached pages answer, unless a writer
    // moved the marks meanwhile. Changed: the pages are read again under
    // the lock, so that no half-written state is taken in.
    if (!sync_bag(bag)) {
        char before[8] = {};
        const bool mapped = bag.marks.read(bag.cdx->fd(), 4, before, 8);
        try {
            auto r = op();
            if (mapped && marks_equal(bag, before)) return r;
        } catch (const CdxError&) {
            // read while another user was writing it: read again, under the lock
        }
    }
    lock_bag_for_read(bag);
    try {
        auto r = op();
        unlock_bag(bag);
        return r;
    } catch (const CdxError& e) {
        unlock_bag(bag);
        throw TableError(e.what());
    } catch (...) {
        unlock_bag(bag);
        throw;
    }
}

// Tag definitions of the bags seen by this process, to rebuild a bag that
// can no longer be read.
void remember_tags(const std::string& bag_path, const std::vector<TagInfo>& tags);
const std::vector<TagInfo>* known_tags(const std::string& bag_path);


}  // namespace qv::rt::table
