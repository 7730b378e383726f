// The screen loop walked with the keyboard on the headless screen: frames
// shown, pages chosen, the timed save.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include <string>

#include "../system_fixture.hpp"
#include "common/globals.hpp"
#include "declaration/loop/key_bindings.hpp"
#include "declaration/loop/page_globals.hpp"
#include "declaration/loop/screen_loop.hpp"
#include "declaration/loop/usage.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/functions.hpp"

namespace qv::declaration {
namespace {

namespace key = rt::key;

class ScreenLoop : public test_support::FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        set("TELA", 6);
        set("OPCIR_1", 61);
        set("PVEZ", false);
        set("TEMRURAL", "N");
        set("ATV_BRASIL", " ");
        set("INI", "N");
        set("TEMP_SAL", 0);
        set("USAPADRAO", "S");
        bindings.bind(key::TAB, MUDATAB);
        bindings.bind(key::SHIFT_TAB, MUDATAB);
        bindings.bind(key::F5, MUDATEL);
        // The lists of the pages stand in as one key each: the loop, not
        // the lists, is under test here.
        for (const char* list : {"EDITA", "RENDPJ", "RENDPF", "GANHO3"})
            rt::register_function(list, [](std::span<const rt::Value>) {
                // A list only shown (SO_MOS 0) takes no key.
                if (!common::Global{"SO_MOS"}.exists() || common::Global{"SO_MOS"}.integer(1) != 0) list_key();
                return rt::Value();
            });
    }
    // A list's key: a bound key runs its routine; Esc leaves the list as a
    // list is left, with the page-change flag; Enter and the page keys are
    // recorded as the key that ended it.
    static void list_key() {
        const int k = rt::INKEY(-1);
        if (const rt::KeyHandler* handler = rt::key_handler(k); handler && *handler) {
            (*handler)();
            return;
        }
        if (k == key::ESC) vars::TECLAMUDA.set(rt::Value(true));
        if (k == key::ESC || k == key::ENTER || k == key::PGDN || k == key::PGUP) vars::ULTTECLA.set(rt::Value(k));
    }
    void TearDown() override {
        bindings.clear();
        rt::reset_clock();
        FoldersTest::TearDown();
    }
    static void set(const char* name, rt::Value v) { common::Global{name}.set(std::move(v)); }
    static int page() { return vars::TELA.integer(); }
    // Shown while a key was awaited, or still on the screen at the end (a
    // list that finds its keys already typed takes them without a wait).
    bool shown(const char* utf8) const { return term->showed(utf8) || term->dump().find(utf8) != std::string::npos; }

    KeyBindings bindings;
};


TEST_F(ScreenLoop, NewTaxpayerWalksFromIdentificationThroughTheIncomePages) {
    set("PVEZ", true);
    // 6 -> 1 -> 2 -> 3 (31, 32) -> 4 (41), Shift+Tab stays on 41, Esc leaves.
    keys({key::TAB, key::TAB, key::TAB, key::TAB, key::TAB, key::TAB, key::SHIFT_TAB, key::ESC});
    GIRO();
    EXPECT_EQ(page(), 4);
    EXPECT_FALSE(vars::flag(vars::PVEZ));
    EXPECT_TRUE(shown("IDENTIFICAÇÃO"));
    EXPECT_TRUE(shown("RENDIMENTOS ISENTOS E NÃO TRIBUTÁVEIS"));
    EXPECT_TRUE(shown("TRIBUTAÇÃO EXCLUSIVA NA FONTE - Titular"));
    EXPECT_TRUE(shown("RELAÇÃO DOS DEPENDENTES"));
    EXPECT_TRUE(shown("1=PJ 2=PF 3=Ise 4=Pgto"));
    EXPECT_EQ(vars::OPCIR_1.integer(), 41);
}

TEST_F(ScreenLoop, RuralPagesAbroadSkipTheMonthlyPage) {
    set("TEMRURAL", "S");
    set("ATV_BRASIL", "N");
    set("TELA", 12);
    set("OPCIR_1", 121);
    // 12 -> 14 (13 skipped) -> 15, PgUp back to 14, Shift+Tab to 12, PgDn stays, Esc.
    keys({key::TAB, key::TAB, key::PGUP, key::SHIFT_TAB, key::PGDN, key::ESC});
    GIRO();
    EXPECT_EQ(page(), 12);
    EXPECT_TRUE(shown("APURAÇÃO DO RESULTADO"));
    EXPECT_TRUE(shown("MOVIMENTAÇÃO DO REBANHO"));
    EXPECT_FALSE(shown("RECEITAS E DESPESAS MENSAIS"));
}

TEST_F(ScreenLoop, ZoomPageGoesBackToTheAssetsAndAFunctionKeyChoosesAPage) {
    set("TELA", 22);
    set("OPCIR_1", 221);
    set("ZOOM_BEM", true);
    set("TELANT", 5);
    // 22 -> 5 (Shift+Tab) on the assets, Tab to the debts, Tab -> 6; F5 on
    // the identification form -> 5; Esc.
    keys({key::SHIFT_TAB, key::TAB, key::TAB, key::F5, key::ESC});
    GIRO();
    EXPECT_EQ(page(), 5);
    EXPECT_TRUE(shown("BENS E DÍVIDAS - ZOOM"));
    EXPECT_TRUE(shown("DECLARAÇÃO DE BENS"));
    EXPECT_TRUE(shown("IDENTIFICAÇÃO"));
}

TEST_F(ScreenLoop, IndexLetterChoosesThePageAndHelpLeavesWithEsc) {
    bindings.bind(key::alt_letter('I'), [] { ESC_HORIZ(1); });
    bindings.bind(key::alt_letter('H'), [] { ESC_HORIZ(2); });
    // On the identification: Alt+H, Esc; Alt+I, Right, Left, "b" (balance); Esc there.
    keys({key::alt_letter('H'), key::ESC, key::alt_letter('I'), key::RIGHT, key::LEFT, 'b', key::ESC});
    GIRO();
    EXPECT_EQ(page(), 10);
    EXPECT_TRUE(shown("Funções"));
    EXPECT_TRUE(shown("Cálculo do imposto"));
    EXPECT_TRUE(shown("BALANÇO"));
}

// The index and help bar is one strip on the page's top line: nothing of
// the page's title shows between its two items.
TEST_F(ScreenLoop, TheIndexAndHelpBarHidesThePageTitleBetweenItsItems) {
    rt::at_say(1, 0, std::string(80, '#'));   // a page's title on its top line
    keys({key::ESC});
    ESC_HORIZ(2);
    // The screen as it waited for the key under the bar: its top line.
    std::string bar;
    for (const std::string& shot : term->snapshots)
        if (const auto at = shot.find("\n01 |"); at != std::string::npos) {
            const std::string line = shot.substr(at + 5, shot.find('\n', at + 1) - at - 5);
            if (line.find("Help") != std::string::npos) bar = line;
        }
    ASSERT_FALSE(bar.empty()) << term->all_snapshots();
    EXPECT_NE(bar.find("\u00CDndice    Help "), std::string::npos) << bar;
}

// Enter on the bar's help list chooses the topic on that same list: the
// highlight never jumps to a box of its own elsewhere on the page.
TEST_F(ScreenLoop, TheHelpTopicIsChosenOnTheListTheBarShows) {
    keys({key::ENTER, key::ESC});
    ESC_HORIZ(2);
    // row and column of "Geral" on each screen that waited for a key
    std::vector<std::pair<std::size_t, std::size_t>> places;
    for (const std::string& shot : term->snapshots) {
        std::size_t row = 0;
        for (std::size_t start = 0; start < shot.size(); ++row) {
            const std::size_t end = std::min(shot.find('\n', start), shot.size());
            if (const auto at = shot.substr(start, end - start).find("Geral"); at != std::string::npos)
                places.emplace_back(row, at);
            start = end + 1;
        }
    }
    ASSERT_GE(places.size(), 2u) << term->all_snapshots();   // the bar, then the choice
    for (const auto& place : places) EXPECT_EQ(place, places.front()) << term->all_snapshots();
}

TEST_F(ScreenLoop, F12WithoutRuralActivityDoesNothing) {
    bindings.bind(key::F12, MUDATEL);
    keys({key::F12, key::ESC});
    GIRO();
    EXPECT_EQ(page(), 6);
    EXPECT_FALSE(shown("ATIVIDADE RURAL"));
}

TEST_F(ScreenLoop, EnterOnTheNotesWithoutRuralShowsTheNotesAgain) {
    set("TELA", 11);
    set("OPCIR_1", 111);
    for (int i = 0; i < 9; ++i) term->feed(key::ENTER);   // past the nine fields
    keys({key::ESC});
    GIRO();
    EXPECT_EQ(page(), 11);
}

struct AutosaveCase {
    int minutes;
    bool saves;
    int mode = 1;   // the options' autosave mode: 1 by the clock, 2 by hand, 3 at the end
};

class Autosave : public ScreenLoop, public ::testing::WithParamInterface<AutosaveCase> {};

TEST_P(Autosave, FiresAfterTheSetMinutesOfTheClock) {
    static int saves = 0;
    saves = 0;
    rt::register_function("SALVATUDO", [](std::span<const rt::Value> a) {
        if (!a.empty() && a[0].as_number() == 0) ++saves;
        return rt::Value(true);
    });
    rt::set_clock(rt::DATE(), 10 * 3600);
    set("SEM_SALV", "09:57:00");
    set("TEMP_SAL", GetParam().minutes);
    set("COMO_SAL", GetParam().mode);
    keys({key::ESC});
    GIRO();
    EXPECT_EQ(saves, GetParam().saves ? 1 : 0);
    EXPECT_EQ(vars::SEM_SALV.text(), GetParam().saves ? "10:00:00" : "09:57:00");
    rt::register_function("SALVATUDO", [](std::span<const rt::Value>) { return rt::Value(); });
}

INSTANTIATE_TEST_SUITE_P(Minutes, Autosave,
                         ::testing::Values(AutosaveCase{3, true}, AutosaveCase{2, true}, AutosaveCase{4, false},
                                           AutosaveCase{0, false}, AutosaveCase{98, false},
                                           AutosaveCase{99, false},
                                           // The default settings: saved by hand, an interval left over.
                                           AutosaveCase{3, false, 2}, AutosaveCase{3, false, 3}));

TEST_F(ScreenLoop, UsageTimeAcrossMidnightCountsTheWholeDay) {
    rt::set_clock(rt::DATE(), 100);   // 00:01:40
    set("INI_DECLA", 86300);          // 23:58:20
    set("TEM_USO", 10);
    EXPECT_EQ(VETEMPO(1), 210);
    set("SEMHORA", true);
    EXPECT_EQ(VETEMPO(1), 10);        // a stopped clock counts nothing since
}

}  // namespace
}  // namespace qv::declaration
