#pragma once
// How a program using a table, index or memo file tells the others that it
// holds it shared or exclusively, and how a file about to be replaced is
// found in use.
//
// The signal is a byte-range lock on the last byte below 2 GiB (a read lock
// for shared use, a write lock for exclusive use) that no record, file,
// append, index or memo lock touches, plus, on a local disk, the whole-file
// BSD lock the other xBase tools on this system take. On a network mount the
// BSD lock is left out: NFS turns it into a lock of the whole byte range
// (which would block every record lock of the others) and SMB may not pass it
// to the server at all, so there the byte-range lock alone signals.
#include <string>
#include "runtime/table/file_lock.hpp"

namespace qv::rt::table {

inline constexpr std::int64_t kShareSignalByte = 0x7FFFFFFF;

// True when the file lies on a network file system (NFS, SMB/CIFS, ...),
// where shared mappings and caches of other machines' writes are not kept
// coherent and BSD locks are unreliable.
bool on_network_mount(int fd);

// Takes the share signal on `fd`; never waits. False when another user holds
// the file in a conflicting mode.
bool take_share_signal(int fd, bool exclusive);

// The files open by this process are tracked by identity (device and inode),
// so that a file reached by another name is still recognised.
class OpenFileClaim {
public:
    explicit OpenFileClaim(const FileHandle& fd);
    ~OpenFileClaim();
    OpenFileClaim(const OpenFileClaim&) = delete;
    OpenFileClaim& operator=(const OpenFileClaim&) = delete;

private:
    const FileHandle& fd_;
};

// Whether two names reach one file (same device and inode).
bool same_file(const std::string& a, const std::string& b);

// Opens (creating when missing) a file that is about to be overwritten from
// scratch and takes the exclusive share signal on it; throws TableBusy when
// it is open in this process (by any name) or in use by another program.
// The returned handle keeps the signal until it is closed.
FileHandle open_for_replace(const std::string& path);

}  // namespace qv::rt::table
