// MENS: status-line messages, message windows, letter prompts, progress
// windows and the one-field entry.
#include "common/messages.hpp"

#include "common/globals.hpp"
#include "common/windows.hpp"
#include "common_fixture.hpp"
#include "runtime/core/text.hpp"

namespace qv::common::testing {
namespace {

using CommonMensTest = CommonTest;
using rt::key::ENTER;
using rt::key::ESC;

constexpr rt::Attr kGrBrightOnBlue = 0x1E;

TEST_F(CommonMensTest, StatusLineMessage) {
    MENS(0, "Processando");
    EXPECT_EQ(row(24), " Processando" + std::string(68, ' '));
    EXPECT_EQ(attr(24, 1), kGrBrightOnBlue);
    EXPECT_EQ(attr(24, 79), kGrBrightOnBlue);
    MensArgs centred;
    centred.col = rt::Value("C");
    MENS(0, "abcd", centred);
    EXPECT_EQ(row(24).substr(36, 6), "  abcd");   // column 38
    EXPECT_EQ(MENS().as_string(), "");
    EXPECT_EQ(row(24), std::string(80, ' '));
    EXPECT_TRUE(term->snapshots.empty());
}

TEST_F(CommonMensTest, Type11ShowsABoxWaitsAndRestores) {
    const std::string before = rt::SAVESCREEN();
    keys({'x'});
    MensArgs args;
    args.col = rt::Value(10);
    EXPECT_EQ(MENS(11, "Arquivo gravado", args).as_string(), "");
    ASSERT_EQ(term->snapshots.size(), 1u);
    // width 17: box from (19, 9) to (21, 26), text at (20, 10)
    const std::string& shown = term->snapshots[0];
    EXPECT_NE(shown.find("19 |         ┌────────────────┐"), std::string::npos) << shown;
    EXPECT_NE(shown.find("20 |         │Arquivo gravado │"), std::string::npos) << shown;
    EXPECT_NE(shown.find("21 |         └────────────────┘"), std::string::npos) << shown;
    EXPECT_EQ(rt::SAVESCREEN(), before);
    EXPECT_EQ(term->pending(), 0u);
}

TEST_F(CommonMensTest, BoxedMessageCoversWhatIsUnderItsInside) {
    for (int row = 18; row <= 22; ++row) rt::at_say(row, 0, std::string(80, '0'));
    keys({ENTER});
    MensArgs args;
    args.col = rt::Value(10);
    MENS(11, "Nada declarado", args);
    ASSERT_EQ(term->snapshots.size(), 1u);
    EXPECT_NE(term->snapshots[0].find("│Nada declarado │"), std::string::npos) << term->snapshots[0];
}

TEST_F(CommonMensTest, DefaultColumnPutsTheRightEdgeAt75) {
    keys({ENTER});
    MENS(15, "abc");   // width 5: columns 70 .. 75, box from 69
    EXPECT_NE(term->snapshots[0].find("20 |" + std::string(69, ' ') + "│abc │"), std::string::npos)
        << term->snapshots[0];
}

TEST_F(CommonMensTest, Type12WaitsForAValidLetter) {
    keys({'x', ESC, 'n'});
    MensArgs args;
    args.name = "SN";
    EXPECT_EQ(MENS(12, "Confirma?", args).as_string(), "N");
    EXPECT_EQ(term->pending(), 0u);
}

TEST_F(CommonMensTest, ProgressWindowStaysOpenAndIsReused) {
    const std::string before = rt::SAVESCREEN();
    MensArgs args;
    args.col = rt::Value(5);
    MENS(13, "Lendo 1", args);
    EXPECT_TRUE(window_saved(10));
    EXPECT_EQ(Global("TAM_OLD").integer(), 9);
    EXPECT_EQ(Global("NL_OLD").integer(), 1);
    EXPECT_EQ(Global("CONT_OLD").integer(), 1);
    EXPECT_EQ(row(20).substr(5, 7), "Lendo 1");
    MENS(13, "Lendo 2", args);
    EXPECT_EQ(row(20).substr(5, 7), "Lendo 2");
    FECHAJAN(10);
    EXPECT_EQ(rt::SAVESCREEN(), before);
    EXPECT_TRUE(term->snapshots.empty());
}

TEST_F(CommonMensTest, ProgressWindowOfAnotherSizeReplacesTheOld) {
    const std::string before = rt::SAVESCREEN();
    MensArgs args;
    args.col = rt::Value(5);
    MENS(13, "curto", args);
    MENS(13, "mensagem mais longa", args);
    EXPECT_EQ(Global("TAM_OLD").integer(), 21);
    EXPECT_EQ(row(20).substr(5, 19), "mensagem mais longa");
    FECHAJAN(10);
    EXPECT_EQ(rt::SAVESCREEN(), before);
}

TEST_F(CommonMensTest, ProgressAfterTheCallerClosedTheWindowOpensItAgain) {
    MensArgs args;
    args.col = rt::Value(5);
    MENS(13, "Lendo 1", args);
    FECHAJAN(10);
    const std::string before = rt::SAVESCREEN();
    MENS(13, "Lendo 2", args);
    EXPECT_TRUE(window_saved(10));
    FECHAJAN(10);
    EXPECT_EQ(rt::SAVESCREEN(), before);
}

TEST_F(CommonMensTest, EntryFieldAbandonedLeavesTheVariableEmpty) {
    Global("cVar").set(rt::Value("ABC  "));
    keys({ESC});
    MensArgs args;
    args.row = 20;
    args.col = rt::Value(2);
    args.lines = 1;
    args.name = "cVar";
    const rt::Value answer = MENS(14, "Nome:", args);
    EXPECT_EQ(answer.as_string(), "");
    EXPECT_EQ(Global("cVar").text(), "");
}

TEST_F(CommonMensTest, EntryFieldSitsBehindTheText) {
    Global("cVar").set(rt::Value("ABC  "));
    keys({'J', 'O', 'S', 'E', ENTER});
    MensArgs args;
    args.col = rt::Value(2);
    args.name = "cVar";
    const rt::Value answer = MENS(14, "Nome:", args);
    EXPECT_EQ(answer.as_string(), "JOSE ");
    EXPECT_EQ(Global("cVar").text(), "JOSE ");
    // text at column 2, the field one blank behind it at column 8
    EXPECT_NE(term->snapshots.front().find("20 | │Nome: ABC  │"), std::string::npos) << term->snapshots.front();
    EXPECT_FALSE(window_saved(10));
}

TEST_F(CommonMensTest, NumericEntryWithPicture) {
    Global("nUsu").set(rt::Value(0));
    keys({'0', '7'});   // typing past the end leaves the field
    MensArgs args;
    args.col = rt::Value(2);
    args.name = "nUsu";
    args.width = 2;
    args.picture = "@z 99";
    EXPECT_EQ(MENS(14, "Terminal:", args).as_number(), 7);
    Global("nUsu").set(rt::Value(5));
    keys({ESC});
    EXPECT_EQ(MENS(14, "Terminal:", args).as_number(), 0);
}

TEST_F(CommonMensTest, EntryValidationMustHold) {
    Global("nVal").set(rt::Value(0));
    // 5 is refused by the validation, 12 is taken
    keys({'5', ENTER, '1', '2', ENTER});
    MensArgs args;
    args.col = rt::Value(2);
    args.name = "nVal";
    args.width = 3;
    args.picture = "999";
    args.valid = "nVal > 10";
    EXPECT_EQ(MENS(14, "Valor:", args).as_number(), 12);
}

TEST(CommonEntryWidth, ByType) {
    EXPECT_EQ(entry_width(rt::Value("abcd"), 0), 4);
    EXPECT_EQ(entry_width(rt::Value(12), 0), 10);
    EXPECT_EQ(entry_width(rt::Value(12), 3), 3);
    EXPECT_EQ(entry_width(rt::Value(rt::Date::from_ymd(2012, 1, 1)), 0), 8);
    EXPECT_EQ(entry_width(rt::Value(true), 0), 1);
}

}  // namespace
}  // namespace qv::common::testing

namespace qv::common::testing {
namespace {

TEST_F(CommonMensTest, ShadowedMessageWindow) {
    keys({ENTER});
    MensArgs args;
    args.col = rt::Value(10);
    args.row = 5;
    MENS(75, "Sombra", args);
    // width 6 + 2 + 1 = 9, margin 17: the text in colour 1 with the shadow
    // right behind it, the bottom shadow (margin - left + 2 = 9 cells) one row
    // down from column 11
    const std::string& shown = term->snapshots.at(0);
    EXPECT_NE(shown.find("05 |          Sombra░░"), std::string::npos) << shown;
    EXPECT_NE(shown.find("06 |           ░░░░░░░░░ "), std::string::npos) << shown;
    EXPECT_NE(shown.find("1E 10-15, 3F 16-17"), std::string::npos) << shown;
}

}  // namespace
}  // namespace qv::common::testing
