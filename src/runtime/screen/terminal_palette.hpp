#pragma once
// How an attribute byte is shown with what the terminal offers: 16 colours
// and 256 pairs (every PC combination), 8 colours (bright foreground as
// bold; bright background as blink where blink shows as a bright background,
// as on the Linux console, else lost) or no colour at all (inverse, bold).
#include <vector>

#include "runtime/screen/screen.hpp"

namespace qv::rt {

struct TerminalLook {
    int pair = 0;
    bool bold = false;
    bool reverse = false;
    bool blink = false;
    bool operator==(const TerminalLook&) const = default;
};

struct PairColours {
    int pair, fg, bg;   // curses colour numbers
    bool operator==(const PairColours&) const = default;
};

class Palette {
public:
    Palette(int colours, int pairs, bool blink_is_bright_background = false);
    TerminalLook look(Attr a) const;
    // The pairs to init_pair() once at start-up (pair 0 is the terminal's
    // own white on black and is never redefined).
    std::vector<PairColours> pairs() const;
    int levels() const { return levels_; }   // 16, 8 or 0

private:
    int levels_;
    bool blink_bright_;
};

// The curses colour number of a PC colour 0-15 (blue is 1 on the PC, 4 in
// curses); bright colours exist only with 16 levels.
int curses_colour(int pc, int levels);

}  // namespace qv::rt
