#include <gtest/gtest.h>

#include <string>

#include "screen_fixture.hpp"

namespace qv::rt::testing {
namespace {

using Output = ScreenTest;

std::string blank_row() { return std::string(SCREEN_COLS, ' '); }

TEST_F(Output, SayWritesAtThePositionInTheCurrentColour) {
    SETCOLOR("W+/B");
    at_say(3, 10, "ABC");
    EXPECT_EQ(cell_at(3, 10), (Cell{'A', 0x1F}));
    EXPECT_EQ(cell_at(3, 11), (Cell{'B', 0x1F}));
    EXPECT_EQ(cell_at(3, 12), (Cell{'C', 0x1F}));
    EXPECT_EQ(cell_at(3, 13), (Cell{' ', 0x07})) << SCREEN_DUMP;
    EXPECT_EQ(cell_at(3, 9), (Cell{' ', 0x07}));
    EXPECT_EQ(ROW(), 3);
    EXPECT_EQ(COL(), 13);
}

TEST_F(Output, SayWithItsOwnAttribute) {
    at_say(0, 0, "ok", 0x4E);
    EXPECT_EQ(cell_at(0, 1), (Cell{'k', 0x4E}));
}

TEST_F(Output, TheBackendSeesWhatWasWritten) {
    at_say(24, 70, "fim");
    EXPECT_EQ(term->cells()[24][71], (Cell{'i', 0x07}));
    EXPECT_EQ(term->text(24).substr(70, 3), "fim");
}

TEST_F(Output, DevoutContinuesFromTheLastPosition) {
    DEVPOS(2, 5);
    DEVOUT("ab");
    DEVOUT("cd", 0x70);
    EXPECT_EQ(row_text(2).substr(5, 4), "abcd");
    EXPECT_EQ(cell_at(2, 6).attr, 0x07);
    EXPECT_EQ(cell_at(2, 7).attr, 0x70);
    EXPECT_EQ(COL(), 9);
}

TEST_F(Output, TextPastTheRightEdgeIsCutNotWrapped) {
    at_say(0, 78, "XYZ");
    EXPECT_EQ(cell_at(0, 78).ch, 'X');
    EXPECT_EQ(cell_at(0, 79).ch, 'Y');
    EXPECT_EQ(row_text(1), blank_row()) << SCREEN_DUMP;
}

TEST_F(Output, TextLeftOfTheScreenIsCut) {
    at_say(5, -2, "ABCD");
    EXPECT_EQ(row_text(5).substr(0, 3), "CD ");
}

TEST_F(Output, RowsOffTheScreenAreNotWritten) {
    at_say(25, 0, "below");
    at_say(-1, 0, "above");
    at_say(10, 80, "right");
    for (int row = 0; row < SCREEN_ROWS; ++row) EXPECT_EQ(row_text(row), blank_row()) << row;
    EXPECT_EQ(cell_at(25, 0), Cell{});
    EXPECT_EQ(row_text(25), "");
}

TEST_F(Output, ControlBytesAreWrittenAsCharacters) {
    at_say(0, 0, std::string("\x10\x07\r\n", 4));
    EXPECT_EQ(cell_at(0, 0).ch, 0x10);
    EXPECT_EQ(cell_at(0, 1).ch, 0x07);
    EXPECT_EQ(cell_at(0, 3).ch, '\n');
    EXPECT_EQ(row_text(1), blank_row());
}

TEST_F(Output, ClsFillsWithTheStandardColourAndHomesTheCursor) {
    at_say(4, 4, "x");
    SETCOLOR("W/B");
    CLS();
    EXPECT_EQ(cell_at(4, 4), (Cell{' ', 0x17}));
    EXPECT_EQ(cell_at(24, 79), (Cell{' ', 0x17}));
    EXPECT_EQ(ROW(), 0);
    EXPECT_EQ(COL(), 0);
}

void fill_rows(int count) {
    for (int row = 0; row < count; ++row) at_say(row, 0, "row" + std::to_string(row) + "......X");
}

TEST_F(Output, ScrollUpMovesTheRegionOnly) {
    fill_rows(5);
    SETCOLOR("W/R");
    SCROLL(0, 0, 4, 9, 1);
    EXPECT_EQ(row_text(0).substr(0, 11), "row1......X") << SCREEN_DUMP;
    EXPECT_EQ(row_text(3).substr(0, 11), "row4......X");
    EXPECT_EQ(row_text(4).substr(0, 11), "          X");   // column 10 is outside
    EXPECT_EQ(cell_at(4, 0).attr, 0x47);
    EXPECT_EQ(row_text(5), blank_row());
}

TEST_F(Output, ScrollDown) {
    fill_rows(5);
    SCROLL(0, 0, 4, 79, -2);
    EXPECT_EQ(row_text(0), blank_row());
    EXPECT_EQ(row_text(1), blank_row());
    EXPECT_EQ(row_text(2).substr(0, 4), "row0");
    EXPECT_EQ(row_text(4).substr(0, 4), "row2");
}

TEST_F(Output, ScrollByMoreThanTheHeightClears) {
    fill_rows(3);
    SCROLL(0, 0, 2, 79, 7);
    for (int row = 0; row < 3; ++row) EXPECT_EQ(row_text(row), blank_row());
}

TEST_F(Output, ScrollZeroClearsTheRegion) {
    fill_rows(3);
    SCROLL(1, 2, 1, 4);
    EXPECT_EQ(row_text(1).substr(0, 6), "ro   .");
}

TEST_F(Output, ScrollSideways) {
    at_say(0, 0, "abcdef");
    SCROLL(0, 0, 0, 5, 0, 2);
    EXPECT_EQ(row_text(0).substr(0, 7), "cdef   ");
    SCROLL(0, 0, 0, 5, 0, -1);
    EXPECT_EQ(row_text(0).substr(0, 7), " cdef  ");
}

TEST_F(Output, ScrollClippedToTheScreen) {
    at_say(24, 0, "last");
    SCROLL(20, -5, 30, 90, 1);
    EXPECT_EQ(row_text(23).substr(0, 4), "last");
    EXPECT_EQ(row_text(24), blank_row());
}

TEST_F(Output, RegionAttributeKeepsTheCharacters) {
    at_say(6, 0, "sombra");
    set_region_attr(6, 2, 7, 3, 0x08);
    EXPECT_EQ(cell_at(6, 2), (Cell{'m', 0x08}));
    EXPECT_EQ(cell_at(7, 3), (Cell{' ', 0x08}));
    EXPECT_EQ(cell_at(6, 4).attr, 0x07);
    set_region_attr(24, 78, 30, 90, 0x70);   // partly off the screen
    EXPECT_EQ(cell_at(24, 79).attr, 0x70);
}

TEST_F(Output, CursorPositionAndShape) {
    SETPOS(12, 40);
    EXPECT_EQ(ROW(), 12);
    EXPECT_EQ(COL(), 40);
    EXPECT_EQ(SETCURSOR(), 1);
    EXPECT_EQ(SETCURSOR(0), 1);
    EXPECT_EQ(SETCURSOR(), 0);
    EXPECT_EQ(SETCURSOR(9), 0);   // not a shape: ignored
    EXPECT_EQ(SETCURSOR(2), 0);
    EXPECT_EQ(SETCURSOR(), 2);
    EXPECT_EQ(MAXROW(), 24);
    EXPECT_EQ(MAXCOL(), 79);
}

TEST_F(Output, BatchedOutputReachesTheBackendAtTheLastDispend) {
    DISPBEGIN();
    at_say(1, 0, "one");
    DISPBEGIN();
    at_say(2, 0, "two");
    DISPEND();
    EXPECT_EQ(term->cells()[1][0].ch, ' ');
    EXPECT_EQ(term->cells()[2][0].ch, ' ');
    EXPECT_EQ(row_text(2).substr(0, 3), "two");   // the screen itself has it
    DISPEND();
    EXPECT_EQ(term->cells()[1][0].ch, 'o');
    EXPECT_EQ(term->cells()[2][0].ch, 't');
}

TEST_F(Output, RefreshShowsPendingOutputInsideABatch) {
    DISPBEGIN();
    at_say(1, 0, "x");
    refresh_screen();
    EXPECT_EQ(term->cells()[1][0].ch, 'x');
    DISPEND();
}

// A wait for a key shows what a batch drew so far; peeking does not.
TEST_F(Output, AWaitForAKeyShowsTheBatchSoFar) {
    DISPBEGIN();
    at_say(1, 0, "a");
    NEXTKEY();
    EXPECT_EQ(term->cells()[1][0].ch, ' ');
    term->feed('k');
    EXPECT_EQ(INKEY(0.5), 'k');
    EXPECT_EQ(term->cells()[1][0].ch, 'a');
    DISPEND();
}

TEST_F(Output, ExtraDispendIsHarmless) {
    DISPEND();
    at_say(0, 0, "y");
    EXPECT_EQ(term->cells()[0][0].ch, 'y');
}

}  // namespace
}  // namespace qv::rt::testing
