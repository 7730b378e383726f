#include "runtime/screen/glyphs.hpp"

#include <array>

#include "runtime/core/cp850.hpp"

namespace qv::rt {
namespace {

// The PC glyphs of the control range; 0x00 shows as a blank.
constexpr std::array<char32_t, 32> CONTROL_GLYPHS{
    U' ',      U'\u263A', U'\u263B', U'\u2665', U'\u2666', U'\u2663', U'\u2660', U'\u2022',
    U'\u25D8', U'\u25CB', U'\u25D9', U'\u2642', U'\u2640', U'\u266A', U'\u266B', U'\u263C',
    U'\u25BA', U'\u25C4', U'\u2195', U'\u203C', U'\u00B6', U'\u00A7', U'\u25AC', U'\u21A8',
    U'\u2191', U'\u2193', U'\u2192', U'\u2190', U'\u221F', U'\u2194', U'\u25B2', U'\u25BC'};

}  // namespace

char32_t screen_glyph(unsigned char c) {
    if (c < CONTROL_GLYPHS.size()) return CONTROL_GLYPHS[c];
    if (c == 0x7F) return U'\u2302';
    return cp850_to_unicode(c);
}

std::string screen_glyph_utf8(unsigned char c) {
    std::string out;
    append_utf8(out, screen_glyph(c));
    return out;
}

}  // namespace qv::rt
