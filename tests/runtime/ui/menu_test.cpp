// The top-bar menu: choosing by hot letter, arrows and Alt keys, status-line
// texts, captions changed while the program runs.
#include <gtest/gtest.h>

#include <string>

#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/backend.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/menu.hpp"

namespace qv::rt {
namespace {

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        term = &use_headless();
        CLEAR_TYPEAHEAD();
        auto& decl = menu.add_bar(" Dec&laração  "_cp);
        decl.add("&Declaração"_cp, 11, "Inicia ou modifica uma declaração"_cp);
        decl.add("&Lancamentos", 12, "Prepara todos os lançamentos em um so local."_cp);
        decl.add_separator();
        decl.add("&Terminar", 18, "Sai do programa", key::alt_letter('T'));
        auto& opc = menu.add_bar("O&pções"_cp);
        opc.add("&Area de trabalho", 21, "Seleciona drive e a pasta");
        opc.add("&Trans.declaração"_cp, 22, "Transfere a declaração"_cp);
        auto& sel = menu.add_bar("Selecã&o"_cp);
        sel.add("&1-IRenda modo Receita", 41, "Selecione O QUE será impresso."_cp);
        sel.add("&7-Vias 1", 47, "Informe o número de vias"_cp);
        auto& sair = menu.add_bar("&Sair");
        sair.add("Sai&r ", 91, "Sai do programa ", key::alt_letter('R'));
    }
    void TearDown() override { SETKEY(key::F10, {}); }

    void keys(std::initializer_list<int> codes) {
        for (int c : codes) term->feed(c);
    }
    // F10 in the key queue takes a copy of a screen row while the menu runs.
    void snap_on_f10(int row) {
        SETKEY(key::F10, [this, row] { snaps.push_back(row_text(row)); });
    }

    HeadlessBackend* term = nullptr;
    TopBarMenu menu{0, "N/W,W+/N,R/W,R+/N,N+/W,N/W"};
    std::vector<std::string> snaps;
};

TEST_F(MenuTest, HotLetterChoosesInTheOpenPopUp) {
    keys({'l'});
    EXPECT_EQ(menu_modal(menu), 12);
    keys({'T'});
    EXPECT_EQ(menu_modal(menu), 18);
}

TEST_F(MenuTest, ArrowsSkipTheSeparatorAndWrap) {
    keys({key::DOWN, key::DOWN, key::ENTER});
    EXPECT_EQ(menu_modal(menu), 18);
    keys({key::UP, key::UP, key::ENTER});   // 11 -> 18 (wraps) -> 12
    EXPECT_EQ(menu_modal(menu), 12);
}

TEST_F(MenuTest, LeftAndRightMoveBetweenBarsWithThePopUpOpen) {
    int bar = 0;
    keys({key::RIGHT, key::DOWN, key::ENTER});
    EXPECT_EQ(menu_modal(menu, {}, &bar), 22);
    EXPECT_EQ(bar, 2);
    keys({key::LEFT, key::ENTER});   // from the first bar to the last
    EXPECT_EQ(menu_modal(menu, {}, &bar), 91);
    EXPECT_EQ(bar, 4);
}

TEST_F(MenuTest, AltLetterOpensABarAndItemShortcutsChooseAtOnce) {
    keys({key::alt_letter('P'), 't'});
    EXPECT_EQ(menu_modal(menu), 22);
    keys({key::alt_letter('o'), key::DOWN, key::ENTER});
    EXPECT_EQ(menu_modal(menu), 47);
    keys({key::alt_letter('R')});
    EXPECT_EQ(menu_modal(menu), 91);
    keys({key::RIGHT, key::alt_letter('T')});
    EXPECT_EQ(menu_modal(menu), 18);
}

TEST_F(MenuTest, ItemShortcutsWinOverKeysBoundAroundTheMenuOthersStillRun) {
    int bound = 0;
    SETKEY(key::alt_letter('T'), [&bound] { ++bound; });
    SETKEY(key::alt_letter('Q'), [&bound] { ++bound; });
    keys({key::alt_letter('Q'), key::alt_letter('T')});
    EXPECT_EQ(menu_modal(menu), 18);
    EXPECT_EQ(bound, 1);
    SETKEY(key::alt_letter('T'), {});
    SETKEY(key::alt_letter('Q'), {});
}

TEST_F(MenuTest, EscClosesThePopUpThenLeavesWithNoChoice) {
    at_say(3, 0, "under the pop-up");
    snap_on_f10(3);
    keys({key::F10, key::ESC, key::F10, key::ESC});
    EXPECT_EQ(menu_modal(menu), 0);
    ASSERT_EQ(snaps.size(), 2u);
    EXPECT_NE(TRIM(snaps[0]), "under the pop-up");   // covered by the pop-up
    EXPECT_EQ(TRIM(snaps[1]), "under the pop-up");   // restored by Esc
    EXPECT_EQ(TRIM(row_text(3)), "under the pop-up");
}

TEST_F(MenuTest, StartsOnTheGivenBarAndBarLettersOpenBarsWhenClosed) {
    MenuModalOptions opt;
    opt.bar = 3;
    keys({key::ENTER});
    EXPECT_EQ(menu_modal(menu, opt), 41);
    opt.open_popup = false;
    keys({'s', key::ENTER});
    EXPECT_EQ(menu_modal(menu, opt), 91);
}

TEST_F(MenuTest, StatusLineShowsTheHighlightedItemsText) {
    MenuModalOptions opt;
    opt.msg_row = 24;
    at_say(24, 0, "status before");
    snap_on_f10(24);
    keys({key::F10, key::DOWN, key::F10, key::ESC, key::F10, key::ESC});
    EXPECT_EQ(menu_modal(menu, opt), 0);
    ASSERT_EQ(snaps.size(), 3u);
    EXPECT_EQ(ALLTRIM(snaps[0]), "Inicia ou modifica uma declaração"_cp);
    EXPECT_EQ(snaps[0].find("Inicia"), (80 - 33) / 2u);   // centred
    EXPECT_EQ(ALLTRIM(snaps[1]), "Prepara todos os lançamentos em um so local."_cp);
    EXPECT_EQ(ALLTRIM(snaps[2]), "");   // on the bar, no item
    EXPECT_EQ(TRIM(row_text(24)), "status before");
}

TEST_F(MenuTest, BarAndPopUpAreDrawnWithHotLettersInTheirColour) {
    snap_on_f10(0);
    keys({key::F10, key::ESC, key::ESC});
    menu_modal(menu);
    ASSERT_EQ(snaps.size(), 1u);
    // " Dec&laração  " is shown as "  Declaração   " (one blank each side).
    EXPECT_EQ(snaps[0].substr(0, 15), "  Declaração   "_cp);
    // After the loop the bar stays, none highlighted: "l" in the hot colour.
    EXPECT_EQ(cell_at(0, 5).ch, 'l');
    EXPECT_EQ(cell_at(0, 5).attr, parse_colour("R/W"));
    EXPECT_EQ(cell_at(0, 4).attr, parse_colour("N/W"));
}

TEST_F(MenuTest, CaptionsChangedAtRunTimeAreShownAndChosen) {
    // The item's own action changes its caption, as the print selection does.
    MenuItem* vias = menu.find(47);
    ASSERT_NE(vias, nullptr);
    int runs = 0;
    vias->action = [&](MenuItem& item) {
        ++runs;
        item.caption = "&7-Vias 3";
    };
    keys({key::alt_letter('O'), '7'});
    EXPECT_EQ(menu_modal(menu), 47);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(menu.find(47)->text(), "7-Vias 3");
    EXPECT_TRUE(menu.set_caption(41, "&1-Darfes"));
    EXPECT_FALSE(menu.set_caption(99, "x"));
    snap_on_f10(2);
    keys({key::alt_letter('O'), key::F10, '1'});
    EXPECT_EQ(menu_modal(menu), 41);
    ASSERT_EQ(snaps.size(), 1u);
    EXPECT_NE(snaps[0].find("1-Darfes"), std::string::npos);
    EXPECT_EQ(runs, 1);
}

TEST_F(MenuTest, DisabledItemsCannotBeChosen) {
    ASSERT_TRUE(menu.set_enabled(12, false));
    keys({'l', key::DOWN, key::ENTER});   // 'l' does nothing; Down skips 12
    EXPECT_EQ(menu_modal(menu), 18);
}

TEST_F(MenuTest, SubPopUpOpensToTheRight) {
    auto sub = std::make_shared<PopUp>();
    sub->add("&Primeiro", 81);
    sub->add("&Segundo", 82);
    MenuItem more;
    more.caption = "&Mais";
    more.sub = sub;
    menu.bars()[1].popup->add(more);
    keys({key::alt_letter('P'), 'm', key::DOWN, key::ENTER});
    EXPECT_EQ(menu_modal(menu), 82);
    // Left closes only the sub-pop-up.
    keys({key::alt_letter('P'), 'm', key::LEFT, 'a'});
    EXPECT_EQ(menu_modal(menu), 21);
}

TEST(MenuItemTest, HotLetterAndSeparator) {
    MenuItem item;
    item.caption = "Sai&r ";
    EXPECT_EQ(item.text(), "Sair ");
    EXPECT_EQ(item.hot_pos(), 3);
    EXPECT_EQ(item.hot_letter(), 'R');
    item.caption = "\xC4";
    EXPECT_TRUE(item.is_separator());
    item.caption = "sem marca";
    EXPECT_EQ(item.hot_letter(), '\0');
    item.caption = "&ção"_cp;   // accented hot letters compare upper case
    EXPECT_EQ(item.hot_letter(), upper_char("ç"_cp[0]));
}

}  // namespace
}  // namespace qv::rt
