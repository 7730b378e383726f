#pragma once
// Record rewrites that a kill cannot leave half done.
//
// The kernel copies a write into the page cache one page at a time, and when
// a fatal signal is pending it stops between two pages: a process killed
// while it rewrites a record that crosses a 4 KiB boundary of the table
// leaves the record new up to the boundary and old after it. A write inside
// one page is never cut that way, so only those crossing records need care.
//
// They go through a sidecar file beside the table, "<table stem>.jnl", made
// the first time such a write comes. It holds kSlots slots, each
// kEntryHead bytes of description followed by the record's bytes before and
// after the write:
//   0  u32 magic "QVJ1"      4 u32 record length
//   8  u64 offset of the record in the table
//   16 u64 device, 24 u64 inode of the table file (a table rewritten under
//      the same name is another file, and its old entries do not apply)
//   32 u64 FNV-1a checksum of bytes 0-31 and of both images
// all little-endian. A writer takes a slot by a non-blocking write lock on
// byte `slot` of the sidecar, fills it in, writes the record and clears the
// magic. Whoever opens the table next takes each slot whose lock is free (its
// writer is gone) and looks at the record:
//   - exactly the torn mix of the entry (new up to a page boundary, old
//     after it): the record is completed with the new image. The writer had
//     done everything the new image rests on (its memos are written to new
//     blocks before the record, and its index bags carry the mark that gets
//     them rebuilt from the table at this same open), and a reader that saw
//     the first page may already have acted on it;
//   - the old image, the new one, or anything else (another user has written
//     the record since): left alone, never over a newer write;
//   - an entry whose checksum fails was itself cut short, so the record
//     write had not begun: cleared, the record left alone.
// The record's locks are taken (without waiting) before it is repaired, so a
// live writer of that record is never raced. Kills are covered, power cuts
// are not: nothing here is synced to the disk.
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "runtime/table/file_lock.hpp"

namespace qv::rt::table {

class RecordJournal {
public:
    static constexpr int kSlots = 8;
    static constexpr std::size_t kEntryHead = 64;
    static constexpr std::int64_t kPage = 4096;

    // Layout of the table's records: where they start and how long they are.
    RecordJournal(std::string table_path, std::size_t header_len, std::size_t record_len);

    // The sidecar of a table.
    static std::string path_for(const std::string& table_path);
    // Where slot `slot` starts in the sidecar of a table with records of
    // `record_len` bytes.
    static std::int64_t slot_offset(int slot, std::size_t record_len);
    // An entry as a writer puts it in a slot.
    static std::string entry(dev_t dev, ino_t ino, std::int64_t offset, std::string_view before,
                             std::string_view after);

    // Takes or lets go of every lock a writer of record `recno` would hold;
    // `take` never waits and says whether it got them.
    struct RecordLocks {
        std::function<bool(std::uint32_t recno)> take;
        std::function<void(std::uint32_t recno)> release;
    };
    // Completes the records that dead writers left torn; returns how many.
    // Costs one failed open when the sidecar does not exist, and one read
    // more when no slot is in use.
    int recover(int table_fd, std::uint32_t reccount, const RecordLocks& locks);

    // Writes `data` at `offset` of the table; its first `in_place` bytes
    // overwrite a record already there, and go through a slot when they cross
    // a page boundary.
    void write(int table_fd, std::int64_t offset, std::string_view data, std::size_t in_place);

    // Removes the sidecar when no slot is in use; only for a table held
    // exclusively, which nobody else can be writing through it.
    void remove_if_unused();

private:
    class Slot;
    bool open_sidecar(bool create);
    bool repair_slot(int slot, int table_fd, std::uint32_t reccount, const RecordLocks& locks);
    bool journal_write(int table_fd, std::int64_t offset, std::string_view data, std::size_t in_place);

    std::string table_path_;
    std::string path_;
    std::size_t header_len_;
    std::size_t record_len_;
    FileHandle fd_;
    pid_t owner_ = 0;   // locks of a descriptor inherited by fork() are shared
};

}  // namespace qv::rt::table
