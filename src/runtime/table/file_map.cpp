#include "runtime/table/file_map.hpp"

#include "runtime/table/kept_mappings.hpp"

#include <signal.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csetjmp>
#include <cstring>
#include <mutex>
#include <new>
#include <cstdint>
#include <string>

namespace qv::rt::table {

FileMap::~FileMap() { reset(); }

void FileMap::reset() {
    if (data_) ::munmap(const_cast<char*>(data_), mapped_);
    data_ = nullptr;
    size_ = mapped_ = 0;
}

// A file deleted meanwhile (a table replaced by another written aside) is
// not kept: its mapping would hold its disk space.
void FileMap::keep(int fd, const std::string& path) noexcept {
    struct stat st;
    if (data_ && keepable_ && !disabled_ && ::fstat(fd, &st) == 0 && st.st_nlink > 0 && st.st_dev == dev_ &&
        st.st_ino == ino_) {
        keep_mapping(dev_, ino_, path, {data_, mapped_});
        data_ = nullptr;
        size_ = mapped_ = 0;
        return;
    }
    reset();
}

namespace {

// Bus errors raised while copying out of a mapping jump back to the copy;
// any other goes to the disposition there was before.
thread_local sigjmp_buf* t_copy_jump = nullptr;
struct sigaction g_previous_bus;

void on_bus_error(int, siginfo_t*, void*) {
    if (sigjmp_buf* jump = t_copy_jump) {
        t_copy_jump = nullptr;
        siglongjmp(*jump, 1);
    }
    // Not ours: the fault happens again on return, under the old handler.
    ::sigaction(SIGBUS, &g_previous_bus, nullptr);
}

void catch_bus_errors() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction sa {};
        sa.sa_sigaction = on_bus_error;
        sa.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&sa.sa_mask);
        ::sigaction(SIGBUS, &sa, &g_previous_bus);
    });
}

}  // namespace

// The copy itself, kept out of line so that nothing of the caller lives
// across the jump.
[[gnu::noinline]] bool guarded_copy(void* dst, const void* src, std::size_t len) {
    catch_bus_errors();
    sigjmp_buf jump;
    if (sigsetjmp(jump, 0) != 0) return false;
    t_copy_jump = &jump;
    std::atomic_signal_fence(std::memory_order_seq_cst);   // the handler must see it set
    std::memcpy(dst, src, len);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    t_copy_jump = nullptr;
    return true;
}

bool FileMap::read(int fd, std::size_t off, void* dst, std::size_t len) {
    // A file this process mapped before is read through that mapping at once.
    if (!data_ && !looked_for_kept_ && !disabled_) {
        looked_for_kept_ = true;
        if (any_mapping_kept()) cover(fd, off + len, true);
    }
    // A file read a few times only (a table opened for a seek and a few
    // records) is read directly: a mapping would cost more, in page faults
    // and in unmapping it at the close, than the reads it saves.
    if (!data_ && direct_reads_ < kDirectReads) {
        ++direct_reads_;
        return ::pread(fd, dst, len, static_cast<off_t>(off)) == static_cast<ssize_t>(len);
    }
    if (!cover(fd, off + len)) return false;
    if (guarded_copy(dst, data_ + off, len)) return true;
    reset();   // the file shrank: map it again when next asked
    return false;
}

// Only bytes the file is known to hold are read through the mapping; the
// mapping itself reaches further, so a growing file is mapped again rarely.
bool FileMap::cover(int fd, std::size_t end) { return cover(fd, end, false); }

bool FileMap::cover(int fd, std::size_t end, bool only_kept) {
    if (data_ && end <= size_) return true;
    if (disabled_) return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || static_cast<std::size_t>(st.st_size) < end || st.st_size == 0) return false;
    const auto size = static_cast<std::size_t>(st.st_size);
    if (!data_ || size > mapped_) {
        reset();
        if (auto kept = take_kept_mapping(st.st_dev, st.st_ino, size)) {
            data_ = kept->data;
            mapped_ = kept->length;
            keepable_ = true;
        } else {
            if (only_kept) return false;
            const std::size_t len = size + std::max<std::size_t>(size / 4, 1u << 20);
            // A mapping holds the open file it was made from, and with it
            // the locks taken on it: made from the caller's descriptor, a
            // mapping kept after the close would keep the table's share
            // signal and its record locks. So it is made from an opening
            // of its own, which holds no lock.
            const int own = ::open(("/proc/self/fd/" + std::to_string(fd)).c_str(), O_RDONLY | O_CLOEXEC);
            void* p = ::mmap(nullptr, len, PROT_READ, MAP_SHARED, own >= 0 ? own : fd, 0);
            if (own >= 0) ::close(own);
            if (p == MAP_FAILED) return false;
            data_ = static_cast<const char*>(p);
            mapped_ = len;
            keepable_ = own >= 0;
        }
        dev_ = st.st_dev;
        ino_ = st.st_ino;
    }
    size_ = size;
    return true;
}

WritableMap::~WritableMap() { reset(); }

void WritableMap::reset() {
    if (data_) ::munmap(data_, mapped_);
    data_ = nullptr;
    mapped_ = 0;
}

bool WritableMap::write(int fd, std::uint64_t file_size, std::uint64_t off, const void* src, std::size_t len) {
    if (off + len > file_size || disabled_) return false;
    if (!data_ && direct_writes_ < kDirectWrites) {
        ++direct_writes_;   // the caller writes it: a few writes do not pay for a mapping
        return false;
    }
    if (!data_ || off + len > mapped_) {
        reset();
        const std::size_t want = static_cast<std::size_t>(file_size) + std::max<std::size_t>(file_size / 4, 1u << 20);
        void* p = ::mmap(nullptr, want, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (p == MAP_FAILED) return false;
        data_ = static_cast<char*>(p);
        mapped_ = want;
    }
    if (guarded_copy(data_ + off, src, len)) return true;
    reset();
    return false;
}

bool WritableMap::read(std::uint64_t file_size, std::uint64_t off, void* dst, std::size_t len) {
    if (!data_ || off + len > file_size || off + len > mapped_) return false;
    if (guarded_copy(dst, data_ + off, len)) return true;
    reset();
    return false;
}

namespace {
constexpr std::size_t kLargePage = std::size_t{2} << 20;
constexpr std::size_t kSmallBuffer = std::size_t{256} << 10;
}

LargeBuffer::LargeBuffer(std::size_t bytes) : size_(bytes) {
    if (bytes == 0) return;
    if (bytes < kSmallBuffer) {
        heap_ = std::make_unique<char[]>(bytes);
        data_ = heap_.get();
        return;
    }
    const bool large = bytes >= kLargePage / 2;
    const std::size_t rounded = (bytes + kLargePage - 1) / kLargePage * kLargePage;
    map_len_ = large ? rounded + kLargePage : bytes;
    void* p = ::mmap(nullptr, map_len_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    map_ = p;
    auto at = reinterpret_cast<std::uintptr_t>(p);
    if (large) {
        at = (at + kLargePage - 1) & ~std::uintptr_t{kLargePage - 1};
        ::madvise(reinterpret_cast<void*>(at), rounded, MADV_HUGEPAGE);
    }
    data_ = reinterpret_cast<char*>(at);
}

LargeBuffer::~LargeBuffer() { release(); }

LargeBuffer::LargeBuffer(LargeBuffer&& o) noexcept
    : heap_(std::move(o.heap_)), map_(o.map_), map_len_(o.map_len_), data_(o.data_), size_(o.size_) {
    o.map_ = nullptr;
    o.data_ = nullptr;
    o.map_len_ = o.size_ = 0;
}

LargeBuffer& LargeBuffer::operator=(LargeBuffer&& o) noexcept {
    if (this != &o) {
        release();
        heap_ = std::move(o.heap_);
        map_ = o.map_;
        map_len_ = o.map_len_;
        data_ = o.data_;
        size_ = o.size_;
        o.map_ = nullptr;
        o.data_ = nullptr;
        o.map_len_ = o.size_ = 0;
    }
    return *this;
}

void LargeBuffer::release() {
    if (map_) ::munmap(map_, map_len_);
    heap_.reset();
    map_ = nullptr;
    data_ = nullptr;
    map_len_ = size_ = 0;
}

}  // namespace qv::rt::table
