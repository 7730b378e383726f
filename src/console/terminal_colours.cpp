#include "console/terminal_colours.hpp"

#ifndef NCURSES_WIDECHAR
#define NCURSES_WIDECHAR 1
#endif
#include <curses.h>

#include "runtime/screen/terminal_palette.hpp"

namespace qv::console {
namespace {

// 0-255 to the 0-1000 scale of curses.
short scale(long channel) { return static_cast<short>((channel & 0xFF) * 1000 / 255); }

}  // namespace

bool show_palette_entry(int pc, long rgb) {
    if (pc < 0 || pc > 15) return false;
    if (stdscr == nullptr || isendwin() || !has_colors() || !can_change_color()) return false;
    const int levels = COLORS >= 16 ? 16 : 8;
    if (pc >= levels) return false;
    const int colour = rt::curses_colour(pc, levels);
    if (init_color(static_cast<short>(colour), scale(rgb), scale(rgb >> 8), scale(rgb >> 16)) == ERR) return false;
    return true;
}

}  // namespace qv::console
