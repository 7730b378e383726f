#pragma once
// What the dialog layer places graphical controls with: the default dialog
// font and the linear factors that turn text rows and columns into pixels,
// pixels = int(sum + (value - sub) * mul). Every factor starts as (0, 1, 0)
// until the console set-up gives it its value.
#include <optional>
#include <string>

namespace qv::console {

struct Factor {
    double sub = 0, mul = 1, sum = 0;
    bool operator==(const Factor&) const = default;
};

// value converted with the factor; a factor part given replaces the stored one.
int HSAYHEIGHT(double value = 0, std::optional<double> sub = {}, std::optional<double> mul = {}, std::optional<double> sum = {});
int HSAYWIDTH(double value = 0, std::optional<double> sub = {}, std::optional<double> mul = {}, std::optional<double> sum = {});
int HSAYLEFT(double value = 0, std::optional<double> sub = {}, std::optional<double> mul = {}, std::optional<double> sum = {});
int HSAYTOP(double value = 0, std::optional<double> sub = {}, std::optional<double> mul = {}, std::optional<double> sum = {});
int HGETHEIGHT(double value = 0, std::optional<double> sub = {}, std::optional<double> mul = {}, std::optional<double> sum = {});
int HGETWIDTH(double value = 0, std::optional<double> sub = {}, std::optional<double> mul = {}, std::optional<double> sum = {});
int HGETLEFT(double value = 0, std::optional<double> sub = {}, std::optional<double> mul = {}, std::optional<double> sum = {});
int HGETTOP(double value = 0, std::optional<double> sub = {}, std::optional<double> mul = {}, std::optional<double> sum = {});

enum class Conversion { SayHeight, SayWidth, SayLeft, SayTop, GetHeight, GetWidth, GetLeft, GetTop };
Factor factor(Conversion c);
void set_factor(Conversion c, Factor f);

struct DialogFont {
    std::string name;
    double width = 0, height = 0;
    bool operator==(const DialogFont&) const = default;
};
// The default dialog font; a name makes it anew, without one only the
// sizes given change. Returns the font now in force.
DialogFont MHSETFONT(std::optional<std::string> name = {}, std::optional<double> width = {},
                     std::optional<double> height = {});
const DialogFont& dialog_font();

// Everything back to its state before set-up (tests).
void reset_dialog_layout();

}  // namespace qv::console
