#include "runtime/screen/terminal_input.hpp"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>

namespace qv::rt {

bool TerminalInput::wait_readable(int ms) {
    pollfd p{fd_, POLLIN, 0};
    const int n = ::poll(&p, 1, ms);
    if (n < 0 && errno == EINTR && on_interrupt) on_interrupt();
    return n > 0;
}

void TerminalInput::take(const std::vector<int>& keys) { ready_.insert(ready_.end(), keys.begin(), keys.end()); }

void TerminalInput::read_available() {
    char buf[256];
    const ssize_t n = ::read(fd_, buf, sizeof buf);
    if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) {
        // The terminal went away: end as a hang-up does, and end anyway when
        // hang-ups are ignored, since no one is left to press a key.
        std::raise(SIGHUP);
        std::exit(EXIT_FAILURE);
    }
    if (n < 0) return;
    take(decoder_.feed(std::string_view(buf, static_cast<std::size_t>(n))));
    held_since_ = Clock::now();   // the escape wait runs from the last byte
}

int TerminalInput::read_key(int timeout_ms) {
    using std::chrono::milliseconds;
    const auto start = Clock::now();
    const auto remaining = [&]() -> int {
        if (timeout_ms < 0) return -1;
        const auto spent = std::chrono::duration_cast<milliseconds>(Clock::now() - start).count();
        return static_cast<int>(std::max<long long>(0, timeout_ms - spent));
    };
    while (true) {
        if (!ready_.empty()) {
            const int code = ready_.front();
            ready_.pop_front();
            return code;
        }
        int wait = remaining();
        if (decoder_.holding()) {
            const auto held = std::chrono::duration_cast<milliseconds>(Clock::now() - held_since_).count();
            if (held >= ESC_WAIT_MS) {
                take(decoder_.flush());
                continue;
            }
            const int left = ESC_WAIT_MS - static_cast<int>(held);
            wait = wait < 0 ? left : std::min(wait, left);
        }
        if (wait_readable(wait)) {
            read_available();
            continue;
        }
        // A held ESC is settled by the escape timer on a later round.
        if (timeout_ms >= 0 && remaining() == 0) return 0;
    }
}

void TerminalInput::discard() {
    while (wait_readable(0)) read_available();
    decoder_.flush();
    ready_.clear();
}

}  // namespace qv::rt
