// The dispatcher: menu keys reach MENUSELECT with the right id, the bar the
// menu reopens on, and registered features.
#include "shell_fixture.hpp"

namespace qv::shell::testing {
namespace {

using namespace rt::literals;

class DispatchTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        rt::variables().set("OPCAO_1", rt::Value(1));
        rt::variables().set("NPOSMENU", rt::Value(1));
        menu = CREATEMAINMENU("W+/B,W/R+,W+/B,W+/B,GR+/B,GR+/B");
    }
    // Registers a feature that notes its id.
    void record(int id) {
        register_menu_feature(id, [this, id] { ran.push_back(id); });
    }
    int run_menu(int bar = 1) {
        rt::MenuModalOptions opt;
        opt.bar = bar;
        opt.msg_row = 24;
        return rt::menu_modal(*menu, opt);
    }

    std::shared_ptr<rt::TopBarMenu> menu;
    std::vector<int> ran;
};

TEST_F(DispatchTest, HotLetterChoosesTheItem) {
    record(13);
    type("C");   // "&Conferência" on the first bar, opened at once
    EXPECT_EQ(run_menu(), 13);
    EXPECT_EQ(ran, std::vector<int>{13});
    EXPECT_EQ(var_number("OPCAO_1"), 13);
    EXPECT_EQ(var_number("NPOSMENU"), 1);
}

TEST_F(DispatchTest, ArrowsReachAnItemOfALaterBar) {
    record(64);
    keys({rt::key::RIGHT, rt::key::RIGHT, rt::key::RIGHT, rt::key::RIGHT, rt::key::DOWN, rt::key::ENTER});
    EXPECT_EQ(run_menu(), 64);
    EXPECT_EQ(ran, std::vector<int>{64});
    EXPECT_EQ(var_number("OPCAO_1"), 64);
    EXPECT_EQ(var_number("NPOSMENU"), 5);   // no bar for ids 3x: the 6x ids lie on bar 5
}

TEST_F(DispatchTest, AltShortcutsChooseFromAnywhere) {
    record(18);
    record(91);
    keys({rt::key::RIGHT, rt::key::RIGHT, rt::key::alt_letter('T')});
    EXPECT_EQ(run_menu(), 18);
    keys({rt::key::alt_letter('R')});
    rt::variables().set("NPOSMENU", rt::Value(6));
    EXPECT_EQ(run_menu(3), 91);
    EXPECT_EQ(ran, (std::vector<int>{18, 91}));
    EXPECT_EQ(var_number("OPCAO_1"), 91);
    EXPECT_EQ(var_number("NPOSMENU"), 1);   // the ways out reopen on the first bar
}

TEST_F(DispatchTest, AltBarLetterOpensTheBar) {
    record(78);
    // "I&nforma o Compactador" has the hot letter N; "&Informa o processador" I.
    keys({rt::key::alt_letter('B'), 'I'});
    EXPECT_EQ(run_menu(), 78);
    EXPECT_EQ(var_number("NPOSMENU"), 6);
}

TEST_F(DispatchTest, BarOfEveryIdGroup) {
    const std::pair<int, int> cases[] = {{11, 1}, {17, 1}, {25, 2}, {41, 3}, {47, 3}, {52, 4},
                                         {68, 5}, {71, 6}, {78, 6}, {18, 1}, {91, 1}};
    for (const auto& [id, bar] : cases) {
        record(id);
        MENUSELECT(id);
        EXPECT_EQ(var_number("OPCAO_1"), id);
        EXPECT_EQ(var_number("NPOSMENU"), bar) << id;
    }
}

TEST_F(DispatchTest, OptionRunsWithTheSettingsTablesOpenOnTheTerminalsRecord) {
    make_settings_records();
    bool config_open = false, define_open = false;
    std::string terminal;
    register_menu_feature(28, [&] {
        config_open = tables::ws().table(42) != nullptr;
        define_open = tables::ws().table(43) != nullptr;
        if (config_open) terminal = tables::ws().table(42)->get("NRO_TERM").as_string();
    });
    MENUSELECT(28);
    EXPECT_TRUE(config_open);
    EXPECT_TRUE(define_open);
    EXPECT_EQ(terminal, "01");
    EXPECT_EQ(tables::ws().table(42), nullptr);
    EXPECT_EQ(tables::ws().table(43), nullptr);
}

TEST_F(DispatchTest, RoutineRegisteredByNameIsRun) {
    int calls = 0;
    fakes().exclui = [&](std::span<const rt::Value>) { ++calls; return rt::Value(); };
    register_fake("EXCLUI", &FakeRoutines::exclui);
    MENUSELECT(16);
    EXPECT_EQ(calls, 1);
    }

TEST_F(DispatchTest, RegisteredFeatureReplacesTheBuiltInOne) {
    record(14);
    MENUSELECT(14);
    EXPECT_EQ(ran, std::vector<int>{14});
    register_menu_feature(14, {});
    EXPECT_FALSE(has_menu_feature(14));
}

TEST_F(DispatchTest, SeparatorsCannotBeChosen) {
    record(18);
    // From "&Importação" one step down skips the separator to "&Terminar".
    keys({rt::key::END, rt::key::UP, rt::key::DOWN, rt::key::ENTER});
    EXPECT_EQ(run_menu(), 18);
}

}  // namespace
}  // namespace qv::shell::testing
