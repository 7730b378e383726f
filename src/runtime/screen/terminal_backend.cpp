// The terminal backend: ncurses draws the cells (CP850 shown as Unicode),
// keys are read as raw bytes and decoded here, not by ncurses.
#ifndef NCURSES_WIDECHAR
#define NCURSES_WIDECHAR 1
#endif
#include <curses.h>
#include <langinfo.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "runtime/screen/backend.hpp"
#include "runtime/screen/cell_diff.hpp"
#include "runtime/screen/glyphs.hpp"
#include "runtime/screen/terminal_input.hpp"
#include "runtime/screen/terminal_palette.hpp"
#include "runtime/screen/terminal_restore.hpp"

namespace qv::rt {
namespace {

SCREEN* g_screen = nullptr;

void restore_terminal() {
    if (g_screen && !isendwin()) endwin();
}

// Wide characters need a UTF-8 character type; a terminal session started
// with the C locale still gets one.
void use_utf8_locale() {
    std::setlocale(LC_CTYPE, "");
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0) return;
    for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8", "pt_BR.UTF-8"})
        if (std::setlocale(LC_CTYPE, name)) return;
}

// Raw input: no signals from keys, no flow control, and CR kept apart from
// LF so that Enter (CR) and Ctrl+Enter (LF) are two keys.
void raw_input_mode(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return;
    t.c_iflag &= ~static_cast<tcflag_t>(ICRNL | INLCR | IGNCR | IXON | IXOFF | ISTRIP | BRKINT | PARMRK);
    t.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    tcsetattr(fd, TCSANOW, &t);
}

// The Linux console shows blink as a bright background.
bool is_linux_console() {
    const char* term = std::getenv("TERM");
    return term && std::strncmp(term, "linux", 5) == 0;
}

int curses_cursor(int shape) {
    switch (shape) {
    case 0: return 0;
    case 1: return 1;
    default: return 2;   // insert, full and half blocks: the very visible one
    }
}

class TerminalBackend : public Backend {
public:
    TerminalBackend() : input_(STDIN_FILENO), palette_(0, 0) {
        use_utf8_locale();
        g_screen = newterm(nullptr, stdout, stdin);
        if (!g_screen) throw std::runtime_error("the terminal cannot be used (is TERM set?)");
        set_term(g_screen);
        install_terminal_restore(restore_terminal);
        raw();
        noecho();
        nonl();
        keypad(stdscr, FALSE);
        meta(stdscr, TRUE);
        scrollok(stdscr, FALSE);
        leaveok(stdscr, FALSE);
        raw_input_mode(STDIN_FILENO);
        def_prog_mode();
        if (has_colors()) {
            start_color();
            palette_ = Palette(COLORS, COLOR_PAIRS, is_linux_console());
            for (const auto& p : palette_.pairs())
                init_pair(static_cast<short>(p.pair), static_cast<short>(p.fg), static_cast<short>(p.bg));
        }
        watch_window_size();
        input_.on_interrupt = [this] { check_resize(); };
    }

    ~TerminalBackend() override {
        restore_terminal();
        if (g_screen) delscreen(g_screen);
        g_screen = nullptr;
    }

    TerminalBackend(const TerminalBackend&) = delete;
    TerminalBackend& operator=(const TerminalBackend&) = delete;

    void present(const CellGrid& cells, int row, int col, int shape) override {
        check_resize();
        const auto spans = shown_.changes(cells);
        for (const auto& span : spans)
            for (int c = span.col; c < span.col + span.length; ++c)
                draw_cell(span.row, c, cells[static_cast<std::size_t>(span.row)][static_cast<std::size_t>(c)]);
        shown_.shown(cells);
        const int r = std::clamp(row, 0, SCREEN_ROWS - 1);
        const int cc = std::clamp(col, 0, SCREEN_COLS - 1);
        if (spans.empty() && r == cursor_row_ && cc == cursor_col_ && shape == cursor_shape_) return;
        if (shape != cursor_shape_) curs_set(curses_cursor(shape));
        cursor_row_ = r;
        cursor_col_ = cc;
        cursor_shape_ = shape;
        move(r, cc);
        refresh();
    }

    int read_key(int timeout_ms) override {
        check_resize();
        return input_.read_key(timeout_ms);
    }

    void beep() override {
        ::beep();
        refresh();
    }

    void discard_typeahead() override { input_.discard(); }

    void suspend() override {
        if (isendwin()) return;
        endwin();
    }

    void resume() override {
        if (!isendwin()) return;
        reset_prog_mode();
        raw_input_mode(STDIN_FILENO);
        input_.discard();
        redraw_all();
    }

private:
    void draw_cell(int row, int col, const Cell& cell) {
        const wchar_t text[2] = {static_cast<wchar_t>(screen_glyph(cell.ch)), L'\0'};
        const TerminalLook look = palette_.look(cell.attr);
        attr_t attrs = A_NORMAL;
        if (look.bold) attrs |= A_BOLD;
        if (look.reverse) attrs |= A_REVERSE;
        if (look.blink) attrs |= A_BLINK;
        cchar_t cc{};
        setcchar(&cc, text, attrs, static_cast<short>(look.pair), nullptr);
        mvadd_wch(row, col, &cc);   // the last cell of the screen returns ERR but is drawn
    }

    // After a resize everything is drawn again from the last grid.
    void check_resize() {
        if (!resized()) return;
        winsize ws{};
        if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_row > 0 && ws.ws_col > 0)
            resize_term(ws.ws_row, ws.ws_col);
        redraw_all();
    }

    // Draws the last grid again on a cleared terminal.
    void redraw_all() {
        clearok(curscr, TRUE);
        erase();
        const auto last = shown_.last();
        shown_.forget();
        const int shape = cursor_shape_ < 0 ? 1 : cursor_shape_;
        cursor_shape_ = -1;
        if (last) present(*last, cursor_row_, cursor_col_, shape);
        else refresh();
    }

    TerminalInput input_;
    Palette palette_;
    ShownGrid shown_;
    int cursor_row_ = -1, cursor_col_ = -1, cursor_shape_ = -1;
};

}  // namespace

void use_terminal() {
    if (dynamic_cast<TerminalBackend*>(&backend())) return;   // one ncurses screen at a time
    set_backend(std::make_unique<TerminalBackend>());
}

}  // namespace qv::rt
