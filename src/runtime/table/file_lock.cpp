#include "runtime/table/file_lock.hpp"

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "runtime/table/table_error.hpp"

namespace qv::rt::table {

namespace {

struct flock lock_of(short type, std::int64_t start, std::int64_t len) {
    struct flock fl;
    std::memset(&fl, 0, sizeof fl);
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(start);
    fl.l_len = static_cast<off_t>(len);
    fl.l_pid = 0;   // required for open-file-description locks
    return fl;
}

int set_lock(int fd, short type, std::int64_t start, std::int64_t len, bool wait) {
    struct flock fl = lock_of(type, start, len);
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
    struct flock fl = lock_of(F_WRLCK, start, len);
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

// The locks kept, and the thread that gives them back. It lives as long as
// the process (locks may be given back while statics are destroyed); a
// child made by fork() starts without it, and without the parent's locks.
// A child of a process that had started the thread keeps no lock at all:
// a process forked while it had threads may not start one (the state of
// the allocator's locks it inherited may be one no thread will release),
// and a lock kept with nobody to give it back would stop the others.
class LockKeeper {
public:
    static constexpr auto kIdle = std::chrono::milliseconds(1);
    static constexpr auto kMostHeld = std::chrono::milliseconds(20);
    static constexpr auto kTurn = std::chrono::microseconds(100);

    static LockKeeper& get() {
        static LockKeeper* keeper = [] {
            auto* k = new LockKeeper;
            ::pthread_atfork([] { get().mutex_.lock(); }, [] { get().mutex_.unlock(); },
                             [] { get().after_fork(); });
            return k;
        }();
        return *keeper;
    }

    std::mutex mutex_;

    // Under the mutex.
    // Whether locks may be kept in this process.
    bool keeps() const { return !forked_with_thread_; }

    void add(KeptLock* l) {
        if (std::find(kept_.begin(), kept_.end(), l) != kept_.end()) return;
        kept_.push_back(l);
        if (!started_) {
            started_ = true;
            std::thread([this] { run(); }).detach();
        } else if (kept_.size() == 1) {
            wake_.notify_one();
        }
    }
    void remove(KeptLock* l) { kept_.erase(std::remove(kept_.begin(), kept_.end(), l), kept_.end()); }
    // Gives back every lock kept now; false when none was.
    bool give_back_kept() {
        bool any = false;
        for (KeptLock* l : kept_) {
            if (l->state_ != KeptLock::State::Kept) continue;
            l->release();
            any = true;
        }
        kept_.erase(std::remove_if(kept_.begin(), kept_.end(),
                                   [](KeptLock* l) { return l->state_ == KeptLock::State::Free; }),
                    kept_.end());
        return any;
    }

private:
    void run() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            if (kept_.empty()) {
                wake_.wait(lock);
                continue;
            }
            wake_.wait_for(lock, kIdle);
            const auto now = std::chrono::steady_clock::now();
            for (std::size_t i = 0; i < kept_.size();) {
                KeptLock* l = kept_[i];
                if (l->state_ == KeptLock::State::Kept && now - l->last_use_ >= kIdle) {
                    l->release();
                    kept_.erase(kept_.begin() + static_cast<long>(i));
                } else {
                    ++i;
                }
            }
        }
    }
    // The child shares the parent's open files, and with them the locks:
    // they are the parent's to give back.
    void after_fork() {
        for (KeptLock* l : kept_) {
            l->state_ = KeptLock::State::Free;
            l->along_[0] = l->along_[1] = LockSpan{};
            ++l->given_back_;
        }
        kept_.clear();
        forked_with_thread_ = forked_with_thread_ || started_;
        started_ = false;
        new (&wake_) std::condition_variable;
        mutex_.unlock();
    }

    std::condition_variable wake_;
    std::vector<KeptLock*> kept_;
    bool started_ = false;
    bool forked_with_thread_ = false;
};

void KeptLock::attach(int fd, std::int64_t start, std::int64_t len) {
    if (fd == fd_ && start == start_ && len == len_) return;
    give_back();
    fd_ = fd;
    start_ = start;
    len_ = len;
}

// A lock given up after being held long is not taken again at once: a
// user waiting for it is woken when it is given back, and gets a moment to
// take it before this one asks again.
bool KeptLock::take() {
    if (fd_ < 0) return false;
    if (take_if_kept()) return true;
    if (given_up_) {
        given_up_ = false;
        std::this_thread::sleep_for(LockKeeper::kTurn);
    }
    if (!lock_range(fd_, start_, len_, true, true)) return false;
    std::lock_guard<std::mutex> guard(LockKeeper::get().mutex_);
    state_ = State::InUse;
    taken_at_ = std::chrono::steady_clock::now();
    return true;
}

bool KeptLock::take_if_kept() {
    if (state_.load(std::memory_order_relaxed) != State::Kept) return false;   // only this thread keeps it
    std::lock_guard<std::mutex> guard(LockKeeper::get().mutex_);
    if (state_ != State::Kept) return false;
    state_ = State::InUse;
    return true;
}

void KeptLock::keep() {
    LockKeeper& keeper = LockKeeper::get();
    std::lock_guard<std::mutex> guard(keeper.mutex_);
    if (state_ != State::InUse) return;
    const auto now = std::chrono::steady_clock::now();
    if (!keeper.keeps()) {
        release();
        return;
    }
    if (now - taken_at_ >= LockKeeper::kMostHeld) {
        release();
        keeper.remove(this);
        given_up_ = true;
        return;
    }
    state_ = State::Kept;
    last_use_ = now;
    keeper.add(this);
}

void KeptLock::give_back() {
    if (fd_ < 0) return;
    LockKeeper& keeper = LockKeeper::get();
    std::lock_guard<std::mutex> guard(keeper.mutex_);
    if (state_ != State::Free) release();
    keeper.remove(this);
}

// What went along first: a user waiting for the lock itself finds them
// free when it gets it.
void KeptLock::release() {
    for (LockSpan& s : along_) {
        if (s.len > 0) unlock_range(fd_, s.start, s.len);
        s = LockSpan{};
    }
    unlock_range(fd_, start_, len_);
    state_ = State::Free;
    ++given_back_;
}

void KeptLock::hold_along(LockSpan a, LockSpan b) {
    std::lock_guard<std::mutex> guard(LockKeeper::get().mutex_);
    along_[0] = a;
    along_[1] = b;
}

void KeptLock::give_back_along() {
    std::lock_guard<std::mutex> guard(LockKeeper::get().mutex_);
    for (LockSpan& s : along_) {
        if (s.len > 0) unlock_range(fd_, s.start, s.len);
        s = LockSpan{};
    }
}

bool KeptLock::give_back_kept() {
    LockKeeper& keeper = LockKeeper::get();
    std::lock_guard<std::mutex> guard(keeper.mutex_);
    return keeper.give_back_kept();
}

bool KeptLock::keeping() {
    LockKeeper& keeper = LockKeeper::get();
    std::lock_guard<std::mutex> guard(keeper.mutex_);
    return keeper.keeps();
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
