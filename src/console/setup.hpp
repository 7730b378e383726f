#pragma once
// Set-up of the console the programs draw on. On a terminal the font and
// the full-screen switch are the terminal's own business: asking for them
// succeeds and changes nothing; the palette goes to the terminal where it
// can redefine its colours.
#include <optional>

namespace qv::console {

// Runtime defaults (level > 0: shared tables, deleted records hidden, no
// scoreboard; level 1 also the cursor off), then the palette set-up ("W"
// cream, "B" and "B*" a softer blue) and the dialog set-up (font "Courier
// New" -12 and the text-to-pixel factors).
void MXBASESETUP(int level = 1);

struct FontSize {
    double height = 0, width = 0;
    bool operator==(const FontSize&) const = default;
};

// The console font for a screen of width x height pixels: nothing when the
// font is left as it is (exactly 800 x 600 on the real screen).
std::optional<FontSize> font_for_screen(int width, int height, bool real_screen);

// Chooses the font for the given screen (default: the real one, as far as
// the terminal tells its size in pixels). Always true on a terminal.
bool MSETFONTLARGE(std::optional<int> width = {}, std::optional<int> height = {});
// The font last chosen (nothing before MSETFONTLARGE or when left as it was).
std::optional<FontSize> console_font();

// A terminal has no full-screen switch of its own: the terminal is left
// as it is and the call succeeds.
bool WINFULLSCREEN();

// The epoch MXBASESETUP settles on (the current year - 20); INICIOSIS
// replaces it with 1900.
int epoch();
void set_epoch(int year);

}  // namespace qv::console
