#pragma once
// A read-only shared mapping of a file that grows with it. Reads through it
// see every write of every process at once (one page cache), without a
// system call: how a shared table re-reads records and change marks cheaply.
#include <cstddef>

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
    const char* data() const { return data_; }
    std::size_t size() const { return size_; }   // bytes known to be there
    void reset();   // before the file shrinks or is replaced

private:
    const char* data_ = nullptr;
    std::size_t size_ = 0;     // bytes known to exist in the file
    std::size_t mapped_ = 0;   // length of the mapping (room to grow)
};

}  // namespace qv::rt::table
