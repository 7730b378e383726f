// Start-up of the main program to its main menu, on a settled folder of
// 10,000 taxpayers (each with 5 income rows, 2 dependants, 20 assets and 10
// payments; every table indexed, nothing written in the last hour): the
// client tables stand in the program folder, where a first start puts
// them. Each start is a new process (nothing is known of the tables from
// an earlier start), on the headless screen; it leaves at once through
// "Sair".
//
// Printed: the time from the program's main() to the menu waiting for its
// first key, the processor time spent by then, and the whole process from
// its start to its end (leaving included), as medians of the runs.
//
// Measured on the development machine (a virtual machine of 8 cores shared
// with other builds, load average 2 to 4): 12 ms to the main menu, 23 ms
// the whole process; the program in a terminal (a pseudo-terminal of 80 by
// 25) draws its main menu 21 to 30 ms after it is started.
//
//   bench_startup [folder [taxpayers [runs]]]   (default: a new temporary
//   folder, removed after; 10,000 taxpayers; 7 runs)
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench_folder.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/backend.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/table/table.hpp"
#include "shell/main_program.hpp"
#include "shell/routine_registry.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

extern char** environ;

namespace fs = std::filesystem;
using qv::rt::Value;

namespace {

using Clock = std::chrono::steady_clock;

double process_cpu_ms() {
    timespec ts {};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1000 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// The headless screen, noting when the program first waits for a key: the
// main menu is then on the screen.
class MenuClock : public qv::rt::HeadlessBackend {
public:
    explicit MenuClock(Clock::time_point start) : start_(start) {}
    int read_key(int timeout_ms) override {
        if (timeout_ms != 0 && menu_ms_ < 0) {
            menu_ms_ = std::chrono::duration<double, std::milli>(Clock::now() - start_).count();
            cpu_ms_ = process_cpu_ms();
            showed_menu_ = dump().find("Declara") != std::string::npos;
        }
        return HeadlessBackend::read_key(timeout_ms);
    }
    double menu_ms_ = -1, cpu_ms_ = -1;
    bool showed_menu_ = false;

private:
    Clock::time_point start_;
};

// One start of the program in this process: to the menu, then "Sair" (Left
// goes round to it, Enter chooses it, Enter confirms). Prints the menu's
// time and processor time.
int start_once(Clock::time_point start) {
    auto screen = std::make_unique<MenuClock>(start);
    MenuClock& clock = *screen;
    qv::rt::set_backend(std::move(screen));
    for (int key : {qv::rt::key::LEFT, qv::rt::key::ENTER, qv::rt::key::ENTER}) clock.feed(key);
    const int code = qv::shell::MAIN(std::nullopt);
    if (code != 0 || !clock.showed_menu_) {
        std::fprintf(stderr, "the start did not reach the main menu (exit %d)\n%s\n", code, clock.dump().c_str());
        return 1;
    }
    std::printf("%.3f %.3f\n", clock.menu_ms_, clock.cpu_ms_);
    return 0;
}

struct Run {
    double menu_ms = 0, menu_cpu_ms = 0, whole_ms = 0, whole_cpu_ms = 0;
    bool ok = false;
};

// This program again, as a new process, in start mode.
Run spawn_start(const std::string& self) {
    int out[2];
    Run r;
    if (::pipe(out) != 0) return r;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::string mode = "--start";
    char* argv[] = {const_cast<char*>(self.c_str()), mode.data(), nullptr};
    pid_t pid = 0;
    const auto t0 = Clock::now();
    const int rc = ::posix_spawn(&pid, self.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (rc != 0) {
        ::close(out[0]);
        return r;
    }
    std::string text;
    char buf[256];
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;) text.append(buf, static_cast<std::size_t>(n));
    ::close(out[0]);
    int status = 0;
    rusage ru {};
    ::wait4(pid, &status, 0, &ru);
    r.whole_ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    auto ms = [](timeval t) { return static_cast<double>(t.tv_sec) * 1000 + static_cast<double>(t.tv_usec) / 1000; };
    r.whole_cpu_ms = ms(ru.ru_utime) + ms(ru.ru_stime);
    r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
           std::sscanf(text.c_str(), "%lf %lf", &r.menu_ms, &r.menu_cpu_ms) == 2;
    return r;
}

// The taxpayers in the program folder, which a first start made.
void fill_folder(const std::string& root, const std::string& prog, int taxpayers) {
    qv::rt::use_headless();
    qv::shell::register_system_routines();
    qv::bench::set_up_variables(root, 11);
    qv::rt::variables().set("LOCARQ", Value(prog));
    qv::bench::write_plain_declaration(qv::bench::cpf_of(0));
    qv::tables::ws().close_all();
    for (int table = 1; table <= 20; ++table) {
        qv::bench::replicate(prog, table, taxpayers);
        char name[16];
        std::snprintf(name, sizeof name, "IMP%02d12", table);
        for (const char* suffix : {".cdx", "B.cdx", "C.cdx"}) fs::remove(prog + name + suffix);
    }
    qv::bench::settle_client_folder(prog);
    qv::tables::ws().close_all();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const auto start = Clock::now();
    if (argc > 1 && std::strcmp(argv[1], "--start") == 0) return start_once(start);

    const bool own_dir = argc < 2;
    std::string base;
    if (own_dir) {
        std::string tmpl = (fs::temp_directory_path() / "bench_startup.XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) return 1;
        base = tmpl;
    } else {
        base = argv[1];
    }
    const int taxpayers = argc > 2 ? std::atoi(argv[2]) : 10000;
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 7;
    const std::string root = base + "/s" + std::to_string(taxpayers);
    const std::string prog = root + "/prog/";
    fs::remove_all(root);
    fs::create_directories(prog);
    fs::create_directories(root + "/home");
    ::setenv("DQV2012", prog.c_str(), 1);
    ::setenv("HOME", (root + "/home").c_str(), 1);
    ::setenv("TERMINAL", "01", 1);
    const std::string self = fs::canonical("/proc/self/exe").string();

    if (!spawn_start(self).ok) {   // the first start makes the program's tables
        std::fprintf(stderr, "the first start failed\n");
        return 1;
    }
    fill_folder(root, prog, taxpayers);
    if (!spawn_start(self).ok) {   // one start to put the folder as a start leaves it
        std::fprintf(stderr, "the start on the full folder failed\n");
        return 1;
    }
    qv::bench::settle_client_folder(prog);
    qv::tables::ws().close_all();

    std::vector<double> menu, menu_cpu, whole, whole_cpu;
    for (int i = 0; i < runs; ++i) {
        const Run r = spawn_start(self);
        if (!r.ok) {
            std::fprintf(stderr, "start %d failed\n", i + 1);
            return 1;
        }
        menu.push_back(r.menu_ms);
        menu_cpu.push_back(r.menu_cpu_ms);
        whole.push_back(r.whole_ms);
        whole_cpu.push_back(r.whole_cpu_ms);
    }
    std::printf("taxpayers         %d (settled folder, %d starts, medians)\n", taxpayers, runs);
    std::printf("to the main menu  %8.1f ms  (processor %8.1f ms; aim < 50 ms)\n", median(menu), median(menu_cpu));
    std::printf("whole process     %8.1f ms  (processor %8.1f ms; start to end, leaving included)\n", median(whole),
                median(whole_cpu));
    if (own_dir) fs::remove_all(base);
    return 0;
}
