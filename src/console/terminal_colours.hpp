#pragma once
// Passes a palette entry on to the terminal when the program draws on one
// that can redefine its colours (the terminal puts its own colours back
// when the program ends). Without such a terminal nothing happens.
namespace qv::console {

// pc: the PC colour number 0-15; rgb: red + green * 256 + blue * 65536.
// True when the terminal took the colour.
bool show_palette_entry(int pc, long rgb);

}  // namespace qv::console
