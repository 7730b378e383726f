#pragma once
// Puts the terminal back the way the shell left it when the program ends,
// normally or by a signal (a crash, kill, hang-up or Ctrl+C from outside):
// the handler restores, then lets the signal do what it would have done.
namespace qv::rt {

using RestoreFn = void (*)();
// Runs restore at exit and on SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT,
// SIGTERM, SIGINT, SIGHUP and SIGQUIT. restore must be safe to call twice.
void install_terminal_restore(RestoreFn restore);
// The window-size signal only sets a flag; resized() reads and clears it.
void watch_window_size();
bool resized();

}  // namespace qv::rt
