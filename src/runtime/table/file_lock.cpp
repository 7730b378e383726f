#include "runtime/table/file_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "runtime/table/table_error.hpp"

namespace qv::rt::table {

namespace {

int set_lock(int fd, short type, std::int64_t start, std::int64_t len, bool wait) {
    struct flock fl;
    std::memset(&fl, 0, sizeof fl);
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(start);
    fl.l_len = static_cast<off_t>(len);
    fl.l_pid = 0;   // required for open-file-description locks
    int rc;
    do {
        rc = ::fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &fl);
    } while (rc != 0 && errno == EINTR);
    return rc;
}

}  // namespace

bool lock_range(int fd, std::int64_t start, std::int64_t len, bool exclusive, bool wait) {
    return set_lock(fd, exclusive ? F_WRLCK : F_RDLCK, start, len, wait) == 0;
}

void unlock_range(int fd, std::int64_t start, std::int64_t len) {
    set_lock(fd, F_UNLCK, start, len, false);
}

bool range_locked_elsewhere(int fd, std::int64_t start, std::int64_t len) {
    struct flock fl;
    std::memset(&fl, 0, sizeof fl);
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(start);
    fl.l_len = static_cast<off_t>(len);
    if (::fcntl(fd, F_OFD_GETLK, &fl) != 0) return true;
    return fl.l_type != F_UNLCK;
}

bool lock_whole_file(int fd, bool exclusive) {
    int rc;
    do {
        rc = ::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

FileHandle& FileHandle::operator=(FileHandle&& o) noexcept {
    if (this != &o) {
        reset(o.fd_);
        o.fd_ = -1;
    }
    return *this;
}

FileHandle::~FileHandle() { reset(); }

void FileHandle::reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
}

std::size_t read_at(int fd, void* buf, std::size_t n, std::int64_t off, const std::string& file) {
    std::size_t done = 0;
    auto* p = static_cast<char*>(buf);
    while (done < n) {
        const ssize_t r = ::pread(fd, p + done, n - done, static_cast<off_t>(off + done));
        if (r < 0) {
            if (errno == EINTR) continue;
            fail(file, std::string("read error: ") + std::strerror(errno));
        }
        if (r == 0) break;
        done += static_cast<std::size_t>(r);
    }
    return done;
}

void write_at(int fd, const void* buf, std::size_t n, std::int64_t off, const std::string& file) {
    std::size_t done = 0;
    const auto* p = static_cast<const char*>(buf);
    while (done < n) {
        const ssize_t r = ::pwrite(fd, p + done, n - done, static_cast<off_t>(off + done));
        if (r < 0) {
            if (errno == EINTR) continue;
            fail(file, std::string("write error: ") + std::strerror(errno));
        }
        done += static_cast<std::size_t>(r);
    }
}

std::int64_t file_size(int fd, const std::string& file) {
    struct stat st;
    if (::fstat(fd, &st) != 0) fail(file, std::string("stat failed: ") + std::strerror(errno));
    return st.st_size;
}

}  // namespace qv::rt::table
