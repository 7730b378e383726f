#include "shell/converter_launch.hpp"

#ifndef NCURSES_WIDECHAR
#define NCURSES_WIDECHAR 1
#endif
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/windows.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/screen/backend.hpp"
#include "runtime/table/workspace.hpp"
#include "runtime/core/functions.hpp"
#include "shell/main_program.hpp"
#include "shell/menu_features.hpp"
#include "tables/open_failure.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

extern char** environ;

namespace qv::shell {

using rt::operator""_cp;

namespace {

constexpr int kRegisterArea = 9;
constexpr int kFolderListArea = 50;

ConverterRunner& runner() {
    static ConverterRunner r;
    return r;
}

// While the child runs, Ctrl+C and Ctrl+\ typed into it reach this process
// too (same terminal, same process group): they are ignored here, as a
// shell does for the program it waits on, and left to the child.
class IgnoreTerminalSignals {
public:
    IgnoreTerminalSignals() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        sigaction(SIGINT, &ignore, &old_int_);
        sigaction(SIGQUIT, &ignore, &old_quit_);
    }
    ~IgnoreTerminalSignals() {
        sigaction(SIGINT, &old_int_, nullptr);
        sigaction(SIGQUIT, &old_quit_, nullptr);
    }
    IgnoreTerminalSignals(const IgnoreTerminalSignals&) = delete;
    IgnoreTerminalSignals& operator=(const IgnoreTerminalSignals&) = delete;

private:
    struct sigaction old_int_ {};
    struct sigaction old_quit_ {};
};

// Spawn attributes giving the child the default handling of those signals.
class ChildSignals {
public:
    ChildSignals() {
        posix_spawnattr_init(&attr_);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGINT);
        sigaddset(&defaults, SIGQUIT);
        posix_spawnattr_setsigdefault(&attr_, &defaults);
        posix_spawnattr_setflags(&attr_, POSIX_SPAWN_SETSIGDEF);
    }
    ~ChildSignals() { posix_spawnattr_destroy(&attr_); }
    ChildSignals(const ChildSignals&) = delete;
    ChildSignals& operator=(const ChildSignals&) = delete;
    const posix_spawnattr_t* get() const { return &attr_; }

private:
    posix_spawnattr_t attr_;
};

}  // namespace

std::string converter_program() {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    const auto folder = ec ? std::filesystem::current_path(ec) : self.parent_path();
    return (folder / "qvmigrate").string();
}

int run_and_wait(const std::string& program, const std::string& terminal) {
    if (::access(program.c_str(), X_OK) != 0) return -1;
    std::vector<std::string> env_strings;
    for (char** e = environ; e && *e; ++e)
        if (std::string_view(*e).substr(0, 9) != "TERMINAL=") env_strings.emplace_back(*e);
    env_strings.push_back("TERMINAL=" + terminal);
    std::vector<char*> envp;
    for (auto& s : env_strings) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::string arg0 = program;
    char* argv[] = {arg0.data(), nullptr};

    rt::ScreenSuspended hand_over;
    IgnoreTerminalSignals ignore_signals;
    const ChildSignals child_signals;
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, child_signals.get(), argv, envp.data()) != 0) return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void set_converter_runner(ConverterRunner r) { runner() = std::move(r); }

void start_converter() {
    auto& ws = tables::ws();
    ws.close(kRegisterArea);
    common::MENS(0, "Aguarde...");
    // The converter opens this terminal's folder list for itself; the list is
    // held exclusively here, so it is released for the converter's run.
    const bool had_list = ws.table(kFolderListArea) != nullptr;
    ws.close(kFolderListArea);
    // The terminal itself stays marked in use (terminal_mark), so no second
    // copy for it can start meanwhile.
    const std::string program = converter_program();
    const std::string terminal = tables::terminal();
    const int status = runner() ? runner()(program, terminal) : run_and_wait(program, terminal);
    if (status < 0)
        common::AVISOSN("Não foi possível iniciar o conversor "_cp + rt::utf8_to_cp850(program), 0);
    if (had_list && !tables::ABERTURA(kFolderListArea)) {
        // Without its folder list the program cannot go on safely.
        const std::string why = tables::open_failure_text();
        common::AVISOSN(std::vector<std::string>{"A lista de pastas do terminal "_cp + terminal +
                                                     " não pôde ser reaberta."_cp,
                                                 why, "O programa será encerrado."_cp},
                        0);
        ROTSAIDA(18);
        return;
    }
    common::ENCHETELA(" ", common::Global("COR_ENCH_C").text("W+/B"));
    rt::call_routine("MTELA1", {rt::Value(9)});
    reopen_register();
}

}  // namespace qv::shell
