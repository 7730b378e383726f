#include "runtime/table/share_signal.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <vector>

#include "runtime/table/table_error.hpp"

namespace qv::rt::table {

namespace {

// File-system magic numbers of network mounts (statfs f_type).
constexpr unsigned long kNetworkFsTypes[] = {
    0x6969,        // NFS
    0x517B,        // SMB
    0xFF534D42,    // CIFS
    0xFE534D42,    // SMB2
    0x564C,        // NCP
    0x5346414F,    // AFS
    0x6B414653,    // kAFS
    0x01021997,    // 9P
    0x00C36400,    // Ceph
    0x0BD00BD0,    // Lustre
};

struct Registry {
    std::mutex mutex;
    std::vector<const FileHandle*> open;
};

Registry& registry() {
    static Registry r;
    return r;
}

bool same_file(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool open_in_this_process(const struct stat& target) {
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.mutex);
    for (const FileHandle* h : r.open) {
        struct stat st;
        if (*h && ::fstat(h->get(), &st) == 0 && same_file(st, target)) return true;
    }
    return false;
}

}  // namespace

bool on_network_mount(int fd) {
    struct statfs fs;
    if (::fstatfs(fd, &fs) != 0) return false;
    const auto type = static_cast<unsigned long>(static_cast<std::uint32_t>(fs.f_type));
    return std::find(std::begin(kNetworkFsTypes), std::end(kNetworkFsTypes), type) !=
           std::end(kNetworkFsTypes);
}

bool take_share_signal(int fd, bool exclusive) {
    // A write lock needs a descriptor open for writing; a file opened
    // read-only for exclusive use still excludes every shared user.
    const int mode = ::fcntl(fd, F_GETFL);
    const bool writable = mode >= 0 && (mode & O_ACCMODE) != O_RDONLY;
    if (!lock_range(fd, kShareSignalByte, 1, exclusive && writable, false)) return false;
    if (on_network_mount(fd)) return true;
    if (lock_whole_file(fd, exclusive)) return true;
    unlock_range(fd, kShareSignalByte, 1);
    return false;
}

OpenFileClaim::OpenFileClaim(const FileHandle& fd) : fd_(fd) {
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.mutex);
    r.open.push_back(&fd_);
}

OpenFileClaim::~OpenFileClaim() {
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.mutex);
    r.open.erase(std::remove(r.open.begin(), r.open.end(), &fd_), r.open.end());
}

bool same_file(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && same_file(sa, sb);
}

FileHandle open_for_replace(const std::string& path) {
    FileHandle fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
    if (!fd) fail(path, std::string("cannot create: ") + std::strerror(errno));
    struct stat st;
    if (::fstat(fd.get(), &st) != 0) fail(path, std::string("stat failed: ") + std::strerror(errno));
    if (open_in_this_process(st) || !take_share_signal(fd.get(), true))
        throw TableBusy(path + ": in use, cannot be replaced");
    return fd;
}

}  // namespace qv::rt::table
