// Option bars over window lines, the star-marker list and pull-down menus.
#include "common/option_bar.hpp"

#include "common/globals.hpp"
#include "common/submenu.hpp"
#include "common/windows.hpp"
#include "common_fixture.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"

namespace qv::common::testing {
namespace {

using rt::operator""_cp;
using rt::key::DOWN;
using rt::key::END;
using rt::key::ENTER;
using rt::key::ESC;
using rt::key::HOME;
using rt::key::UP;

constexpr rt::Attr kHighlight = 0x4F;   // COR_ESCOL 79: W+/R
constexpr rt::Attr kNormal = 0x1E;      // COR_TEL1 30: GR+/B

class CommonOptionBarTest : public CommonTest {
protected:
    // Window 6: plain, rows 5-7, columns 30-39, three items of 10 columns.
    void SetUp() override {
        CommonTest::SetUp();
        Global("COR_ESCOL").set(rt::Value(79));
        Global("COR_TEL1").set(rt::Value(30));
        Global("OPCOES").set(rt::Value("ABC"));
        Global("POSVER").set(rt::Value(0));
        REDEFJAN(6, 30, 31, 63, 5, 30, 7, 39, 0);
        ABREJAN(6);
        ESCRJAN(6, "Alfa      Beta      Carlos    ");
    }
    int highlighted_row() const {
        for (int r = 5; r <= 7; ++r)
            if (attr(r, 30) == kHighlight) return r;
        return -1;
    }
};

TEST_F(CommonOptionBarTest, StartsOnTheFirstItemAndEnterChooses) {
    keys({ENTER});
    EXPECT_EQ(ESC_OPCAO(6, 3, 1, 10), 1);
    EXPECT_EQ(Global("POSVER").integer(), 1);
    EXPECT_NE(term->snapshots[0].find("05 |" + std::string(30, ' ') + "Alfa"), std::string::npos);
    EXPECT_NE(term->snapshots[0].find("4F 30-39"), std::string::npos) << term->snapshots[0];
}

TEST_F(CommonOptionBarTest, DownStopsOnTheLastItem) {
    keys({DOWN, DOWN, DOWN, DOWN, ENTER});
    EXPECT_EQ(ESC_OPCAO(6, 3, 1, 10), 3);
    EXPECT_EQ(highlighted_row(), 7);
    EXPECT_EQ(attr(5, 30), kNormal);
}

TEST_F(CommonOptionBarTest, UpStopsOnTheFirstItemAndHomeEndJump) {
    Global("POSVER").set(rt::Value(2));
    keys({UP, UP, END, ENTER});
    EXPECT_EQ(ESC_OPCAO(6, 3, 1, 10), 3);
    keys({HOME, ENTER});
    EXPECT_EQ(ESC_OPCAO(6, 3, 1, 10), 1);
}

TEST_F(CommonOptionBarTest, EscAnswersZeroAndClosesWhenAsked) {
    const std::string open_screen = rt::SAVESCREEN();
    keys({ESC});
    EXPECT_EQ(ESC_OPCAO(6, 3, 1, 10), 0);
    EXPECT_EQ(Global("POSVER").integer(), 0);
    EXPECT_TRUE(window_saved(6));
    keys({ESC});
    ESC_OPCAO(6, 3, 1, 10, 0, 1);
    EXPECT_FALSE(window_saved(6));
    EXPECT_EQ(row(5).substr(30, 4), "    ");
}

TEST_F(CommonOptionBarTest, HotLetterChoosesAtOnce) {
    keys({'c'});
    EXPECT_EQ(ESC_OPCAO(6, 3, 1, 10), 3);
    EXPECT_EQ(term->pending(), 0u);
    keys({'x', 'B'});
    EXPECT_EQ(ESC_OPCAO(6, 3, 1, 10), 2);
}

TEST_F(CommonOptionBarTest, StatusLineShowsTheItemMessage) {
    const rt::Value messages = rt::Value::array();
    for (const char* m : {"Primeira", "Segunda", "Terceira"}) messages.as_array()->push_back(rt::Value(m));
    Global("MENSMENU").set(messages);
    keys({DOWN, ENTER});
    ESC_OPCAO(6, 3, 1, 10, 0, 0, 1);
    ASSERT_EQ(term->snapshots.size(), 2u);
    EXPECT_NE(term->snapshots[0].find("24 |" + std::string(36, ' ') + "Primeira"), std::string::npos)
        << term->snapshots[0];
    EXPECT_NE(term->snapshots[1].find("Segunda"), std::string::npos);
}

// An item chosen by its letter has its own text on the status line while
// it runs, not the text of the item the bar stood on.
TEST_F(CommonOptionBarTest, HotLetterPutsTheChosenItemsMessageOnTheStatusLine) {
    const rt::Value messages = rt::Value::array();
    for (const char* m : {"Primeira", "Segunda", "Terceira"}) messages.as_array()->push_back(rt::Value(m));
    Global("MENSMENU").set(messages);
    keys({'c'});
    EXPECT_EQ(ESC_OPCAO(6, 3, 1, 10, 0, 0, 1), 3);
    EXPECT_NE(row(24).find("Terceira"), std::string::npos) << row(24);
    EXPECT_EQ(row(24).find("Primeira"), std::string::npos) << row(24);
}

TEST_F(CommonOptionBarTest, AltAOpensTheCalculatorWithoutHelpTopic) {
    std::string topic_seen;
    rt::register_function("CALCULADORA", [&](std::span<const rt::Value>) {
        topic_seen = Global("QUALHLP").text();
        return rt::Value(false);
    });
    Global("QUALHLP").set(rt::Value("TELA11"));
    keys({rt::key::ALT_A, ENTER});
    EXPECT_EQ(ESC_OPCAO(6, 3, 1, 10), 1);
    EXPECT_EQ(topic_seen, "NADA");
    EXPECT_EQ(Global("QUALHLP").text(), "TELA11");
    rt::register_function("CALCULADORA", [](std::span<const rt::Value>) { return rt::Value(); });
}

TEST_F(CommonOptionBarTest, RowOffsetAndColumn) {
    REDEFJAN(7, 30, 31, 63, 10, 10, 14, 29, 0);
    ESCRJAN(7, std::string(20, '-') + "  um                  dois              ");
    keys({DOWN, ENTER});
    EXPECT_EQ(ESC_OPCAO(7, 2, 3, 4, 1), 2);
    EXPECT_EQ(attr(12, 12), kHighlight);
    EXPECT_EQ(row(12).substr(12, 4), "dois");
    EXPECT_EQ(attr(11, 12), kNormal);
}

TEST_F(CommonOptionBarTest, StarMarkerList) {
    keys({DOWN, DOWN, UP, ENTER});
    EXPECT_EQ(ESC_ITEM(6, 3, 10, 0, 1), 2);
    EXPECT_EQ(ch(6, 39), '*');
    EXPECT_EQ(ch(5, 39), ' ');
    EXPECT_EQ(ch(7, 39), ' ');
    keys({END, ESC});
    EXPECT_EQ(ESC_ITEM(6, 3, 10, 0, 1), 0);
}

TEST(CommonSubmenu, BuildsAPopUpWithOneActionAndSeparators) {
    rt::TopBarMenu bar;
    int ran = 0;
    const MenuAction action = [&ran](rt::MenuItem& item) { ran = item.id; };
    rt::PopUp& popup = CREATESUBMENU(bar, "&Opções"_cp, action,
                                     {{"&Pastas", 0, "Pastas de dados", 21},
                                      {"─"_cp, 0, "", 0},
                                      {"&Cores", rt::key::alt_letter('C'), "Cores da tela", 22}});
    ASSERT_EQ(bar.bars().size(), 1u);
    EXPECT_EQ(bar.bars()[0].caption, "&Opções"_cp);
    ASSERT_EQ(popup.items().size(), 3u);
    EXPECT_TRUE(popup.items()[1].is_separator());
    EXPECT_EQ(popup.items()[2].shortcut, rt::key::alt_letter('C'));
    EXPECT_EQ(popup.items()[2].message, "Cores da tela");
    popup.items()[0].action(popup.items()[0]);
    EXPECT_EQ(ran, 21);
    popup.items()[2].action(popup.items()[2]);
    EXPECT_EQ(ran, 22);
    EXPECT_EQ(bar.find(22), &popup.items()[2]);
}

}  // namespace
}  // namespace qv::common::testing
