#pragma once
// Drives a real program in a detached tmux session of 80 x 25, as a person
// at a terminal would: send keys, read what the screen shows.
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace qv::e2e {

bool tmux_available();

class TmuxSession {
public:
    // Starts `command` (run by /bin/sh) in `workdir` with extra environment
    // assignments ("NAME=value").
    TmuxSession(const std::string& command, const std::string& workdir,
                const std::vector<std::string>& env = {});
    ~TmuxSession();
    TmuxSession(const TmuxSession&) = delete;
    TmuxSession& operator=(const TmuxSession&) = delete;

    // tmux key names ("Enter", "Escape", "Down", "M-s", "F10") or literal text.
    void keys(const std::string& tmux_keys);
    void text(const std::string& literal);

    std::vector<std::string> screen() const;   // UTF-8 rows
    std::string screen_text() const;           // rows joined with '\n'
    // Waits until the screen contains `needle` (UTF-8); false on time-out.
    bool wait_for(std::string_view needle, std::chrono::milliseconds limit = std::chrono::seconds(10)) const;
    // Polls until the text is no longer on the screen.
    bool wait_gone(std::string_view needle, std::chrono::milliseconds limit = std::chrono::seconds(10)) const;
    // Waits until the program has ended; false on time-out.
    bool wait_exit(std::chrono::milliseconds limit = std::chrono::seconds(10)) const;
    bool running() const;
    // The program's exit status once it has ended (-1 while it runs or
    // when it was ended by a signal).
    int exit_status() const;

private:
    bool ended() const;
    std::string name_;
    std::string status_file_;
};

// Runs a shell command, returns its standard output.
std::string run_capture(const std::string& command);

}  // namespace qv::e2e
