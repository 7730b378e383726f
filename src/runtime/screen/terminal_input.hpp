#pragma once
// Keys from the terminal: raw bytes read from a file descriptor and decoded.
// A held ESC becomes the Esc key when nothing follows within ESC_WAIT_MS.
#include <chrono>
#include <deque>
#include <functional>

#include "runtime/screen/key_decoder.hpp"

namespace qv::rt {

class TerminalInput {
public:
    static constexpr int ESC_WAIT_MS = 50;
    explicit TerminalInput(int fd) : fd_(fd) {}
    // A key, or 0 when none came within timeout_ms (negative: wait for ever).
    int read_key(int timeout_ms);
    // Drops what was typed and not yet read.
    void discard();
    // Called when a wait was interrupted by a signal (the window resized).
    std::function<void()> on_interrupt;

private:
    using Clock = std::chrono::steady_clock;
    bool wait_readable(int ms);      // false on timeout or interruption
    void read_available();
    void take(const std::vector<int>& keys);

    int fd_;
    KeyDecoder decoder_;
    std::deque<int> ready_;
    Clock::time_point held_since_{};   // when the last bytes came
};

}  // namespace qv::rt
