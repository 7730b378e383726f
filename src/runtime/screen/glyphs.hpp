#pragma once
// What a CP850 byte looks like on screen. The control bytes 0x00-0x1F and
// 0x7F are drawn as the PC character set drew them (menus use the arrows
// 0x10, 0x11, 0x1E, 0x1F); the rest follow the code page.
#include <string>

namespace qv::rt {

char32_t screen_glyph(unsigned char cp850);
std::string screen_glyph_utf8(unsigned char cp850);

}  // namespace qv::rt
