#pragma once
// The edges of the program: CP850 inside, UTF-8 on the terminal and in the
// source code.
#include <string>
#include <string_view>

namespace qv::rt {

std::string cp850_to_utf8(std::string_view cp850);
// Characters with no CP850 code become '?'; so does each malformed UTF-8
// sequence (a stray byte, a cut-short, overlong or surrogate sequence).
std::string utf8_to_cp850(std::string_view utf8);
// The Unicode code point of one CP850 byte (0x00-0x1F keep their control
// meaning on the way out to files; on screen see screen/ for the glyphs).
char32_t cp850_to_unicode(unsigned char c);
// 0 when the code point has no CP850 byte.
int unicode_to_cp850(char32_t u);
// Appends the UTF-8 bytes of one code point.
void append_utf8(std::string& out, char32_t u);

// Accented literals are written in UTF-8 in the source: "Atenção"_cp is the
// CP850 text.
inline namespace literals {
std::string operator""_cp(const char* utf8, std::size_t n);
}

}  // namespace qv::rt
