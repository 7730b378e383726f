#pragma once
// What draws the screen and delivers keys. The terminal backend is for
// people; the headless backend is for tests.
#include <array>
#include <memory>
#include <string>
#include <vector>
#include "runtime/screen/screen.hpp"

namespace qv::rt {

using CellGrid = std::array<std::array<Cell, SCREEN_COLS>, SCREEN_ROWS>;

class Backend {
public:
    virtual ~Backend() = default;
    // Show the grid (the backend sends only what changed).
    virtual void present(const CellGrid& cells, int cursor_row, int cursor_col, int cursor_shape) = 0;
    // A key code, or 0 when none came within timeout_ms (negative: wait).
    virtual int read_key(int timeout_ms) = 0;
    virtual void beep() {}
    // CLEAR TYPEAHEAD: drop keys already typed but not yet read.
    virtual void discard_typeahead() {}
    // Hands the terminal to another program for a while and takes it back,
    // drawing everything again. Nothing to do for a screen that is not a
    // terminal.
    virtual void suspend() {}
    virtual void resume() {}
};

// The backend in force (a headless one until another is installed).
Backend& backend();
void set_backend(std::unique_ptr<Backend> b);

class HeadlessBackend : public Backend {
public:
    void present(const CellGrid& cells, int row, int col, int shape) override;
    // Keys queued by the test; when the queue is empty, read_key returns
    // ESC after a waiting read so that a test never hangs (and counts it).
    // A routine that keeps waiting after STARVED_LIMIT such reads is stuck in
    // a loop: read_key then throws std::runtime_error carrying the dump.
    int read_key(int timeout_ms) override;
    void feed(int code);
    void feed_text(std::string_view cp850);
    std::size_t pending() const;
    int starved_reads() const;
    static constexpr int STARVED_LIMIT = 1000;

    const CellGrid& cells() const;
    std::string text(int row) const;          // UTF-8 of a row, trailing blanks kept
    std::string dump() const;                 // the whole screen, for failure messages
private:
    CellGrid grid_{};
    std::vector<int> queue_;
    std::size_t next_ = 0;
    int starved_ = 0;
    int cursor_row_ = 0, cursor_col_ = 0, cursor_shape_ = 1;
};

// Installs a fresh HeadlessBackend, clears the screen, and returns it. The
// colours, cursor, keyboard buffer, LASTKEY and SETKEY handlers start afresh.
HeadlessBackend& use_headless();
// Installs the ncurses terminal backend (for the programs).
void use_terminal();

// While one lives, the terminal belongs to a program started from here.
class ScreenSuspended {
public:
    ScreenSuspended() { backend().suspend(); }
    ~ScreenSuspended() { backend().resume(); }
    ScreenSuspended(const ScreenSuspended&) = delete;
    ScreenSuspended& operator=(const ScreenSuspended&) = delete;
};

}  // namespace qv::rt
