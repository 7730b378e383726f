#include <gtest/gtest.h>

#include <string>

#include "screen_fixture.hpp"

namespace qv::rt::testing {
namespace {

using SaveRestore = ScreenTest;

TEST_F(SaveRestore, CharacterAndAttributePairsRowByRow) {
    at_say(1, 1, "ab", 0x1F);
    at_say(2, 1, "cd", 0x70);
    const std::string saved = SAVESCREEN(1, 1, 2, 2);
    EXPECT_EQ(saved, std::string("a\x1F" "b\x1F" "c\x70" "d\x70"));
}

TEST_F(SaveRestore, RoundTripOfARegion) {
    SETCOLOR("W+/B");
    DISPBOX(3, 3, 8, 20, B_DOUBLE);
    at_say(5, 5, "Texto");
    const std::string saved = SAVESCREEN(3, 3, 8, 20);
    EXPECT_EQ(saved.size(), 6u * 18u * 2u);
    const std::string whole = SAVESCREEN();
    SETCOLOR("N/W");
    CLS();
    RESTSCREEN(3, 3, 8, 20, saved);
    EXPECT_EQ(cell_at(3, 3), (Cell{0xC9, 0x1F}));
    EXPECT_EQ(cell_at(5, 5), (Cell{'T', 0x1F}));
    EXPECT_EQ(cell_at(8, 20), (Cell{0xBC, 0x1F}));
    EXPECT_EQ(cell_at(2, 3), (Cell{' ', 0x70})) << SCREEN_DUMP;
    RESTSCREEN(whole);
    EXPECT_EQ(SAVESCREEN(), whole);
}

TEST_F(SaveRestore, WholeScreenIsFourThousandBytes) {
    EXPECT_EQ(SAVESCREEN().size(), 4000u);
}

TEST_F(SaveRestore, RegionsAreClippedToTheScreen) {
    at_say(23, 78, "ab", 0x1E);
    at_say(24, 78, "cd", 0x1E);
    const std::string saved = SAVESCREEN(23, 78, 30, 90);
    EXPECT_EQ(saved, std::string("a\x1E" "b\x1E" "c\x1E" "d\x1E"));
    CLS();
    RESTSCREEN(23, 78, 30, 90, saved);
    EXPECT_EQ(cell_at(23, 78).ch, 'a');
    EXPECT_EQ(cell_at(24, 79), (Cell{'d', 0x1E}));
    EXPECT_EQ(cell_at(22, 78).ch, ' ');
}

TEST_F(SaveRestore, ClippedAtTheTopLeft) {
    at_say(0, 0, "xy");
    const std::string saved = SAVESCREEN(-3, -3, 0, 1);
    EXPECT_EQ(saved.size(), 4u);
    CLS();
    RESTSCREEN(-3, -3, 0, 1, saved);
    EXPECT_EQ(row_text(0).substr(0, 3), "xy ");
}

TEST_F(SaveRestore, RegionWhollyOffTheScreenSavesNothing) {
    EXPECT_EQ(SAVESCREEN(30, 0, 40, 10), "");
    EXPECT_EQ(SAVESCREEN(5, 5, 4, 4), "");
    RESTSCREEN(30, 0, 40, 10, "a\x07");
    EXPECT_EQ(SAVESCREEN(), SAVESCREEN());
}

TEST_F(SaveRestore, ShortStringRestoresWhatItHolds) {
    at_say(0, 0, "keep");
    RESTSCREEN(0, 0, 0, 3, std::string("X\x1F" "Y\x70", 4));   // two cells of four
    EXPECT_EQ(cell_at(0, 0), (Cell{'X', 0x1F}));
    EXPECT_EQ(cell_at(0, 1), (Cell{'Y', 0x70}));
    EXPECT_EQ(row_text(0).substr(0, 4), "XYep");
    EXPECT_EQ(cell_at(0, 2).attr, 0x07);
}

TEST_F(SaveRestore, OddLengthIgnoresTheLoneByte) {
    at_say(0, 0, "keep");
    RESTSCREEN(0, 0, 0, 3, std::string("A\x70" "B", 3));
    EXPECT_EQ(cell_at(0, 0), (Cell{'A', 0x70}));
    EXPECT_EQ(cell_at(0, 1), (Cell{'e', 0x07}));
}

}  // namespace
}  // namespace qv::rt::testing
