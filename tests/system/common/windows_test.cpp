// Text windows: colours, frames, shadows, colour and repeat codes, saved
// screens, moving.
#include "common/windows.hpp"

#include "common/colours.hpp"
#include "common/globals.hpp"
#include "common_fixture.hpp"
#include "runtime/core/text.hpp"

namespace qv::common::testing {
namespace {

constexpr rt::Attr kGrBrightOnBlue = 0x1E, kWhiteBrightOnBlue = 0x1F, kBlackOnCyan = 0x30, kBlackOnWhite = 0x70;
constexpr rt::Attr kWhiteOnBlack = 0x07, kWhiteBrightOnCyan = 0x3F;

TEST(CommonAchacor, DosAttributesToColourStrings) {
    EXPECT_EQ(ACHACOR(30), "GR+/B");
    EXPECT_EQ(ACHACOR(48), "N/BG");
    EXPECT_EQ(ACHACOR(112), "N/W");
    EXPECT_EQ(ACHACOR(7), "W/N");
    EXPECT_EQ(ACHACOR(31), "W+/B");
    EXPECT_EQ(ACHACOR(0), "N/N");
    EXPECT_EQ(ACHACOR(255), "W+/W+");
    EXPECT_EQ(ACHACOR(79), "W+/R");
    EXPECT_EQ(ACHACOR(0x5D), "BR+/BR");
}

TEST(CommonRepeatCodes, Expansion) {
    EXPECT_EQ(XREP(REP(5) + "-"), "-----");
    EXPECT_EQ(XREP("a" + REP(3) + "x" + REP(2) + "y"), "axxxyy");
    EXPECT_EQ(XREP(REP(2) + "=" + "|" + REP(2) + "="), "==|==");
    // A code among the last two characters stops the expansion.
    EXPECT_EQ(XREP("ab" + REP(3)), "ab" + REP(3));
    EXPECT_EQ(XREP(REP(2) + "-" + "x" + std::string(1, '\x04')), "--x\x04");
}

using CommonWindowTest = CommonTest;

TEST_F(CommonWindowTest, DefinitionConvertsColoursAndType7AddsTwoRows) {
    REDEFJAN(3, 30, 31, 63, 5, 10, 9, 40, 7);
    const TextWindow* w = find_window(3);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->colour1, "GR+/B");
    EXPECT_EQ(w->colour2, "W+/B");
    EXPECT_EQ(w->colour3, "W+/BG");
    EXPECT_EQ(w->bottom, 11);
    EXPECT_FALSE(w->open);
    EXPECT_EQ(find_window(4), nullptr);
}

TEST_F(CommonWindowTest, RedefinitionKeepsOpenFlagAndEmptiesText) {
    DEFINEJAN(2, 48, 112, 7, 2, 2, 4, 20, 0);
    ABREJAN(2, true);
    ESCRJAN(2, "texto");
    EXPECT_EQ(find_window(2)->last_text, "texto");
    REDEFJAN(2, 30, 31, 63, 3, 3, 5, 21, 0);
    EXPECT_TRUE(find_window(2)->open);
    EXPECT_EQ(find_window(2)->last_text, "");
    EXPECT_EQ(find_window(2)->top, 3);
}

TEST_F(CommonWindowTest, RedfatrReplacesOneColourAndZeroMeansTen) {
    REDEFJAN(10, 30, 31, 63, 1, 1, 2, 10, 0);
    REDFATR(0, 2, 112);
    EXPECT_EQ(find_window(10)->colour2, "N/W");
    REDFATR(10, 3, 7);
    EXPECT_EQ(find_window(10)->colour3, "W/N");
    REDFATR(5, 1, 7);   // unknown window: nothing
}

TEST_F(CommonWindowTest, Type2BoxOnTheCoordinatesInColour2) {
    REDEFJAN(1, 30, 112, 7, 3, 5, 6, 15, 2);
    ABREJAN(1);
    EXPECT_EQ(row(3).substr(0, 5), "     ");
    EXPECT_EQ(row(3).substr(5), "\xDA" + std::string(9, '\xC4') + "\xBF" + std::string(64, ' '));
    EXPECT_EQ(row(6).substr(5, 11), "\xC0" + std::string(9, '\xC4') + "\xD9");
    EXPECT_EQ(attr(3, 5), kBlackOnWhite);
    EXPECT_EQ(attr(6, 15), kBlackOnWhite);
    EXPECT_EQ(ch(4, 4), ' ');
}

TEST_F(CommonWindowTest, Type1BoxOneCellOutsideTopLeft) {
    REDEFJAN(1, 30, 31, 7, 5, 10, 8, 20, 1);
    ABREJAN(1);
    // box from (4, 9) to (7, 19)
    EXPECT_EQ(ch(4, 9), '\xDA');
    EXPECT_EQ(ch(4, 19), '\xBF');
    EXPECT_EQ(ch(7, 9), '\xC0');
    EXPECT_EQ(ch(7, 19), '\xD9');
    EXPECT_EQ(ch(8, 9), ' ');
    EXPECT_EQ(attr(4, 9), kWhiteBrightOnBlue);
    // text from (5, 10), nine characters a line (right margin 18)
    ESCRJAN(1, "123456789abc");
    EXPECT_EQ(row(5).substr(10, 9), "123456789");
    EXPECT_EQ(row(6).substr(10, 3), "abc");
    EXPECT_EQ(attr(5, 10), kGrBrightOnBlue);
}

TEST_F(CommonWindowTest, PlainWindowLineWidthAndWrap) {
    REDEFJAN(4, 48, 112, 7, 10, 10, 12, 19, 0);
    ABREJAN(4);
    ESCRJAN(4, "0123456789");
    EXPECT_EQ(row(10).substr(10, 10), "0123456789");
    EXPECT_EQ(row(11).substr(10, 1), " ");
    ESCRJAN(4, "0123456789A");
    EXPECT_EQ(row(11).substr(10, 1), "A");
    EXPECT_EQ(attr(11, 10), kBlackOnCyan);
    EXPECT_EQ(ch(10, 20), ' ');   // nothing past the right column
}

TEST_F(CommonWindowTest, ColourSwitchesInsideTheText) {
    REDEFJAN(4, 48, 112, 7, 1, 0, 3, 39, 0);
    ESCRJAN(4, "ab\x02" "cd\x03" "ef\x01" "gh");
    EXPECT_EQ(row(1).substr(0, 8), "abcdefgh");
    EXPECT_EQ(attr(1, 0), kBlackOnCyan);
    EXPECT_EQ(attr(1, 2), kBlackOnWhite);
    EXPECT_EQ(attr(1, 4), kWhiteOnBlack);
    EXPECT_EQ(attr(1, 6), kBlackOnCyan);
    EXPECT_EQ(find_window(4)->last_text, "abcdefgh");
}

TEST_F(CommonWindowTest, RepeatCodesAreExpandedInTheWindow) {
    REDEFJAN(4, 48, 112, 7, 1, 0, 3, 39, 0);
    ESCRJAN(4, "[" + REP(5) + "\xC4" + "]" + REP(5) + "\xC4");
    EXPECT_EQ(term->text(1).substr(0, 1 + 15 + 1 + 15), "[─────]─────");
    EXPECT_EQ(find_window(4)->last_text, "[\xC4\xC4\xC4\xC4\xC4]\xC4\xC4\xC4\xC4\xC4");
}

TEST_F(CommonWindowTest, Type7ShadowFromSecondRowAndBelow) {
    // Lines hold 10 characters: margin 21 - 2 = 19, left 10.
    REDEFJAN(5, 30, 31, 63, 5, 10, 7, 21, 7);
    ABREJAN(5);
    ESCRJAN(5, std::string(10, 'a') + std::string(10, 'b') + std::string(4, 'c'));
    EXPECT_EQ(row(5).substr(10, 10), "aaaaaaaaaa");
    EXPECT_EQ(ch(5, 20), ' ');                 // no shadow on the first row
    EXPECT_EQ(row(6).substr(10, 12), "bbbbbbbbbb\xB0\xB0");
    EXPECT_EQ(attr(6, 20), kWhiteBrightOnCyan);
    EXPECT_EQ(row(7).substr(10, 6), "cccc\xB0\xB0");
    // bottom shadow one column to the right, margin - left + 2 = 11 cells
    EXPECT_EQ(ch(8, 10), ' ');
    EXPECT_EQ(row(8).substr(11, 11), std::string(11, '\xB0'));
    EXPECT_EQ(ch(8, 22), ' ');
}

TEST_F(CommonWindowTest, StatusLineColours) {
    ESCRJAN(0, "abc\x02" "def\x01" "g\x03" "h");
    EXPECT_EQ(row(24).substr(0, 8), "abcdefgh");
    EXPECT_EQ(attr(24, 0), kGrBrightOnBlue);
    EXPECT_EQ(attr(24, 3), kWhiteBrightOnBlue);
    EXPECT_EQ(attr(24, 6), kGrBrightOnBlue);
    EXPECT_EQ(attr(24, 7), kWhiteBrightOnBlue);
    ESCRJAN(0, std::string(80, ' '));
    EXPECT_EQ(row(24), std::string(80, ' '));
    EXPECT_EQ(attr(24, 79), kGrBrightOnBlue);
}

TEST_F(CommonWindowTest, WritersResetTheClientColours) {
    Global("COR_1_CLI").set(rt::Value("X"));
    Global("COR_2_CLI").set(rt::Value("X"));
    ESCRLCOL(0, 0, 1, "x");
    EXPECT_EQ(Global("COR_1_CLI").text(), "GR+/B");
    EXPECT_EQ(Global("COR_2_CLI").text(), "W+/B");
    EXPECT_EQ(Global("COR_INI").text(), "W+/B");
}

TEST_F(CommonWindowTest, EscrlcolKeepsTheColoursOnScreen) {
    REDEFJAN(4, 48, 112, 7, 2, 5, 4, 30, 0);
    ESCRJAN(4, std::string(26, ' ') + "\x02" + std::string(26, ' '));
    ESCRLCOL(4, 2, 3, "xyz");
    EXPECT_EQ(row(3).substr(7, 3), "xyz");
    EXPECT_EQ(attr(3, 7), kBlackOnWhite);
    ESCRJAN(0, "\x02" + std::string(79, ' '));
    ESCRLCOL(0, 0, 10, "a\x01" "b");
    EXPECT_EQ(row(24).substr(10, 2), "ab");
    EXPECT_EQ(attr(24, 10), kWhiteBrightOnBlue);
}

TEST_F(CommonWindowTest, EscratrRecoloursAStretchOfTheLastText) {
    // plain window 10 wide: line width right - left - 1 + 2 = 10
    REDEFJAN(6, 30, 31, 63, 3, 20, 5, 29, 0);
    ESCRJAN(6, "  Opcao 1   Opcao 2 ");
    ESCRATR(6, 2, 3, 79, 7);
    EXPECT_EQ(row(4).substr(22, 7), "Opcao 2");
    EXPECT_EQ(attr(4, 22), 0x4F);
    EXPECT_EQ(attr(4, 28), 0x4F);
    EXPECT_EQ(attr(4, 29), kGrBrightOnBlue);
    EXPECT_EQ(attr(3, 22), kGrBrightOnBlue);
}

TEST_F(CommonWindowTest, CloseRestoresTheScreenAndUnknownIdsDoNothing) {
    rt::at_say(5, 5, "fundo da tela");
    const std::string before = rt::SAVESCREEN();
    REDEFJAN(1, 30, 31, 63, 4, 4, 8, 30, 2);
    ABREJAN(1);
    ESCRJAN(1, "janela");
    EXPECT_NE(rt::SAVESCREEN(), before);
    FECHAJAN(1);
    EXPECT_EQ(rt::SAVESCREEN(), before);
    FECHAJAN(1);   // closed already
    FECHAJAN(9);   // never defined
    ABREJAN(9);
    ESCRJAN(9, "nada");
    EXPECT_EQ(rt::SAVESCREEN(), before);
}

TEST_F(CommonWindowTest, OpeningTwiceKeepsTheOriginalScreen) {
    rt::at_say(6, 6, "original");
    const std::string before = rt::SAVESCREEN();
    REDEFJAN(1, 30, 31, 63, 5, 5, 8, 20, 2);
    ABREJAN(1);
    ESCRJAN(1, "primeira");
    ABREJAN(1);
    EXPECT_TRUE(window_saved(1));
    FECHAJAN(1);
    EXPECT_FALSE(window_saved(1));
    EXPECT_EQ(rt::SAVESCREEN(), before);
}

TEST_F(CommonWindowTest, SavedRegionsAreClippedToTheScreen) {
    // The start-up windows cover 1..25 x 1..80, beyond the last row and column.
    DEFINEJAN(1, 48, 112, 7, 1, 1, 25, 80, 0);
    const std::string before = rt::SAVESCREEN();
    ABREJAN(1);
    ESCRJAN(1, std::string(200, 'x'));
    FECHAJAN(1);
    EXPECT_EQ(rt::SAVESCREEN(), before);
}

TEST_F(CommonWindowTest, MoveverAtTheTopLeavesTheWindow) {
    REDEFJAN(2, 30, 31, 63, 0, 10, 2, 20, 0);
    ABREJAN(2);
    ESCRJAN(2, "abc");
    const std::string before = rt::SAVESCREEN();
    MOVEVER(2, 129);
    EXPECT_EQ(find_window(2)->top, 0);
    EXPECT_EQ(rt::SAVESCREEN(), before);
}

TEST_F(CommonWindowTest, MoveRedrawsTheTextInColourOne) {
    rt::at_say(11, 10, "fundo");
    const std::string background = rt::SAVESCREEN();
    REDEFJAN(2, 30, 112, 63, 10, 10, 12, 20, 0);
    ABREJAN(2);
    ESCRJAN(2, "a\x02" "b");
    EXPECT_EQ(attr(10, 11), kBlackOnWhite);
    MOVEVER(2, 0);
    EXPECT_EQ(find_window(2)->top, 11);
    EXPECT_EQ(row(11).substr(10, 2), "ab");
    EXPECT_EQ(attr(11, 11), kGrBrightOnBlue);
    EXPECT_EQ(ch(10, 10), ' ');   // the old place shows the screen again
    MOVEHOR(2, 129);
    EXPECT_EQ(find_window(2)->left, 9);
    EXPECT_EQ(row(11).substr(9, 2), "ab");
    FECHAJAN(2);
    EXPECT_EQ(rt::SAVESCREEN(), background);
}

TEST_F(CommonWindowTest, WindowsNeverLeaveTheScreen) {
    REDEFJAN(2, 30, 31, 63, 22, 70, 24, 79, 0);
    ABREJAN(2);
    MOVEVER(2, 0);
    MOVEHOR(2, 0);
    EXPECT_EQ(find_window(2)->bottom, 24);
    EXPECT_EQ(find_window(2)->right, 79);
    // A type 1 box lies one cell up and left: it stops at row 1, column 1.
    REDEFJAN(3, 30, 31, 63, 1, 1, 4, 10, 1);
    ABREJAN(3);
    MOVEVER(3, 129);
    MOVEHOR(3, 129);
    EXPECT_EQ(find_window(3)->top, 1);
    EXPECT_EQ(find_window(3)->left, 1);
}

TEST_F(CommonWindowTest, EnchetelaFillsTheScreen) {
    ENCHETELA("\xB1", "W/B");
    EXPECT_EQ(term->text(0), rt::REPLICATE("▒", 80));
    EXPECT_EQ(row(24), std::string(80, '\xB1'));
    EXPECT_EQ(attr(12, 40), 0x17);
}

}  // namespace
}  // namespace qv::common::testing
