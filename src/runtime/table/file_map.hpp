#pragma once
// A read-only shared mapping of a file that grows with it. Reads through it
// see every write of every process at once (one page cache), without a
// system call: how a shared table re-reads records and change marks cheaply.
#include <sys/types.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace qv::rt::table {

class FileMap {
public:
    FileMap() = default;
    ~FileMap();
    FileMap(const FileMap&) = delete;
    FileMap& operator=(const FileMap&) = delete;

    // Makes the mapping of `fd` cover bytes [0, end); false when the file is
    // shorter (or cannot be mapped).
    bool cover(int fd, std::size_t end);
    // Copies bytes [off, off + len) of the file (through the mapping once
    // the file has been read more than a few times); false
    // when the file is shorter or has been cut short under the mapping by
    // another program (the bus error that touching the lost bytes raises is
    // caught), so that the caller can read them the ordinary way.
    bool read(int fd, std::size_t off, void* dst, std::size_t len);
    const char* data() const { return data_; }
    std::size_t size() const { return size_; }   // bytes known to be there
    void reset();   // before the file is replaced
    // The file `fd`, named `path`, is about to be closed: its mapping is
    // kept for the next opening of the same file in this process (see
    // kept_mappings.hpp).
    void keep(int fd, const std::string& path) noexcept;
    // The file was cut to `end` bytes by its owner: bytes beyond are no
    // longer read through the mapping (which stays, for the file to grow).
    void shrink_to(std::size_t end) { size_ = std::min(size_, end); }
    // Never maps again (a file on a network mount, where the mapping does
    // not see other machines' writes): every read goes to the file.
    void disable() { reset(); disabled_ = true; }

private:
    static constexpr unsigned kDirectReads = 64;
    // Makes or finds the mapping; with `only_kept`, only one kept from an
    // earlier opening of the file is taken.
    bool cover(int fd, std::size_t end, bool only_kept);
    unsigned direct_reads_ = 0;   // reads made before mapping the file
    bool disabled_ = false;
    bool looked_for_kept_ = false;
    bool keepable_ = false;   // made from an opening that holds no lock
    dev_t dev_ = 0;   // the file mapped
    ino_t ino_ = 0;
    const char* data_ = nullptr;
    std::size_t size_ = 0;     // bytes known to exist in the file
    std::size_t mapped_ = 0;   // length of the mapping (room to grow)
};

// memcpy where either side may be a shared mapping of a file that another
// program has cut short: false, instead of a bus error, when the lost bytes
// are touched.
bool guarded_copy(void* dst, const void* src, std::size_t len);

// A writable shared mapping of a file, for small writes in place without a
// system call. Only bytes the file already holds are written through it.
class WritableMap {
public:
    WritableMap() = default;
    ~WritableMap();
    WritableMap(const WritableMap&) = delete;
    WritableMap& operator=(const WritableMap&) = delete;

    // Copies len bytes to offset off of the file when off + len <= file_size
    // (the caller's knowledge of the file's length); false when it could not
    // (then nothing or part was written, and the caller writes it the
    // ordinary way, or reports the file cut short).
    bool write(int fd, std::uint64_t file_size, std::uint64_t off, const void* src, std::size_t len);
    // Copies bytes [off, off + len) of the file when they lie in the mapping
    // made for writing; false when there is none yet or they lie beyond it
    // or beyond file_size (then nothing is read: the caller does without).
    bool read(std::uint64_t file_size, std::uint64_t off, void* dst, std::size_t len);
    void reset();
    void disable() { reset(); disabled_ = true; }

private:
    static constexpr unsigned kDirectWrites = 16;
    unsigned direct_writes_ = 0;   // writes left to the caller before mapping
    bool disabled_ = false;
    char* data_ = nullptr;
    std::size_t mapped_ = 0;
};

// A zero-filled buffer. A big one has a mapping of its own, backed by large
// pages where the kernel can: filling a fresh buffer of some megabytes
// otherwise costs a page fault per 4 KiB, most of the time spent on it. A
// small one comes from the heap: unmapping costs more than it saves.
class LargeBuffer {
public:
    LargeBuffer() = default;
    explicit LargeBuffer(std::size_t bytes);   // throws std::bad_alloc
    ~LargeBuffer();
    LargeBuffer(LargeBuffer&& o) noexcept;
    LargeBuffer& operator=(LargeBuffer&& o) noexcept;
    LargeBuffer(const LargeBuffer&) = delete;
    LargeBuffer& operator=(const LargeBuffer&) = delete;

    char* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    void release();
    std::unique_ptr<char[]> heap_;
    void* map_ = nullptr;
    std::size_t map_len_ = 0;
    char* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace qv::rt::table
