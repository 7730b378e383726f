#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "runtime/core/cp850.hpp"
#include "runtime/screen/glyphs.hpp"
#include "screen_fixture.hpp"

namespace qv::rt::testing {
namespace {

using Headless = ScreenTest;

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

TEST_F(Headless, TextShowsThePcGlyphsOfControlBytes) {
    at_say(0, 0, "\x10 Menu \x11 \x1e\x1f");
    EXPECT_EQ(term->text(0).substr(0, 19), "► Menu ◄ ▲▼");
}

TEST_F(Headless, TextShowsCp850AsUtf8) {
    using namespace literals;
    at_say(1, 0, "Atenção: declaração"_cp);
    EXPECT_EQ(term->text(1).substr(0, 23), "Atenção: declaração");
    EXPECT_EQ(term->text(30), "");
}

TEST(ScreenGlyph, ControlRangeAndCodePage) {
    EXPECT_EQ(screen_glyph(0x00), U' ');
    EXPECT_EQ(screen_glyph(0x01), U'\u263A');
    EXPECT_EQ(screen_glyph(0x03), U'\u2665');
    EXPECT_EQ(screen_glyph(0x10), U'\u25BA');
    EXPECT_EQ(screen_glyph(0x11), U'\u25C4');
    EXPECT_EQ(screen_glyph(0x1E), U'\u25B2');
    EXPECT_EQ(screen_glyph(0x1F), U'\u25BC');
    EXPECT_EQ(screen_glyph(0x7F), U'\u2302');
    EXPECT_EQ(screen_glyph('A'), U'A');
    EXPECT_EQ(screen_glyph(0x87), U'ç');
    EXPECT_EQ(screen_glyph(0xC4), U'\u2500');
    EXPECT_EQ(screen_glyph(0xDB), U'\u2588');
    EXPECT_EQ(screen_glyph_utf8(0xB0), "░");
}

TEST_F(Headless, DumpShowsRowsBetweenBarsWithAttributeRuns) {
    SETCOLOR("W+/B");
    CLS();
    at_say(1, 2, "Oi", 0x70);
    const auto lines = lines_of(term->dump());
    ASSERT_EQ(lines.size(), 28u) << term->dump();
    EXPECT_EQ(lines[0], "screen, cursor at 1,4 shape 1:");
    EXPECT_EQ(lines[1], "   +" + std::string(80, '-') + "+");
    EXPECT_EQ(lines[2], "00 |" + std::string(80, ' ') + "| 1F 0-79");
    EXPECT_EQ(lines[3], "01 |  Oi" + std::string(76, ' ') + "| 1F 0-1, 70 2-3, 1F 4-79");
    EXPECT_EQ(lines[26], "24 |" + std::string(80, ' ') + "| 1F 0-79");
    EXPECT_EQ(lines[27], lines[1]);
}

TEST_F(Headless, DumpNamesSingleCellRuns) {
    at_say(0, 79, "x", 0x4E);
    const auto lines = lines_of(term->dump());
    EXPECT_EQ(lines[2].substr(4 + 80), "| 07 0-78, 4E 79");
}

TEST_F(Headless, CursorShapeReachesTheBackend) {
    SETCURSOR(0);
    SETPOS(3, 4);
    EXPECT_EQ(lines_of(term->dump())[0], "screen, cursor at 3,4 shape 0:");
}

}  // namespace
}  // namespace qv::rt::testing
