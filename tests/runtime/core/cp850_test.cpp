#include <gtest/gtest.h>

#include <set>

#include "runtime/core/cp850.hpp"

namespace qv::rt {
namespace {

std::string all_bytes() {
    std::string s;
    for (int b = 0; b < 256; ++b) s += static_cast<char>(b);
    return s;
}

TEST(Cp850, RoundTripOfAllBytes) {
    const std::string bytes = all_bytes();
    const std::string utf8 = cp850_to_utf8(bytes);
    EXPECT_EQ(utf8_to_cp850(utf8), bytes);
}

TEST(Cp850, EveryByteHasItsOwnCodePoint) {
    std::set<char32_t> seen;
    for (int b = 0; b < 256; ++b) {
        const char32_t u = cp850_to_unicode(static_cast<unsigned char>(b));
        EXPECT_TRUE(seen.insert(u).second) << "byte " << b;
        EXPECT_EQ(unicode_to_cp850(u), b) << "byte " << b;
    }
}

TEST(Cp850, ControlsAndAsciiAreThemselves) {
    EXPECT_EQ(cp850_to_utf8("\x01\x1B\x1F\x7F"), "\x01\x1B\x1F\x7F");
    EXPECT_EQ(cp850_to_utf8("Az09 ~"), "Az09 ~");
    EXPECT_EQ(cp850_to_unicode(0x0D), U'\r');
    EXPECT_EQ(utf8_to_cp850(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Cp850, BoxDrawingAndBlocks) {
    EXPECT_EQ(cp850_to_utf8("\xDA\xC4\xBF\xB3\xD9\xC0"), "┌─┐│┘└");
    EXPECT_EQ(cp850_to_utf8("\xC9\xCD\xBB\xBA\xBC\xC8"), "╔═╗║╝╚");
    EXPECT_EQ(cp850_to_utf8("\xB0\xB1\xB2\xDB"), "░▒▓█");
    EXPECT_EQ(cp850_to_utf8("\xFE"), "■");
    EXPECT_EQ(utf8_to_cp850("┌─┐│┘└░■"), "\xDA\xC4\xBF\xB3\xD9\xC0\xB0\xFE");
}

TEST(Cp850, PortugueseLetters) {
    EXPECT_EQ("Atenção"_cp, "Aten\x87\xC6o");
    EXPECT_EQ("ÁÀÂÃÉÊÍÓÔÕÚÜÇ"_cp, "\xB5\xB7\xB6\xC7\x90\xD2\xD6\xE0\xE2\xE5\xE9\x9A\x80");
    EXPECT_EQ("áàâãéêíóôõúüç"_cp, "\xA0\x85\x83\xC6\x82\x88\xA1\xA2\x93\xE4\xA3\x81\x87");
    EXPECT_EQ("ªº°"_cp, "\xA6\xA7\xF8");
    EXPECT_EQ(cp850_to_utf8("\x80\x87\xC6\xC7"), "ÇçãÃ");
}

TEST(Cp850, LessCommonCodePoints) {
    EXPECT_EQ(cp850_to_unicode(0x9F), U'ƒ');
    EXPECT_EQ(cp850_to_unicode(0xD5), U'ı');
    EXPECT_EQ(cp850_to_unicode(0xF2), U'‗');
    EXPECT_EQ(cp850_to_unicode(0xFF), U'\u00A0');   // no-break space
    EXPECT_EQ(cp850_to_unicode(0xF0), U'\u00AD');   // soft hyphen
    EXPECT_EQ(cp850_to_unicode(0x9E), U'×');
    EXPECT_EQ(cp850_to_unicode(0xE1), U'ß');
}

TEST(Cp850, UnmappableAndMalformedBecomeQuestionMarks) {
    EXPECT_EQ(unicode_to_cp850(U'€'), 0);
    EXPECT_EQ(utf8_to_cp850("5€"), "5?");
    EXPECT_EQ(utf8_to_cp850("日本"), "??");
    EXPECT_EQ(utf8_to_cp850("😀x"), "?x");
    EXPECT_EQ(utf8_to_cp850("\xFF" "a"), "?a");           // not UTF-8 at all
    EXPECT_EQ(utf8_to_cp850("a\xC3"), "a?");              // cut short
    EXPECT_EQ(utf8_to_cp850("\xC3" "a"), "?a");           // missing continuation
    EXPECT_EQ(utf8_to_cp850("\xC0\xAFx"), "?x");          // overlong '/'
    EXPECT_EQ(utf8_to_cp850("\xED\xA0\x80x"), "?x");      // surrogate
}

}  // namespace
}  // namespace qv::rt
