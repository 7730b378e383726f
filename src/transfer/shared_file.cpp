#include "transfer/shared_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

#include "common/globals.hpp"
#include "common/messages.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"

namespace qv::transfer {
namespace {

using rt::operator""_cp;

constexpr int kTries = 20;   // ten seconds of half-second pauses

std::function<void()>& pause_hook() {
    static std::function<void()> hook;
    return hook;
}

void pause() {
    if (pause_hook()) {
        pause_hook()();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
}

bool busy(int error) { return error == EACCES || error == EAGAIN || error == EBUSY; }

// Writes all of `text`; false on a short write.
bool write_all(int fd, std::string_view text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A lock of the open file description: two holders in one process exclude
// each other as two terminals do.
bool lock_for_writing(int fd) {
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    return ::fcntl(fd, F_OFD_SETLK, &fl) == 0;
}

bool same_file(int fd, const std::string& path) {
    struct stat held {};
    struct stat named {};
    if (::fstat(fd, &held) != 0 || ::stat(path.c_str(), &named) != 0) return false;
    return held.st_ino == named.st_ino && held.st_dev == named.st_dev;
}

// The whole file from its first byte into `text` (its storage reused),
// sized by the file's length and one byte more, so that a file that stays
// as it is is read in one piece and ends on a read that returns nothing; a
// file that grows meanwhile is read to its new end.
bool read_from_start(int fd, std::string& text, int* error = nullptr) {
    struct stat st {};
    text.clear();
    if (::fstat(fd, &st) == 0 && st.st_size > 0) text.resize(static_cast<std::size_t>(st.st_size) + 1);
    std::size_t done = 0;
    for (;;) {
        if (done == text.size()) text.resize(done + 65536);
        const ssize_t n = ::pread(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            if (error) *error = errno;
            return false;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    text.resize(done);
    if (error) *error = 0;
    return true;
}

}  // namespace

int replace_file(const std::string& target, std::string_view text, Sync sync) {
    const std::string temp = target + ".tmp" + rt::ALLTRIM(common::Global("NUSU").text("00"));
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return errno;
    int error = 0;
    if (!write_all(fd, text)) error = errno ? errno : EIO;
    if (error == 0 && sync == Sync::ToDisk && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && std::rename(temp.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) ::unlink(temp.c_str());
    return error;
}

bool read_whole_file(const std::string& path, std::string& text, int* error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error) *error = errno;
        return false;
    }
    const bool read = read_from_start(fd, text, error);
    ::close(fd);
    return read;
}

std::optional<std::string> read_whole_file(const std::string& path, int* error) {
    std::string text;
    if (!read_whole_file(path, text, error)) return std::nullopt;
    return text;
}

HeldFile::HeldFile(HeldFile&& other) noexcept : path_(std::move(other.path_)), fd_(other.fd_) { other.fd_ = -1; }

HeldFile& HeldFile::operator=(HeldFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        path_ = std::move(other.path_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

HeldFile::~HeldFile() {
    if (fd_ >= 0) ::close(fd_);
}

std::optional<HeldFile> HeldFile::try_hold(const std::string& path, bool create, int& error) {
    // A holder that renamed a new file over the one we locked leaves our
    // lock on the old file: open the name again and lock the new one.
    for (int round = 0; round < 3; ++round) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0644);
        if (fd < 0) {
            error = errno;
            return std::nullopt;
        }
        if (!lock_for_writing(fd)) {
            error = errno;
            ::close(fd);
            return std::nullopt;
        }
        if (same_file(fd, path)) {
            error = 0;
            return HeldFile(path, fd);
        }
        ::close(fd);
    }
    error = EAGAIN;
    return std::nullopt;
}

std::optional<std::string> HeldFile::content() const {
    std::string text;
    if (!read_content(text)) return std::nullopt;
    return text;
}

bool HeldFile::read_content(std::string& text) const { return read_from_start(fd_, text); }

void set_busy_pause(std::function<void()> p) { pause_hook() = std::move(p); }

std::optional<HeldFile> wait_and_hold(const std::string& path, bool create, int& error) {
    for (int tries = 0;; ++tries) {
        auto held = HeldFile::try_hold(path, create, error);
        if (held || !busy(error) || tries >= kTries) return held;
        if (tries == 0) common::MENS(0, "Aguardando registro do programa receita ficar disponível!"_cp);
        if (rt::INKEY(0) == rt::key::ESC) return std::nullopt;
        pause();
    }
}

}  // namespace qv::transfer
