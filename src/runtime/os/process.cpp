#include "runtime/os/process.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace qv::rt::os {

namespace {

// Both ends of a pipe, closed when the object goes.
class Pipe {
public:
    Pipe() {
        if (::pipe2(fds_, O_CLOEXEC) != 0) fds_[0] = fds_[1] = -1;
    }
    ~Pipe() {
        close_read();
        close_write();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    bool ok() const { return fds_[0] >= 0; }
    int read_end() const { return fds_[0]; }
    int write_end() const { return fds_[1]; }
    void close_write() {
        if (fds_[1] >= 0) ::close(fds_[1]);
        fds_[1] = -1;
    }
    void close_read() {
        if (fds_[0] >= 0) ::close(fds_[0]);
        fds_[0] = -1;
    }

private:
    int fds_[2] = {-1, -1};
};

}  // namespace

std::optional<ProcessResult> run_capture(const std::vector<std::string>& argv, bool merge_errors) {
    if (argv.empty()) return std::nullopt;
    Pipe out;
    if (!out.ok()) return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out.write_end(), STDOUT_FILENO);
    if (merge_errors) posix_spawn_file_actions_adddup2(&actions, out.write_end(), STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    out.close_write();
    if (rc != 0) return std::nullopt;
    ProcessResult result;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(out.read_end(), buffer, sizeof buffer);
        if (n > 0) result.output.append(buffer, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR) break;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
    else if (WIFSIGNALED(status)) result.status = 128 + WTERMSIG(status);
    // A program the shell could not find answers 127 from the child.
    if (result.status == 127 && result.output.empty()) return std::nullopt;
    return result;
}

std::optional<int> run_attached(const std::vector<std::string>& argv) {
    if (argv.empty()) return std::nullopt;
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return std::nullopt;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return std::nullopt;
    if (WIFEXITED(status)) return WEXITSTATUS(status) == 127 ? std::nullopt : std::optional<int>(WEXITSTATUS(status));
    return 128 + WTERMSIG(status);
}

}  // namespace qv::rt::os
