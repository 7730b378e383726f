#pragma once
// Locks between processes sharing one folder. Byte-range locks are
// open-file-description locks: they belong to the open file, not to the
// process, so closing another descriptor of the same file keeps them, and two
// work areas of one process on the same table exclude each other as two
// processes do. The whole-file BSD lock marks a table open shared or
// exclusive.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

namespace qv::rt::table {

// Byte range lock; `wait` blocks until granted. False when held elsewhere.
bool lock_range(int fd, std::int64_t start, std::int64_t len, bool exclusive, bool wait);
void unlock_range(int fd, std::int64_t start, std::int64_t len);
// Whether a lock of another open file (another user, or another work area)
// lies in the range; true when that cannot be told.
bool range_locked_elsewhere(int fd, std::int64_t start, std::int64_t len);
// Whole-file BSD lock, never waits.
bool lock_whole_file(int fd, bool exclusive);

// A byte range of a lock; empty when len is 0.
struct LockSpan {
    std::int64_t start = 0, len = 0;
};

// A write lock on a byte range held a little past its use, so that a run
// of writes (appends one after the other) takes it and gives it back once
// instead of at every write. A thread of the process gives it back once it
// has lain unused for about a millisecond, and a few milliseconds after it
// was taken in any case, so that another user waiting for it never waits
// longer than that, whatever this one does meanwhile (computing, waiting
// for a key or for another lock). What was written under the lock is
// complete before the lock is kept: keeping it only makes others wait.
class KeptLock {
public:
    KeptLock() = default;
    ~KeptLock() { give_back(); }
    KeptLock(const KeptLock&) = delete;
    KeptLock& operator=(const KeptLock&) = delete;

    // Where the lock lies; a lock still held elsewhere is given back first.
    void attach(int fd, std::int64_t start, std::int64_t len);
    // Takes the lock, waiting for it; at once when it is still kept. False
    // when it cannot be had (an error of the lock call).
    bool take();
    // Takes it only when it is still kept: true then, and nobody else has
    // had it since it was last used.
    bool take_if_kept();
    // Done with it for now: it stays held for a while for the next take().
    void keep();
    // Gives it back now.
    void give_back();

    // Other ranges of the same file, locked by the caller, that go with this
    // lock while it is in use or kept and are given back just before it,
    // whenever it goes: the records a run of appends locked ahead of its
    // next appends. Set while the lock is in use; replaces those set before.
    void hold_along(LockSpan a, LockSpan b);
    // Gives back now the ranges held along with it; the lock stays as it is.
    void give_back_along();
    // Moves every time the lock is given back (and what went with it); to be
    // read while the lock is in use.
    std::uint64_t times_given_back() const { return given_back_; }
    // Whether locks are kept at all in this process (see LockKeeper).
    static bool keeping();
    // Gives back now every lock this process keeps (for a lock another of
    // its work areas may be keeping); false when it kept none.
    static bool give_back_kept();

private:
    friend class LockKeeper;
    enum class State { Free, InUse, Kept };
    void release();   // under the keeper's mutex
    int fd_ = -1;
    std::int64_t start_ = 0, len_ = 0;
    LockSpan along_[2];
    std::uint64_t given_back_ = 0;
    std::atomic<State> state_{State::Free};   // changed under the keeper's mutex
    std::chrono::steady_clock::time_point last_use_, taken_at_;
    bool given_up_ = false;   // given back for having been held long
};

// A file descriptor that closes itself.
class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(int fd) : fd_(fd) {}
    FileHandle(FileHandle&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
    FileHandle& operator=(FileHandle&& o) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle();
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    void reset(int fd = -1);

private:
    int fd_ = -1;
};

// Whole reads and writes at an offset; throw TableError naming `file` on an
// I/O error. read_at returns the bytes read (short at end of file).
std::size_t read_at(int fd, void* buf, std::size_t n, std::int64_t off, const std::string& file);
void write_at(int fd, const void* buf, std::size_t n, std::int64_t off, const std::string& file);
std::int64_t file_size(int fd, const std::string& file);

}  // namespace qv::rt::table
