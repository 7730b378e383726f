#include "console/setup.hpp"

#include <sys/ioctl.h>
#include <unistd.h>

#include "console/dialog_layout.hpp"
#include "console/palette.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/workspace.hpp"
#include "runtime/ui/get_settings.hpp"

namespace qv::console {
namespace {

std::optional<FontSize>& chosen_font() {
    static std::optional<FontSize> font;
    return font;
}

int& epoch_year() {
    static int year = 1900;
    return year;
}

void palette_setup() {
    MPALETTE("W", RGB(239, 235, 222));
    MPALETTE("B", RGB(57, 109, 165));
    MPALETTE("B*", RGB(57, 109, 165));
}

void dialog_setup() {
    MHSETFONT("Courier New", 0, -12);
    set_factor(Conversion::SayHeight, {0, 16, 0});
    set_factor(Conversion::SayWidth, {1, 7, 8});
    set_factor(Conversion::SayLeft, {0, 7, 2});
    set_factor(Conversion::SayTop, {0, 20, 5});
    set_factor(Conversion::GetHeight, {1, 16, 20});
    set_factor(Conversion::GetWidth, {1, 7, 15});
    set_factor(Conversion::GetLeft, {0, 7, 2});
    set_factor(Conversion::GetTop, {0, 20, 2});
}

// The screen's size in pixels as the terminal reports it (0 x 0 when it
// does not).
std::pair<int, int> terminal_pixels() {
    winsize ws{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) != 0) return {0, 0};
    return {ws.ws_xpixel, ws.ws_ypixel};
}

}  // namespace

void MXBASESETUP(int level) {
    if (level > 0) {
        rt::SET_SCOREBOARD(false);
        set_epoch(rt::YEAR(rt::DATE()) - 20);
        rt::table::workspace().set_deleted(true);
        if (level == 1) rt::SETCURSOR(0);
    }
    palette_setup();
    dialog_setup();
}

std::optional<FontSize> font_for_screen(int width, int height, bool real_screen) {
    if (width >= 1300) return FontSize{28, 18};
    if (width >= 1280) {
        if (height >= 960) return FontSize{31, 15};
        if (height >= 768) return FontSize{27, 15};
        if (height >= 720) return FontSize{22, 15};
        return FontSize{20, 16};
    }
    if (width >= 1024) return height >= 768 ? FontSize{24, 12} : FontSize{22, 12.5};
    if (width == 800 && height == 600 && real_screen) return std::nullopt;
    if (width >= 800) return FontSize{18, 9};
    return FontSize{14, 8};
}

bool MSETFONTLARGE(std::optional<int> width, std::optional<int> height) {
    const auto [real_w, real_h] = terminal_pixels();
    const int w = width.value_or(real_w);
    const int h = height.value_or(real_h);
    const bool real = w == real_w && h == real_h;
    if (auto font = font_for_screen(w, h, real)) chosen_font() = font;
    return true;
}

std::optional<FontSize> console_font() { return chosen_font(); }

bool WINFULLSCREEN() { return true; }

int epoch() { return epoch_year(); }
void set_epoch(int year) { epoch_year() = year; }

}  // namespace qv::console
