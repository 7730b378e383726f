#include <gtest/gtest.h>

#include "screen_fixture.hpp"

namespace qv::rt::testing {
namespace {

struct ColourCase {
    const char* spec;
    int attr;
};

TEST(ParseColour, ColoursAsTheProgramWritesThem) {
    const ColourCase cases[] = {
        {"W+/B", 0x1F},  {"N/BG", 0x30},  {"GR+/B", 0x1E}, {"R/W", 0x74},   {"N/W", 0x70},
        {"W/N", 0x07},   {"G/W", 0x72},   {"W/R", 0x47},   {"RB/N", 0x05},  {"BR/N", 0x05},
        {"GB/N", 0x03},  {"N/N", 0x00},   {"W+/W+", 0xFF}, {"N/W+", 0xF0},  {"W/R+", 0xC7},
        {"R/W*", 0xF4},  {"W/N*", 0x87},  {"w+/b", 0x1F},  {"gr+/bg", 0x3E}, {" W+/B ", 0x1F},
        {"b", 0x01},     {"W+", 0x0F},    {"/B", 0x10},    {"15/1", 0x1F},  {"0/7", 0x70},
        {"\"N/N\"", 0x00}, {"U/N", 0x01}, {"I", 0x70},     {"X/B", 0x11},
    };
    for (const auto& c : cases) EXPECT_EQ(parse_colour(c.spec), c.attr) << c.spec;
}

TEST(ParseColour, FirstSlotOfAList) {
    EXPECT_EQ(parse_colour("W+/B,N/W,N/N"), 0x1F);
    EXPECT_EQ(parse_colour("w+/b, b/w, b"), 0x1F);
}

TEST(ParseColour, MalformedGivesTheDefault) {
    EXPECT_EQ(parse_colour(""), 0x07);
    EXPECT_EQ(parse_colour("Q/B"), 0x07);
    EXPECT_EQ(parse_colour("W/B/"), 0x07);
    EXPECT_EQ(parse_colour("16/0"), 0x07);
}

TEST(ColourName, AttributesBackToColourStrings) {
    EXPECT_EQ(colour_name(0x1F), "W+/B");
    EXPECT_EQ(colour_name(0x30), "N/BG");
    EXPECT_EQ(colour_name(0x1E), "GR+/B");
    EXPECT_EQ(colour_name(0x70), "N/W");
    EXPECT_EQ(colour_name(0x07), "W/N");
    EXPECT_EQ(colour_name(0x00), "N/N");
    EXPECT_EQ(colour_name(0xF4), "R/W*");
    EXPECT_EQ(colour_name(0x5D), "RB+/RB");
}

TEST(ColourName, EveryAttributeSurvivesTheRoundTrip) {
    for (int a = 0; a < 256; ++a) EXPECT_EQ(parse_colour(colour_name(static_cast<Attr>(a))), a) << a;
}

using SetColour = ScreenTest;

TEST_F(SetColour, StartsWithTheFiveStandardSlots) {
    EXPECT_EQ(SETCOLOR(), "W/N,N/W,N/N,N/N,N/W");
    EXPECT_EQ(colour_slot(0), 0x07);
    EXPECT_EQ(colour_slot(1), 0x70);
}

TEST_F(SetColour, ReturnsTheOldStringAndKeepsUnnamedSlots) {
    EXPECT_EQ(SETCOLOR("W+/B,GR+/R"), "W/N,N/W,N/N,N/N,N/W");
    EXPECT_EQ(SETCOLOR(), "W+/B,GR+/R,N/N,N/N,N/W");
    EXPECT_EQ(colour_slot(0), 0x1F);
    EXPECT_EQ(colour_slot(1), 0x4E);
    EXPECT_EQ(colour_slot(4), 0x70);
}

TEST_F(SetColour, EmptySlotsKeepTheirColour) {
    SETCOLOR("W+/B,N/W");
    SETCOLOR(",GR+/B,,,W/R");
    EXPECT_EQ(colour_slot(0), 0x1F);
    EXPECT_EQ(colour_slot(1), 0x1E);
    EXPECT_EQ(colour_slot(4), 0x47);
}

TEST_F(SetColour, EightSlotsOfAListColourString) {
    SETCOLOR("N/BG,W+/BG,W+/BG,W+/R,GR+/BG,N/BG,GR+/BG,N/R");
    EXPECT_EQ(colour_slot(3), 0x4F);
    EXPECT_EQ(colour_slot(6), 0x3E);
    EXPECT_EQ(colour_slot(7), 0x40);
    EXPECT_EQ(SETCOLOR(), "N/BG,W+/BG,W+/BG,W+/R,GR+/BG,N/BG,GR+/BG,N/R");
}

TEST_F(SetColour, QuotedPairsAndSpaces) {
    SETCOLOR("N/W+,W/N,\"N/N\",\"N/N\",N/W+");
    EXPECT_EQ(colour_slot(0), 0xF0);
    EXPECT_EQ(colour_slot(2), 0x00);
    EXPECT_EQ(colour_slot(4), 0xF0);
    SETCOLOR("w+/b, b/w, b");
    EXPECT_EQ(colour_slot(1), 0x71);
    EXPECT_EQ(colour_slot(2), 0x01);
}

TEST_F(SetColour, OutOfRangeSlotIsTheStandardColour) {
    SETCOLOR("GR+/B");
    EXPECT_EQ(colour_slot(9), 0x1E);
    EXPECT_EQ(colour_slot(-1), 0x1E);
}

TEST_F(SetColour, SayUsesTheStandardSlot) {
    SETCOLOR("GR+/B,W+/R");
    at_say(1, 1, "x");
    EXPECT_EQ(cell_at(1, 1).attr, 0x1E);
}

}  // namespace
}  // namespace qv::rt::testing
