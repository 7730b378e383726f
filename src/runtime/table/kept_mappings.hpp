#pragma once
// Read mappings of table files kept after the file is closed, for the next
// opening of the same file in this process.
//
// A new mapping pays for the first touch of each of its pages (a fault,
// and on a virtual machine an exit to the host besides: a few microseconds
// a page, several milliseconds for a table of ten megabytes), and its
// unmapping at the close pays again. A program opens and closes the same
// tables all day; reading them through the mapping made the first time
// costs nothing of that.
//
// A kept mapping is the file itself: it is found by device and inode, and
// an inode cannot be given to another file while a mapping holds it, so a
// table rewritten aside and renamed over is another file and never matches.
// What another user writes reaches a shared mapping at once, and a file cut
// short is read only up to the length its reader finds.
#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>

namespace qv::rt::table {

struct KeptMapping {
    const char* data = nullptr;
    std::size_t length = 0;   // of the mapping, which may reach past the file
};

// Keeps the mapping of file (dev, ino), named `path`; the oldest kept is
// unmapped when there are too many, and one kept for another file of the
// same name (the file that name had before it was replaced) goes at once.
void keep_mapping(dev_t dev, ino_t ino, const std::string& path, KeptMapping m) noexcept;
// The mapping kept for file (dev, ino), no longer kept, when there is one of
// at least `need` bytes; a shorter one is unmapped.
std::optional<KeptMapping> take_kept_mapping(dev_t dev, ino_t ino, std::size_t need) noexcept;
// Whether any mapping is kept: a cheap test before looking a file up.
bool any_mapping_kept() noexcept;
// Unmaps every mapping kept. A kept mapping holds its file system busy: a
// program that leaves the folder it worked in (a removable disk to be taken
// out) lets go of them.
void let_go_of_kept_mappings() noexcept;

}  // namespace qv::rt::table
