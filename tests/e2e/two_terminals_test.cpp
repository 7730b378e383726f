// Two terminals on one folder asking for the same taxpayer: the second is
// told which terminal has it, and its box goes by itself once the first
// has saved, or once the first terminal's program is gone.
#include <gtest/gtest.h>

#include "e2e/declaration_e2e.hpp"

using namespace std::chrono_literals;

namespace {

class E2eTwoTerminals : public qv::e2e::DeclarationE2eTest {
protected:
    E2eTwoTerminals() : DeclarationE2eTest("qv_e2e_two_") {}
    static void identification(qv::e2e::TmuxSession& s) {
        s.keys("F6");
        ASSERT_TRUE(s.wait_for("IDENTIFICAÇÃO", 5s)) << s.screen_text();
    }
    // Main menu item 11 and the CPF, as far as the box of the other terminal.
    static void ask_for_taxpayer(qv::e2e::TmuxSession& s, bool new_taxpayer) {
        ASSERT_TRUE(s.wait_for("Declaração", 20s)) << s.screen_text();
        s.keys("Enter");
        ASSERT_TRUE(s.wait_for("F1 Nome F2 CPF F3 Stat", 5s)) << s.screen_text();
        s.text("11144477735");
        if (new_taxpayer) {
            ASSERT_TRUE(s.wait_for("Inclui?", 5s)) << s.screen_text();
            s.keys("Enter");
        }
        ASSERT_TRUE(s.wait_for("Contribuinte 111.444.777-35 em uso no terminal 01.", 5s)) << s.screen_text();
    }
};

TEST_F(E2eTwoTerminals, TheSecondTerminalWaitsForTheFirstAndSeesWhatItSaved) {
    auto first = start("01");
    open_declaration(*first, true);
    identification(*first);
    first->keys("Enter");
    first->text("MARIA DA SILVA");
    first->keys("Enter");
    auto second = start("02");
    ask_for_taxpayer(*second, true);
    save_and_leave(*first);
    // no key: the box went by itself, and the taxpayer is the one saved
    ASSERT_TRUE(second->wait_for("P.Jur", 10s)) << second->screen_text();
    identification(*second);
    EXPECT_TRUE(second->wait_for("MARIA DA SILVA", 5s)) << second->screen_text();
    save_and_leave(*second);
}

TEST_F(E2eTwoTerminals, ATerminalWhoseProgramIsKilledHoldsNothing) {
    {
        auto first = start("01");
        open_declaration(*first, true);
        save_and_leave(*first);
    }
    auto first = start("01");
    open_declaration(*first, false);
    auto second = start("02");
    ask_for_taxpayer(*second, false);
    first.reset();   // the first terminal's program ends abnormally
    ASSERT_TRUE(second->wait_for("P.Jur", 10s)) << second->screen_text();
    save_and_leave(*second);
}

}  // namespace
