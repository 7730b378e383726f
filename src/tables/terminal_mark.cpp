#include "tables/terminal_mark.hpp"

#include <fcntl.h>
#include <unistd.h>

#include "common/paths.hpp"
#include "tables/state.hpp"

namespace qv::tables {

TerminalMark::~TerminalMark() { release(); }

bool TerminalMark::take(std::string_view program_folder, std::string_view terminal) {
    release();
    const std::string file = with_separator(program_folder) + "EMUSO" + std::string(terminal) + ".LCK";
    const int fd = ::open(common::fs_path(file).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    // An open-file-description lock: it conflicts with any other opening of
    // the file, in this process too, and ends with the descriptor.
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 1;
    if (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void TerminalMark::release() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
}

TerminalMark& terminal_mark() {
    static TerminalMark mark;
    return mark;
}

}  // namespace qv::tables
