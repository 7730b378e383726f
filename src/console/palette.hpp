#pragma once
// The console's 16-entry palette, addressed by colour name: "N" "B" "G"
// "BG" "R" "BR" "GR" "W" are entries 1-8 and their bright forms ("N$",
// "W+", "B*" ...) entries 9-16. "$", "+", "*" and blanks are dropped before
// the name is looked up, and case does not count. On a terminal that can
// redefine its colours the entries are passed on to it; elsewhere they are
// only kept.
#include <string_view>

namespace qv::console {

// red + green * 256 + blue * 65536.
long RGB(int red = 0, int green = 0, int blue = 0);

// The entry (1-16) of a colour name; 0 for an unknown name.
int palette_index(std::string_view name);
// Returns the entry's old RGB value (-1 for an unknown name) and, when
// `value` is 0 or more, replaces it.
long MPALETTE(std::string_view name, long value = -1);
// The RGB value of entry 1-16 (-1 outside).
long palette_entry(int index);
// The palette the console starts with (tests, a fresh start).
void reset_palette();

}  // namespace qv::console
