// ACHOICE: moving, scrolling, skipping, seeking by letter, the user function.
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>
#include "runtime/screen/backend.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/ui/achoice.hpp"

namespace qv::rt {
namespace {

const std::vector<std::string> kTen{"Alfa", "Bravo", "Charlie", "Delta", "Echo",
                                     "Foxtrot", "Golf", "Hotel", "India", "Juliett"};

class AchoiceTest : public ::testing::Test {
protected:
    void SetUp() override { hb_ = &use_headless(); }
    void keys(std::initializer_list<int> codes) {
        for (int c : codes) hb_->feed(c);
    }
    // The list sits on rows 5-9 (5 rows), columns 20-29.
    int choose(const std::vector<std::string>& items, const std::vector<bool>& sel = {},
               const AchoiceFunction& user = {}, int initial = 1, int row = 0) {
        return ACHOICE(5, 20, 9, 29, items, sel, user, initial, row);
    }
    std::string line(int row) const { return row_text(row).substr(20, 10); }

    HeadlessBackend* hb_ = nullptr;
};

TEST_F(AchoiceTest, DownAndEnterChoose) {
    keys({key::DOWN, key::DOWN, key::ENTER});
    EXPECT_EQ(choose(kTen), 3);
    EXPECT_EQ(line(5), "Alfa      ");
    EXPECT_EQ(cell_at(7, 20).attr, colour_slot(1));   // the chosen item stays highlighted
    EXPECT_EQ(cell_at(6, 20).attr, colour_slot(0));
}

TEST_F(AchoiceTest, EscLeftAndRightGiveUp) {
    for (int k : {key::ESC, key::LEFT, key::RIGHT}) {
        keys({key::DOWN, k});
        EXPECT_EQ(choose(kTen), 0);
    }
}

TEST_F(AchoiceTest, UpOnTheFirstItemStays) {
    keys({key::UP, key::ENTER});
    EXPECT_EQ(choose(kTen), 1);
}

TEST_F(AchoiceTest, PageDownScrollsByAWindow) {
    keys({key::PGDN, key::ENTER});
    EXPECT_EQ(choose(kTen), 6);
    EXPECT_EQ(line(5), "Foxtrot   ");
    EXPECT_EQ(line(9), "Juliett   ");
    keys({key::PGDN, key::PGDN, key::PGUP, key::ENTER});
    EXPECT_EQ(choose(kTen), 5);
}

TEST_F(AchoiceTest, EndAndHomeGoToTheEnds) {
    keys({key::END, key::ENTER});
    EXPECT_EQ(choose(kTen), 10);
    EXPECT_EQ(line(9), "Juliett   ");
    EXPECT_EQ(line(5), "Foxtrot   ");
    keys({key::END, key::HOME, key::ENTER});
    EXPECT_EQ(choose(kTen), 1);
}

TEST_F(AchoiceTest, DownPastTheWindowScrollsOneLine) {
    keys({key::DOWN, key::DOWN, key::DOWN, key::DOWN, key::DOWN, key::ENTER});
    EXPECT_EQ(choose(kTen), 6);
    EXPECT_EQ(line(5), "Bravo     ");
    EXPECT_EQ(line(9), "Foxtrot   ");
}

TEST_F(AchoiceTest, InitialItemOnAGivenRow) {
    keys({key::ENTER});
    EXPECT_EQ(choose(kTen, {}, {}, 8, 2), 8);
    EXPECT_EQ(line(7), "Hotel     ");
    EXPECT_EQ(line(5), "Foxtrot   ");
}

TEST_F(AchoiceTest, UnselectableItemsAreSkippedAndDimmed) {
    SETCOLOR("W/N,N/W,N/N,N/N,B/N");
    const std::vector<bool> sel{true, false, true, false, true};
    keys({key::DOWN, key::ENTER});
    EXPECT_EQ(choose(kTen, sel), 3);
    EXPECT_EQ(cell_at(6, 20).attr, parse_colour("B/N"));
    keys({key::DOWN, key::DOWN, key::DOWN, key::ENTER});   // past the last flag all are selectable
    EXPECT_EQ(choose(kTen, sel), 6);
}

TEST_F(AchoiceTest, LettersSeekTheNextItemAndWrap) {
    const std::vector<std::string> items{"Alfa", "beta", "Charlie", "Bravo"};
    keys({'b', 'B', 'b', key::ENTER});
    EXPECT_EQ(choose(items), 2);   // beta, Bravo, beta again
}

TEST_F(AchoiceTest, ListEndsAtTheFirstEmptyItem) {
    keys({key::END, key::ENTER});
    EXPECT_EQ(choose({"one", "two", "", "four"}), 2);
    EXPECT_EQ(line(7), std::string(10, ' '));
}

TEST_F(AchoiceTest, NothingSelectableAnswersZero) {
    std::vector<int> modes;
    const auto user = [&](int mode, int, int) { modes.push_back(mode); return AC_CONT; };
    EXPECT_EQ(choose({"a", "b"}, {false, false}, user), 0);
    EXPECT_EQ(modes, (std::vector<int>{AC_NOITEM}));
}

TEST_F(AchoiceTest, UserFunctionAnswersTheEndsAndTheKeys) {
    std::vector<std::tuple<int, int, int>> calls;
    const auto user = [&](int mode, int cur, int row) {
        calls.emplace_back(mode, cur, row);
        if (mode == AC_EXCEPT && LASTKEY() == key::ENTER) return AC_SELECT;
        if (mode == AC_EXCEPT && LASTKEY() == key::ESC) return AC_ABORT;
        return AC_CONT;
    };
    keys({key::UP, key::DOWN, key::ENTER});   // keys waiting: no idle calls
    EXPECT_EQ(choose(kTen, {}, user), 2);
    const std::vector<std::tuple<int, int, int>> expected{
        {AC_HITTOP, 1, 0},   // Up on the first item
        {AC_EXCEPT, 2, 1},   // Enter is the user function's to answer
    };
    EXPECT_EQ(calls, expected);

    keys({key::END, key::DOWN, key::ESC});
    calls.clear();
    EXPECT_EQ(choose(kTen, {}, user), 0);
    const std::vector<std::tuple<int, int, int>> at_bottom{{AC_HITBOTTOM, 10, 4}, {AC_EXCEPT, 10, 4}};
    EXPECT_EQ(calls, at_bottom);
}

TEST_F(AchoiceTest, UserFunctionIsCalledIdleWhenNoKeyWaits) {
    std::vector<std::tuple<int, int, int>> calls;
    const auto user = [&](int mode, int cur, int row) {
        calls.emplace_back(mode, cur, row);
        if (mode == AC_IDLE) push_key(calls.size() == 1 ? key::DOWN : key::ENTER);
        return mode == AC_EXCEPT ? AC_SELECT : AC_CONT;
    };
    EXPECT_EQ(choose(kTen, {}, user), 2);
    const std::vector<std::tuple<int, int, int>> expected{
        {AC_IDLE, 1, 0}, {AC_IDLE, 2, 1}, {AC_EXCEPT, 2, 1}};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(hb_->starved_reads(), 0);
}

TEST_F(AchoiceTest, UserFunctionGotoSeeksTheLastKey) {
    const auto user = [](int mode, int, int) {
        if (mode != AC_EXCEPT) return AC_CONT;
        return LASTKEY() == key::ENTER ? AC_SELECT : AC_GOTO;
    };
    keys({'h', key::ENTER});
    EXPECT_EQ(choose(kTen, {}, user), 8);
}

}  // namespace
}  // namespace qv::rt
