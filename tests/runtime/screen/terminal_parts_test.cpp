// The parts of the terminal backend that need no terminal: which cells are
// sent again, and how attributes become curses colour pairs.
#include <gtest/gtest.h>

#include <algorithm>

#include "runtime/screen/cell_diff.hpp"
#include "runtime/screen/terminal_palette.hpp"

namespace qv::rt {
namespace {

TEST(ShownGrid, EverythingIsNewAtFirst) {
    ShownGrid shown;
    CellGrid grid{};
    const auto spans = shown.changes(grid);
    ASSERT_EQ(spans.size(), 25u);
    EXPECT_EQ(spans[24], (CellSpan{24, 0, 80}));
}

TEST(ShownGrid, OnlyChangedRunsAreSentAgain) {
    ShownGrid shown;
    CellGrid grid{};
    shown.shown(grid);
    EXPECT_TRUE(shown.changes(grid).empty());
    grid[3][5].ch = 'a';
    grid[3][6].ch = 'b';
    grid[3][9].attr = 0x1F;   // a colour change alone counts
    grid[24][79].ch = 'z';
    const auto spans = shown.changes(grid);
    ASSERT_EQ(spans.size(), 3u);
    EXPECT_EQ(spans[0], (CellSpan{3, 5, 2}));
    EXPECT_EQ(spans[1], (CellSpan{3, 9, 1}));
    EXPECT_EQ(spans[2], (CellSpan{24, 79, 1}));
    shown.shown(grid);
    EXPECT_TRUE(shown.changes(grid).empty());
    shown.forget();
    EXPECT_EQ(shown.changes(grid).size(), 25u);
}

TEST(Palette, PcColoursInCursesOrder) {
    EXPECT_EQ(curses_colour(0, 16), 0);
    EXPECT_EQ(curses_colour(1, 16), 4);    // blue
    EXPECT_EQ(curses_colour(3, 16), 6);    // cyan
    EXPECT_EQ(curses_colour(4, 16), 1);    // red
    EXPECT_EQ(curses_colour(6, 16), 3);    // brown / yellow
    EXPECT_EQ(curses_colour(14, 16), 11);  // bright yellow
    EXPECT_EQ(curses_colour(15, 16), 15);
    EXPECT_EQ(curses_colour(14, 8), 3);
}

TEST(Palette, SixteenColoursGiveEveryCombinationItsPair) {
    const Palette p(256, 65536);
    EXPECT_EQ(p.levels(), 16);
    EXPECT_EQ(p.look(0x07), (TerminalLook{0, false, false}));
    EXPECT_EQ(p.look(0x00), (TerminalLook{7, false, false}));
    EXPECT_EQ(p.look(0x1F), (TerminalLook{31, false, false}));
    EXPECT_EQ(p.look(0xF4), (TerminalLook{0xF4, false, false}));
    const auto pairs = p.pairs();
    EXPECT_EQ(pairs.size(), 255u);
    const auto has = [&](PairColours pc) { return std::find(pairs.begin(), pairs.end(), pc) != pairs.end(); };
    EXPECT_TRUE(has({31, 15, 4}));    // W+/B
    EXPECT_TRUE(has({30, 11, 4}));    // GR+/B
    EXPECT_TRUE(has({7, 0, 0}));      // N/N
    EXPECT_TRUE(has({0x30, 0, 6}));   // N/BG
    for (const auto& pc : pairs) EXPECT_LT(pc.pair, 256);
}

TEST(Palette, EightColoursShowBrightAsBold) {
    const Palette p(8, 64);
    EXPECT_EQ(p.levels(), 8);
    EXPECT_EQ(p.look(0x1F), (TerminalLook{15, true, false}));
    EXPECT_EQ(p.look(0x9F), (TerminalLook{15, true, false}));
    EXPECT_EQ(p.look(0x07), (TerminalLook{0, false, false}));
    EXPECT_EQ(p.look(0x08), (TerminalLook{7, true, false}));   // dark grey: bold black
    EXPECT_EQ(p.pairs().size(), 63u);
    EXPECT_EQ(Palette(16, 64).levels(), 8);   // too few pairs for sixteen
}

TEST(Palette, LinuxConsoleShowsBrightBackgroundAsBlink) {
    const Palette p(8, 64, true);
    EXPECT_EQ(p.look(0xF0), (TerminalLook{0x38, false, false, true}));   // N/W+
    EXPECT_EQ(p.look(0x70), (TerminalLook{0x38, false, false, false}));
    EXPECT_FALSE(Palette(256, 256, true).look(0xF0).blink);   // sixteen colours need no trick
}

TEST(Palette, NoColourUsesInverseAndBold) {
    const Palette p(0, 0);
    EXPECT_EQ(p.levels(), 0);
    EXPECT_EQ(p.look(0x70), (TerminalLook{0, false, true}));
    EXPECT_EQ(p.look(0x0F), (TerminalLook{0, true, false}));
    EXPECT_TRUE(p.pairs().empty());
}

}  // namespace
}  // namespace qv::rt
