#include "console/dialog_layout.hpp"

#include <array>
#include <cmath>

namespace qv::console {
namespace {

std::array<Factor, 8>& factors() {
    static std::array<Factor, 8> all{};
    return all;
}

DialogFont& font() {
    static DialogFont f;
    return f;
}

int convert(Conversion c, double value, std::optional<double> sub, std::optional<double> mul,
            std::optional<double> sum) {
    Factor& f = factors()[static_cast<std::size_t>(c)];
    if (sub) f.sub = *sub;
    if (mul) f.mul = *mul;
    if (sum) f.sum = *sum;
    return static_cast<int>(std::trunc(f.sum + (value - f.sub) * f.mul));
}

}  // namespace

Factor factor(Conversion c) { return factors()[static_cast<std::size_t>(c)]; }
void set_factor(Conversion c, Factor f) { factors()[static_cast<std::size_t>(c)] = f; }

int HSAYHEIGHT(double v, std::optional<double> s, std::optional<double> m, std::optional<double> a) { return convert(Conversion::SayHeight, v, s, m, a); }
int HSAYWIDTH(double v, std::optional<double> s, std::optional<double> m, std::optional<double> a) { return convert(Conversion::SayWidth, v, s, m, a); }
int HSAYLEFT(double v, std::optional<double> s, std::optional<double> m, std::optional<double> a) { return convert(Conversion::SayLeft, v, s, m, a); }
int HSAYTOP(double v, std::optional<double> s, std::optional<double> m, std::optional<double> a) { return convert(Conversion::SayTop, v, s, m, a); }
int HGETHEIGHT(double v, std::optional<double> s, std::optional<double> m, std::optional<double> a) { return convert(Conversion::GetHeight, v, s, m, a); }
int HGETWIDTH(double v, std::optional<double> s, std::optional<double> m, std::optional<double> a) { return convert(Conversion::GetWidth, v, s, m, a); }
int HGETLEFT(double v, std::optional<double> s, std::optional<double> m, std::optional<double> a) { return convert(Conversion::GetLeft, v, s, m, a); }
int HGETTOP(double v, std::optional<double> s, std::optional<double> m, std::optional<double> a) { return convert(Conversion::GetTop, v, s, m, a); }

DialogFont MHSETFONT(std::optional<std::string> name, std::optional<double> width, std::optional<double> height) {
    DialogFont& f = font();
    if (name) f = DialogFont{*name, 0, 0};
    if (width) f.width = *width;
    if (height) f.height = *height;
    return f;
}

const DialogFont& dialog_font() { return font(); }

void reset_dialog_layout() {
    factors() = {};
    font() = {};
}

}  // namespace qv::console
