#include "e2e/tmux_session.hpp"

#include <array>
#include <filesystem>
#include <fstream>
#include <cctype>
#include <cstdlib>
#include <atomic>
#include <cstdio>
#include <memory>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace qv::e2e {

namespace {

std::string quote(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
        if (c == '\'') out += "'\\''";
        else out += c;
    }
    return out + "'";
}

int run(const std::string& command) { return std::system(command.c_str()); }

}  // namespace

std::string run_capture(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return out;
    std::array<char, 4096> buf{};
    std::size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), pipe.get())) > 0) out.append(buf.data(), n);
    return out;
}

bool tmux_available() { return run("command -v tmux >/dev/null 2>&1") == 0; }

TmuxSession::TmuxSession(const std::string& command, const std::string& workdir,
                         const std::vector<std::string>& env) {
    static std::atomic<int> counter{0};
    name_ = "qv_e2e_" + std::to_string(getpid()) + "_" + std::to_string(counter++);
    status_file_ = (std::filesystem::temp_directory_path() / (name_ + ".status")).string();
    std::filesystem::remove(status_file_);
    // The shipped reference lists come from the source tree wherever the
    // build folder lies; a test's own QV_DATA, given later, wins.
    std::string envs = quote(std::string("QV_DATA=") + QV_SOURCE_DIR + "/data") + " ";
    for (const auto& e : env) envs += quote(e) + " ";
    // The status bar would take the screen's last row: it is off before the
    // session starts. remain-on-exit keeps the pane so that the end of the
    // program can be seen. The program runs under a shell that writes its
    // exit status to a file.
    std::string cmd = "tmux -L " + name_ + " -f /dev/null start-server \\; set-option -g status off \\;" +
                      " set-option -g remain-on-exit on \\; new-session -d -s " + name_ +
                      " -x 80 -y 25 -c " + quote(workdir) + " " +
                      quote("env TERM=xterm-256color " + envs + "sh -c " +
                            quote(command + "; echo $? > " + quote(status_file_))) +
                      " && tmux -L " + name_ + " set-option -t " + name_ + " remain-on-exit on >/dev/null";
    run(cmd);
}

TmuxSession::~TmuxSession() {
    run("tmux -L " + name_ + " kill-server >/dev/null 2>&1");
    std::error_code ec;
    std::filesystem::remove(status_file_, ec);
}

void TmuxSession::keys(const std::string& tmux_keys) {
    run("tmux -L " + name_ + " send-keys -t " + name_ + " " + tmux_keys);
}

void TmuxSession::text(const std::string& literal) {
    run("tmux -L " + name_ + " send-keys -l -t " + name_ + " " + quote(literal));
}

std::vector<std::string> TmuxSession::screen() const {
    std::string out = run_capture("tmux -L " + name_ + " capture-pane -p -t " + name_ + " 2>/dev/null");
    std::vector<std::string> rows;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) rows.push_back(line);
    return rows;
}

std::string TmuxSession::screen_text() const {
    std::string all;
    for (const auto& r : screen()) all += r + "\n";
    return all;
}

bool TmuxSession::wait_for(std::string_view needle, std::chrono::milliseconds limit) const {
    auto end = std::chrono::steady_clock::now() + limit;
    do {
        if (screen_text().find(needle) != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

bool TmuxSession::wait_gone(std::string_view needle, std::chrono::milliseconds limit) const {
    auto end = std::chrono::steady_clock::now() + limit;
    do {
        if (screen_text().find(needle) == std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

bool TmuxSession::running() const {
    std::string dead = run_capture("tmux -L " + name_ + " display-message -p -t " + name_ +
                                   " '#{pane_dead}' 2>/dev/null");
    return dead.rfind("0", 0) == 0;
}

int TmuxSession::exit_status() const {
    // The status the wrapping shell wrote (tmux itself may miss the end of
    // its child and never learn it); it is written just before the pane dies.
    for (int tries = 0; tries < 40; ++tries) {
        std::ifstream in(status_file_);
        int status = -1;
        if (in >> status) return status;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
}

bool TmuxSession::wait_exit(std::chrono::milliseconds limit) const {
    auto end = std::chrono::steady_clock::now() + limit;
    do {
        if (ended()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

// The pane says it is dead, or the session is gone altogether; a tmux that
// does not answer at once is asked again.
bool TmuxSession::ended() const {
    const std::string dead = run_capture("tmux -L " + name_ + " display-message -p -t " + name_ +
                                         " '#{pane_dead}' 2>/dev/null");
    if (dead.rfind("1", 0) == 0) return true;
    if (dead.rfind("0", 0) == 0) return false;
    return run("tmux -L " + name_ + " has-session -t " + name_ + " 2>/dev/null") != 0;
}

}  // namespace qv::e2e
