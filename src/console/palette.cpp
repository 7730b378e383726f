#include "console/palette.hpp"

#include <array>
#include <string>

#include "console/terminal_colours.hpp"
#include "runtime/core/text.hpp"

namespace qv::console {
namespace {

constexpr std::array<std::string_view, 8> kNames{"N", "B", "G", "BG", "R", "BR", "GR", "W"};

// The console's own colours before anyone changes them.
constexpr std::array<long, 16> kStart{
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

std::array<long, 16>& entries() {
    static std::array<long, 16> palette = kStart;
    return palette;
}

}  // namespace

long RGB(int red, int green, int blue) {
    return static_cast<long>(red) + static_cast<long>(green) * 256L + static_cast<long>(blue) * 65536L;
}

int palette_index(std::string_view name) {
    bool bright = false;
    std::string base;
    for (const char c : name) {
        if (c == '$' || c == '+' || c == '*') bright = true;
        else if (c != ' ') base += rt::upper_char(c);
    }
    for (std::size_t i = 0; i < kNames.size(); ++i)
        if (base == kNames[i]) return static_cast<int>(i) + 1 + (bright ? 8 : 0);
    return 0;
}

long palette_entry(int index) {
    if (index < 1 || index > 16) return -1;
    return entries()[static_cast<std::size_t>(index - 1)];
}

long MPALETTE(std::string_view name, long value) {
    const int index = palette_index(name);
    if (index == 0) return -1;
    long& entry = entries()[static_cast<std::size_t>(index - 1)];
    const long old = entry;
    if (value >= 0) {
        entry = value;
        show_palette_entry(index - 1, value);
    }
    return old;
}

void reset_palette() { entries() = kStart; }

}  // namespace qv::console
