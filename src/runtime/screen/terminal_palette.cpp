#include "runtime/screen/terminal_palette.hpp"

namespace qv::rt {
namespace {

// Pair numbers follow bg * levels + fg, except that W/N (7) and N/N (0) trade
// places: W/N is then the terminal's default pair 0.
int pair_number(int fg, int bg, int levels) {
    const int index = bg * levels + fg;
    if (index == 7) return 0;
    if (index == 0) return 7;
    return index;
}

}  // namespace

int curses_colour(int pc, int levels) {
    static constexpr int base[8] = {0, 4, 2, 6, 1, 5, 3, 7};
    const int c = base[pc & 7];
    return (levels >= 16 && (pc & 8)) ? c + 8 : c;
}

Palette::Palette(int colours, int pairs, bool blink_is_bright_background) : blink_bright_(blink_is_bright_background) {
    if (colours >= 16 && pairs >= 256) levels_ = 16;
    else if (colours >= 8 && pairs >= 64) levels_ = 8;
    else levels_ = 0;
}

TerminalLook Palette::look(Attr a) const {
    const int fg = a & 0x0F;
    const int bg = a >> 4;
    if (levels_ == 16) return {pair_number(fg, bg, 16), false, false, false};
    const bool bold = (fg & 8) != 0;
    if (levels_ == 8) return {pair_number(fg & 7, bg & 7, 8), bold, false, blink_bright_ && (bg & 8) != 0};
    return {0, bold, (bg & 7) != 0, false};
}

std::vector<PairColours> Palette::pairs() const {
    std::vector<PairColours> out;
    for (int bg = 0; bg < levels_; ++bg)
        for (int fg = 0; fg < levels_; ++fg) {
            const int pair = pair_number(fg, bg, levels_);
            if (pair != 0) out.push_back({pair, curses_colour(fg, levels_), curses_colour(bg, levels_)});
        }
    return out;
}

}  // namespace qv::rt
