#include "runtime/screen/terminal_restore.hpp"

#include <csignal>
#include <cstdlib>

namespace qv::rt {
namespace {

RestoreFn g_restore = nullptr;
volatile std::sig_atomic_t g_restoring = 0;
volatile std::sig_atomic_t g_resized = 0;

constexpr int FATAL_SIGNALS[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTERM, SIGINT, SIGHUP, SIGQUIT};

void restore_once() {
    if (g_restoring) return;
    g_restoring = 1;
    if (g_restore) g_restore();
}

// SA_RESETHAND has put the default action back; raising the signal again
// (delivered when the handler returns) ends the program as it would have.
void on_fatal_signal(int sig) {
    restore_once();
    std::raise(sig);
}

void on_window_size(int) { g_resized = 1; }

}  // namespace

void install_terminal_restore(RestoreFn restore) {
    const bool first = g_restore == nullptr;
    g_restore = restore;
    g_restoring = 0;
    if (!first) return;
    std::atexit([] {
        if (!g_restoring && g_restore) g_restore();
    });
    struct sigaction sa {};
    sa.sa_handler = on_fatal_signal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESETHAND;
    for (const int sig : FATAL_SIGNALS) sigaction(sig, &sa, nullptr);
}

void watch_window_size() {
    struct sigaction sa {};
    sa.sa_handler = on_window_size;
    sigemptyset(&sa.sa_mask);
    // SA_RESTART spares the rest of the program EINTR; poll() is never
    // restarted, so a waiting key read still wakes up to redraw.
    sa.sa_flags = SA_RESTART;
    sigaction(SIGWINCH, &sa, nullptr);
}

bool resized() {
    if (!g_resized) return false;
    g_resized = 0;
    return true;
}

}  // namespace qv::rt
