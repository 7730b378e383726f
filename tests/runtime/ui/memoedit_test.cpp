// The memo editor: wrapping, read-only scrolling, small edits, and the
// line ends it reads and writes.
#include <gtest/gtest.h>

#include <string>

#include "runtime/core/text.hpp"
#include "runtime/screen/backend.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/memoedit.hpp"

namespace qv::rt {
namespace {

std::string numbered_lines(int n) {
    std::string s;
    for (int i = 1; i <= n; ++i) {
        s += "Linha " + std::string(i < 10 ? "0" : "") + std::to_string(i);
        if (i < n) s += "\r\n";
    }
    return s;
}

class MemoTest : public ::testing::Test {
protected:
    void SetUp() override {
        term = &use_headless();
        CLEAR_TYPEAHEAD();
    }
    void TearDown() override { SETKEY(key::F10, {}); }
    void keys(std::initializer_list<int> codes) {
        for (int c : codes) term->feed(c);
    }
    void type(std::string_view s) {
        for (char c : s) term->feed(static_cast<unsigned char>(c));
    }
    HeadlessBackend* term = nullptr;
};

TEST(MemoLayoutTest, WrapsAfterTheLastBlankThatFits) {
    auto lines = wrap_memo("abc def ghi", 7);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].start, 0u);
    EXPECT_EQ(lines[0].len, 4u);   // "abc "
    EXPECT_EQ(lines[1].start, 4u);
    EXPECT_EQ(lines[1].len, 7u);   // "def ghi"
    EXPECT_FALSE(lines[0].hard);
}

TEST(MemoLayoutTest, CutsAWordLongerThanTheLineAndKeepsHardEnds) {
    auto lines = wrap_memo("abcdefghij\nx", 4);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].len, 4u);
    EXPECT_EQ(lines[2].len, 2u);   // "ij"
    EXPECT_TRUE(lines[2].hard);
    EXPECT_EQ(lines[3].start, 11u);
    EXPECT_EQ(wrap_memo("", 10).size(), 1u);
}

TEST(MemoLayoutTest, LineEndsAndSoftReturns) {
    EXPECT_EQ(memo_from_stored("ab\x8D\ncd\r\nef\rg\nh"), "abcd\nef\ng\nh");
    EXPECT_EQ(memo_to_stored("a\nb"), "a\r\nb");
    EXPECT_EQ(memo_line_count("linha um\r\nlinha dois\r\n", 52), 2);
    EXPECT_EQ(memo_line_count("", 52), 0);
    EXPECT_EQ(memo_line_count(std::string(120, 'x'), 52), 3);
    EXPECT_EQ(memo_line("um dois tres", 8, 2), "tres    ");
    EXPECT_EQ(memo_line("um", 8, 5), "        ");
}

TEST_F(MemoTest, ReadOnlyScrollsAndReturnsTheOriginal) {
    const std::string text = numbered_lines(40);
    std::vector<std::string> snaps;
    SETKEY(key::F10, [&] { snaps.push_back(ALLTRIM(row_text(2)) + "|" + ALLTRIM(row_text(14))); });
    keys({key::F10, key::DOWN, key::DOWN, key::DOWN, key::F10, key::PGDN, key::F10,
          key::END, key::F10, key::DOWN, key::F10, key::PGUP, key::F10, key::HOME, key::F10,
          key::UP, key::F10, 'x', key::ESC});
    EXPECT_EQ(MEMOEDIT(text, 2, 1, 14, 63, false), text);
    ASSERT_EQ(snaps.size(), 8u);
    EXPECT_EQ(snaps[0], "Linha 01|Linha 13");
    EXPECT_EQ(snaps[1], "Linha 04|Linha 16");
    EXPECT_EQ(snaps[2], "Linha 17|Linha 29");
    EXPECT_EQ(snaps[3], "Linha 28|Linha 40");   // the last page
    EXPECT_EQ(snaps[4], "Linha 28|Linha 40");   // no further
    EXPECT_EQ(snaps[5], "Linha 15|Linha 27");
    EXPECT_EQ(snaps[6], "Linha 01|Linha 13");
    EXPECT_EQ(snaps[7], "Linha 01|Linha 13");
}

TEST_F(MemoTest, ShortTextLeavesTheRestOfTheBoxBlank) {
    MemoEditOptions opt;
    opt.edit = false;
    MemoEditor ed("Curto", 5, 10, 8, 30, opt);
    ed.display();
    EXPECT_EQ(TRIM(row_text(5)), std::string(10, ' ') + "Curto");
    EXPECT_EQ(TRIM(row_text(6)), "");
}

TEST_F(MemoTest, CtrlWKeepsTheEditEscGivesBackTheOriginal) {
    keys({key::DOWN, key::END});
    type("!");
    keys({key::HOME});
    type(">");
    keys({key::CTRL_W});
    EXPECT_EQ(MEMOEDIT("linha1\r\nlinha2", 0, 0, 10, 40), "linha1\r\n>linha2!");
    type("xyz");
    keys({key::ESC});
    EXPECT_EQ(MEMOEDIT("linha1", 0, 0, 10, 40), "linha1");
}

TEST_F(MemoTest, EnterSplitsAndBackspaceJoinsLines) {
    MemoEditor ed("abcd", 0, 0, 5, 20);
    ed.apply_key(key::RIGHT);
    ed.apply_key(key::RIGHT);
    ed.apply_key(key::ENTER);
    EXPECT_EQ(ed.text(), "ab\r\ncd");
    EXPECT_EQ(ed.line(), 2);
    EXPECT_EQ(ed.column(), 1);
    ed.apply_key(key::BS);
    EXPECT_EQ(ed.text(), "abcd");
    ed.apply_key(key::DEL);
    EXPECT_EQ(ed.text(), "abd");
    ed.apply_key(key::CTRL_W);
    EXPECT_TRUE(ed.saved());
    EXPECT_EQ(ed.result(), "abd");
}

TEST_F(MemoTest, TypingWrapsAtTheWidthWithoutSoftReturnsInTheResult) {
    MemoEditor ed("", 0, 0, 3, 9);   // 10 columns
    for (char c : std::string("aaaa bbbb cccc")) ed.apply_key(static_cast<unsigned char>(c));
    EXPECT_EQ(ed.line_count(), 2);
    EXPECT_EQ(ed.line(), 2);
    EXPECT_EQ(ed.column(), 5);   // after "cccc"
    ed.display();
    EXPECT_EQ(TRIM(row_text(0)), "aaaa bbbb");
    EXPECT_EQ(TRIM(row_text(1)), "cccc");
    EXPECT_EQ(ed.text(), "aaaa bbbb cccc");
}

TEST_F(MemoTest, UpDownKeepTheColumnAndTheCursorStaysInTheBox) {
    std::string text = numbered_lines(10);
    MemoEditor ed(text, 0, 0, 2, 20);   // 3 rows
    ed.apply_key(key::END);
    EXPECT_EQ(ed.column(), 9);
    for (int i = 0; i < 4; ++i) ed.apply_key(key::DOWN);
    EXPECT_EQ(ed.line(), 5);
    EXPECT_EQ(ed.column(), 9);
    EXPECT_EQ(ed.top_line(), 3);   // line 5 on the last of the 3 rows
    ed.apply_key(key::CTRL_PGDN);
    EXPECT_EQ(ed.line(), 10);
    ed.apply_key(key::CTRL_PGUP);
    EXPECT_EQ(ed.line(), 1);
    EXPECT_EQ(ed.top_line(), 1);
}

TEST_F(MemoTest, CtrlYDeletesTheLineAndInsOverwrites) {
    MemoEditor ed("um\r\ndois\r\ntres", 0, 0, 5, 20);
    ed.apply_key(key::DOWN);
    ed.apply_key(key::CTRL_Y);
    EXPECT_EQ(ed.text(), "um\r\ntres");
    ed.apply_key(key::INS);
    EXPECT_FALSE(ed.insert_mode());
    ed.apply_key('T');
    EXPECT_EQ(ed.text(), "um\r\nTres");
    // Overwriting at the end of a line adds instead of eating the line end.
    ed.apply_key(key::HOME);
    ed.apply_key(key::UP);
    ed.apply_key(key::END);
    ed.apply_key('!');
    EXPECT_EQ(ed.text(), "um!\r\nTres");
}

TEST_F(MemoTest, CtrlArrowsMoveByWords) {
    MemoEditor ed("um  dois\r\ntres", 0, 0, 5, 20);
    ed.apply_key(key::CTRL_RIGHT);
    EXPECT_EQ(ed.column(), 5);   // "dois"
    ed.apply_key(key::CTRL_RIGHT);
    EXPECT_EQ(ed.line(), 2);     // over the line end to "tres"
    EXPECT_EQ(ed.column(), 1);
    ed.apply_key(key::CTRL_LEFT);
    EXPECT_EQ(ed.line(), 1);
    EXPECT_EQ(ed.column(), 5);
    ed.apply_key(key::CTRL_LEFT);
    EXPECT_EQ(ed.column(), 1);
}

TEST_F(MemoTest, OtherKeysGoToTheCallersHook) {
    int seen = 0;
    MemoEditOptions opt;
    opt.edit = false;
    opt.other_key = [&](int k) {
        seen = k;
        return k == key::F2;
    };
    MemoEditor ed("texto", 0, 0, 5, 20, opt);
    EXPECT_TRUE(ed.apply_key(key::alt_letter('P')));
    EXPECT_EQ(seen, key::alt_letter('P'));
    EXPECT_FALSE(ed.apply_key(key::F2));
    EXPECT_TRUE(ed.ended());
    EXPECT_EQ(ed.result(), "texto");
}

}  // namespace
}  // namespace qv::rt

namespace qv::rt {
namespace {

TEST_F(MemoTest, UserFunctionWatchesAndEndsKeepingTheText) {
    std::vector<std::string> seen;
    MemoEditOptions opt;
    opt.cursor = 4;   // after "um\n" and "d"
    opt.insert = false;
    opt.user_function = [&](MemoEvent e, int key, MemoEditor& ed) {
        if (e == MemoEvent::Init) seen.push_back("init " + std::to_string(ed.line()) + "," + std::to_string(ed.column()));
        if (e == MemoEvent::Idle) seen.push_back("idle changed=" + std::to_string(ed.changed()));
        if (e != MemoEvent::Key) return MemoReply::Default;
        seen.push_back("key " + std::to_string(key));
        if (key == key::ESC) return MemoReply::Ignore;
        return key == key::F10 ? MemoReply::Keep : MemoReply::Default;
    };
    type("O");
    keys({key::F2, key::ESC, key::F10});
    MemoEditor ed("um\r\ndois tres", 0, 0, 5, 20, opt);
    EXPECT_EQ(ed.run(), "um\r\ndOis tres");   // overwritten, and kept by the hook's F10
    EXPECT_TRUE(ed.changed());
    EXPECT_EQ(seen, (std::vector<std::string>{"init 2,2", "key -1", "key 27", "key -9"}));
    EXPECT_EQ(ed.cursor(), 5u);

    MemoEditor words("um dois  tres", 0, 0, 5, 20);
    words.apply_key(key::CTRL_RIGHT);
    words.apply_key(key::CTRL_T);
    EXPECT_EQ(words.text(), "um tres");
    EXPECT_FALSE(MemoEditor("x", 0, 0, 5, 20).changed());
}

TEST(MemoLayoutTest, FindMatchesLetterCaseFromAnOffset) {
    EXPECT_EQ(memo_find("abc\nabc", "abc", 0), 0u);
    EXPECT_EQ(memo_find("abc\nabc", "abc", 1), 4u);
    EXPECT_EQ(memo_find("abc\nabc", "ABC", 0), std::string_view::npos);
    EXPECT_EQ(memo_find("abc", "", 0), std::string_view::npos);
    EXPECT_EQ(memo_find("abc", "c", 9), std::string_view::npos);
}

}  // namespace
}  // namespace qv::rt
