#include <gtest/gtest.h>

#include "screen_fixture.hpp"

namespace qv::rt::testing {
namespace {

using Box = ScreenTest;

TEST_F(Box, SingleFrameCornersAndSides) {
    at_say(3, 5, "Q");   // inside: a frame of 8 characters leaves it alone
    DISPBOX(2, 3, 5, 10, "\xDA\xC4\xBF\xB3\xD9\xC4\xC0\xB3", 0x1F);
    EXPECT_EQ(cell_at(2, 3), (Cell{0xDA, 0x1F}));
    for (int col = 4; col <= 9; ++col) {
        EXPECT_EQ(cell_at(2, col).ch, 0xC4) << col;
        EXPECT_EQ(cell_at(5, col).ch, 0xC4) << col;
    }
    EXPECT_EQ(cell_at(2, 10).ch, 0xBF);
    EXPECT_EQ(cell_at(3, 3).ch, 0xB3);
    EXPECT_EQ(cell_at(4, 10).ch, 0xB3);
    EXPECT_EQ(cell_at(5, 3).ch, 0xC0);
    EXPECT_EQ(cell_at(5, 10), (Cell{0xD9, 0x1F}));
    EXPECT_EQ(cell_at(3, 5), (Cell{'Q', 0x07})) << SCREEN_DUMP;
    EXPECT_EQ(cell_at(2, 11).ch, ' ');
    EXPECT_EQ(cell_at(6, 3).ch, ' ');
}

TEST_F(Box, ShowsAsLineDrawingOnTheTerminal) {
    DISPBOX(0, 0, 2, 3, B_SINGLE);
    EXPECT_EQ(term->text(0).substr(0, 12), "┌──┐");
    EXPECT_EQ(term->text(1).substr(0, 8), "│  │");
    EXPECT_EQ(term->text(2).substr(0, 12), "└──┘");
    DISPBOX(0, 10, 2, 12, B_DOUBLE);
    EXPECT_EQ(term->text(0).substr(12 + 6, 9), "╔═╗");
    EXPECT_EQ(term->text(2).substr(12 + 6, 9), "╚═╝");
}

TEST_F(Box, EachFramePositionGoesToItsPlace) {
    DISPBOX(10, 20, 12, 22, "12345678.");
    EXPECT_EQ(row_text(10).substr(20, 3), "123");
    EXPECT_EQ(row_text(11).substr(20, 3), "8.4");
    EXPECT_EQ(row_text(12).substr(20, 3), "765");
}

TEST_F(Box, NinthCharacterFillsTheInside) {
    at_say(3, 3, "old");
    DISPBOX(2, 2, 6, 8, "\xC9\xCD\xBB\xBA\xBC\xCD\xC8\xBA ", 0x30);
    EXPECT_EQ(cell_at(3, 3), (Cell{' ', 0x30}));
    EXPECT_EQ(cell_at(5, 7), (Cell{' ', 0x30}));
    EXPECT_EQ(cell_at(2, 2).ch, 0xC9);
    EXPECT_EQ(cell_at(6, 8).ch, 0xBC);
}

TEST_F(Box, DefaultColourAndEmptyFrame) {
    SETCOLOR("GR+/B");
    DISPBOX(0, 0, 1, 1, "");
    EXPECT_EQ(cell_at(0, 0), (Cell{0xDA, 0x1E}));
    EXPECT_EQ(cell_at(1, 1), (Cell{0xD9, 0x1E}));
}

TEST_F(Box, ShortFrameRepeatsItsLastCharacter) {
    DISPBOX(0, 0, 2, 2, "#");
    EXPECT_EQ(row_text(0).substr(0, 3), "###");
    EXPECT_EQ(row_text(1).substr(0, 3), "# #");
    EXPECT_EQ(row_text(2).substr(0, 3), "###");
}

TEST_F(Box, ClippedAtTheTopLeftCorner) {
    DISPBOX(-1, -1, 2, 2, "12345678");
    EXPECT_EQ(row_text(0).substr(0, 4), "  4 ") << SCREEN_DUMP;
    EXPECT_EQ(row_text(1).substr(0, 4), "  4 ");
    EXPECT_EQ(row_text(2).substr(0, 4), "665 ");
}

TEST_F(Box, ClippedAtTheBottomRightCorner) {
    DISPBOX(23, 78, 26, 81, "12345678");
    EXPECT_EQ(row_text(23).substr(78), "12");
    EXPECT_EQ(row_text(24).substr(78), "8 ");
    EXPECT_EQ(row_text(22), std::string(80, ' '));
}

TEST_F(Box, OneRowIsALineAndReversedCornersAreSwapped) {
    DISPBOX(4, 2, 4, 6, B_SINGLE);
    EXPECT_EQ(row_text(4).substr(2, 5), std::string(5, '\xC4'));
    DISPBOX(9, 3, 7, 1, "12345678");
    EXPECT_EQ(row_text(7).substr(1, 3), "123");
    EXPECT_EQ(row_text(9).substr(1, 3), "765");
}

TEST_F(Box, CursorGoesInsideTheBox) {
    DISPBOX(5, 10, 9, 30, B_DOUBLE);
    EXPECT_EQ(ROW(), 6);
    EXPECT_EQ(COL(), 11);
}

}  // namespace
}  // namespace qv::rt::testing
