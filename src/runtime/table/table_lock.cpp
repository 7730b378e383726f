// Record, file and append locks of a shared table, at the offsets the other
// xBase tools use, so that they and this program exclude each other.
#include <algorithm>
#include <cstring>

#include "runtime/table/table.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/table_impl.hpp"

namespace qv::rt::table {

std::int64_t Table::record_lock_offset(std::uint32_t recno) const {
    if (cdx_lock_scheme_) return kCdxRecordBase - std::int64_t(recno);
    return kPlainRecordBase + std::int64_t(header_.header_len) +
           std::int64_t(recno - 1) * header_.record_len;
}

// Whatever was read before the lock may have been changed by its last
// holder: the record count, the current record, the index pages.
void Table::after_lock() {
    refresh_header();
    for (auto& b : bags_) sync_bag(*b);
    if (!eof_ && !dirty_ && recno_ >= 1 && recno_ <= reccount_) {
        const std::uint32_t r = recno_;
        auto key = cur_key_;
        read_record(r);
        cur_key_ = key;
    }
}

void Table::release_record_locks() {
    for (std::uint32_t r : locked_) unlock_range(fd_.get(), record_lock_offset(r), 1);
    locked_.clear();
}

// A record or file lock, not waited for. Another work area of this program
// on the same table may be keeping the records its appends left: those are
// given back first when they are in the way.
bool Table::lock_now(std::int64_t start, std::int64_t len) {
    if (lock_range(fd_.get(), start, len, true, false)) return true;
    return KeptLock::give_back_kept() && lock_range(fd_.get(), start, len, true, false);
}

bool Table::rlock(std::uint32_t recno) {
    if (recno == 0) recno = recno_;
    if (exclusive_ || file_locked_) return true;
    if (std::find(locked_.begin(), locked_.end(), recno) != locked_.end()) {
        after_lock();
        return true;
    }
    flush();
    end_append_run();
    release_record_locks();   // one record lock per area
    if (recno < 1 || recno > lastrec()) return false;
    if (!lock_now(record_lock_offset(recno), 1)) return false;
    locked_.push_back(recno);
    after_lock();
    return true;
}

bool Table::flock() {
    if (exclusive_) return true;
    if (file_locked_) { after_lock(); return true; }
    flush();
    end_append_run();
    release_record_locks();
    const std::int64_t start = cdx_lock_scheme_ ? kCdxFileLockStart : kPlainFileLockStart;
    const std::int64_t len = cdx_lock_scheme_ ? kCdxFileLockLen : kPlainFileLockLen;
    if (!lock_now(start, len)) return false;
    file_locked_ = true;
    after_lock();
    return true;
}

void Table::unlock() {
    flush();
    if (exclusive_) return;
    give_back_kept_locks();
    release_record_locks();
    if (file_locked_) {
        const std::int64_t start = cdx_lock_scheme_ ? kCdxFileLockStart : kPlainFileLockStart;
        const std::int64_t len = cdx_lock_scheme_ ? kCdxFileLockLen : kPlainFileLockLen;
        unlock_range(fd_.get(), start, len);
        file_locked_ = false;
    }
}

bool Table::is_locked(std::uint32_t recno) const {
    if (exclusive_ || file_locked_) return true;
    if (recno == 0) recno = recno_;
    return std::find(locked_.begin(), locked_.end(), recno) != locked_.end();
}

// Appends are serialised by the header byte; it is held only while the
// record number is taken, so waiting for it is short.
// Without a structural index the other tools take the byte at the base of
// the record locks, with one the byte just above them.
bool Table::lock_header() {
    if (exclusive_) return true;
    header_lock_.attach(fd_.get(), cdx_lock_scheme_ ? kHeaderLockByte : kPlainRecordBase, 1);
    return header_lock_.take();
}

void Table::unlock_header() {
    if (exclusive_) return;
    header_lock_.give_back();
}

// Lets go of the write locks kept from the last writes.
void Table::give_back_kept_locks() noexcept {
    end_append_run();
    header_lock_.give_back();
    for (auto& b : bags_) b->write_lock.give_back();
}

// The lock bytes of records first..last, in one range (empty when first >
// last): with a structural index they lie below the header byte, the last
// record lowest; otherwise each at its record's place in the file.
LockSpan Table::record_span(std::uint32_t first, std::uint32_t last) const {
    if (first > last) return {};
    const std::int64_t a = record_lock_offset(first), b = record_lock_offset(last);
    return {std::min(a, b), (a < b ? b - a : a - b) + 1};
}

// The new record is locked before anything is written. A run of appends
// locks the records ahead of it with its first one, in one call, so that
// the next appends find theirs locked already; nobody else can reach those
// while this user holds the append lock, and they go with it.
bool Table::lock_appended(std::uint32_t recno) {
    const bool running = run_last_ != 0 && run_epoch_ == header_lock_.times_given_back();
    if (running && recno >= run_first_ && recno <= run_last_) return true;
    const bool continues = running && recno == run_last_ + 1;
    if (!continues) end_append_run();
    std::uint32_t last = recno + (KeptLock::keeping() ? kLockedAhead - 1 : 0);
    const LockSpan ahead = record_span(recno, last);
    if (!lock_range(fd_.get(), ahead.start, ahead.len, true, false)) {
        // a file lock of another user, most likely: the record alone says
        if (last == recno || !lock_range(fd_.get(), record_lock_offset(recno), 1, true, false)) return false;
        last = recno;
    }
    if (!continues) {
        run_first_ = recno;
        run_epoch_ = header_lock_.times_given_back();
    }
    run_last_ = last;
    return true;
}

// Every record of the run but `held` (the one this user is on, when it is
// in the run) goes with the append lock: those locked ahead, and until the
// append is done the one this user is leaving.
void Table::hold_run_along(std::uint32_t held) {
    if (held < run_first_ || held > run_last_)
        header_lock_.hold_along(record_span(run_first_, run_last_), {});
    else
        header_lock_.hold_along(record_span(run_first_, held - 1), record_span(held + 1, run_last_));
}

// The records of the run that went with the append lock are given back
// now: this user locks records of its own choosing from here.
void Table::end_append_run() noexcept {
    if (run_last_ == 0) return;
    header_lock_.give_back_along();
    run_first_ = run_last_ = 0;
}

// Keeps the header byte for the next append, with the records locked
// ahead, and lets go of every other record lock now: the record left is
// free to the others at once, as it was before the run locked ahead.
void Table::keep_header_release_records(std::uint32_t appended) {
    if (exclusive_) return;
    release_record_locks();
    if (appended != 0) {
        locked_.push_back(appended);
        run_first_ = appended;
        hold_run_along(appended);
    }
    header_lock_.keep();
}

bool Table::sync_bag(Bag& bag) {
    if (exclusive_) return false;
    char now[8];
    if (!bag.marks.read(bag.cdx->fd(), 4, now, 8)) {
        bag.cdx->invalidate();
        bag.seen_valid = false;
        return true;
    }
    if (bag.seen_valid && std::memcmp(bag.seen, now, 8) == 0) return false;
    bag.cdx->invalidate();
    std::memcpy(bag.seen, now, 8);
    bag.seen_valid = true;
    return true;
}

bool Table::marks_equal(Bag& bag, const char* before) {
    char now[8];
    return bag.marks.read(bag.cdx->fd(), 4, now, 8) && std::memcmp(before, now, 8) == 0;
}

void Table::lock_bag_for_read(Bag& bag) {
    lock_range(bag.cdx->fd(), kIndexLockByte, 1, false, true);
    bag.cdx->invalidate();
    bag.seen_valid = bag.marks.read(bag.cdx->fd(), 4, bag.seen, 8);
}

void Table::unlock_bag(Bag& bag) { unlock_range(bag.cdx->fd(), kIndexLockByte, 1); }

// A write lock still kept from this user's last write: nobody else has
// written the bag since, and what is cached stands.
Table::BagLock::BagLock(Table& t, Bag& b, bool write) : bag_(b), write_(write) {
    if (t.exclusive_) return;
    if (write) {
        if (b.write_lock.take_if_kept()) {
            locked_ = true;
            before_valid_ = b.seen_valid;
            std::memcpy(before_, b.seen, 8);
            return;
        }
        b.write_lock.attach(b.cdx->fd(), kIndexLockByte, 1);
        b.write_lock.take();
        locked_ = true;
        before_valid_ = b.marks.read(b.cdx->fd(), 4, before_, 8);
    }
    t.sync_bag(b);
}

Table::BagLock::~BagLock() {
    if (!locked_) return;
    try {
        bag_.cdx->flush();
    } catch (...) {
        // the lock is freed anyway; the next reader sees what reached the file
    }
    // our own update moved the marks: what is cached is current
    bag_.seen_valid = bag_.marks.read(bag_.cdx->fd(), 4, bag_.seen, 8);
    // Still in step when nobody else wrote the bag since it was found so.
    if (bag_.in_step && before_valid_ && bag_.seen_valid && std::memcmp(before_, bag_.step_marks, 8) == 0)
        std::memcpy(bag_.step_marks, bag_.seen, 8);
    else
        bag_.in_step = false;
    bag_.write_lock.keep();
}

}  // namespace qv::rt::table
