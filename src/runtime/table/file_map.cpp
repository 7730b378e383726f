#include "runtime/table/file_map.hpp"

#include <sys/mman.h>
#include <sys/stat.h>

#include <algorithm>

namespace qv::rt::table {

FileMap::~FileMap() { reset(); }

void FileMap::reset() {
    if (data_) ::munmap(const_cast<char*>(data_), mapped_);
    data_ = nullptr;
    size_ = mapped_ = 0;
}

// Only bytes the file is known to hold are read through the mapping; the
// mapping itself reaches further, so a growing file is mapped again rarely.
bool FileMap::cover(int fd, std::size_t end) {
    if (data_ && end <= size_) return true;
    struct stat st;
    if (::fstat(fd, &st) != 0 || static_cast<std::size_t>(st.st_size) < end || st.st_size == 0) return false;
    const auto size = static_cast<std::size_t>(st.st_size);
    if (!data_ || size > mapped_) {
        reset();
        const std::size_t len = size + std::max<std::size_t>(size / 4, 1u << 20);
        void* p = ::mmap(nullptr, len, PROT_READ, MAP_SHARED, fd, 0);
        if (p == MAP_FAILED) return false;
        data_ = static_cast<const char*>(p);
        mapped_ = len;
    }
    size_ = size;
    return true;
}

}  // namespace qv::rt::table
