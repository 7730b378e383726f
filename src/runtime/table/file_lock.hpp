#pragma once
// Locks between processes sharing one folder. Byte-range locks are
// open-file-description locks: they belong to the open file, not to the
// process, so closing another descriptor of the same file keeps them, and two
// work areas of one process on the same table exclude each other as two
// processes do. The whole-file BSD lock marks a table open shared or
// exclusive.
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
