// The screen loop's choice of the next page from the key that ended a page.
#include <gtest/gtest.h>

#include "declaration/entry/form_runner.hpp"
#include "declaration/entry/page_fields.hpp"
#include "declaration/loop/page_moves.hpp"
#include "runtime/core/expr.hpp"
#include "shell/routine_registry.hpp"
#include "runtime/screen/keys.hpp"

namespace qv::declaration {
namespace {

namespace key = rt::key;

struct MoveCase {
    const char* what;
    PageState from;
    int key;
    bool changed;
    int tela, opcir;
    bool pvez = false;
};

PageState at(int tela, int opcir, bool rural = false, bool abroad = false, bool pvez = false) {
    PageState s;
    s.tela = tela;
    s.opcir = opcir;
    s.rural = rural;
    s.rural_abroad = abroad;
    s.pvez = pvez;
    return s;
}

class PageMoves : public ::testing::TestWithParam<MoveCase> {};

TEST_P(PageMoves, KeyChoosesThePage) {
    const MoveCase& c = GetParam();
    PageState s = c.from;
    EXPECT_TRUE(move_by_key(s, c.key, c.changed));
    EXPECT_EQ(s.tela, c.tela);
    EXPECT_EQ(s.opcir, c.opcir);
    EXPECT_EQ(s.pvez, c.pvez);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, PageMoves,
    ::testing::Values(
        MoveCase{"PgDn shows the page again", at(5, 51), key::PGDN, false, 5, 51},
        MoveCase{"PgUp from a zoom page goes to the assets", at(22, 221), key::PGUP, false, 5, 51},
        MoveCase{"PgUp from the balance goes to the tax", at(10, 101), key::PGUP, false, 7, 71},
        MoveCase{"PgUp from the notes goes to the balance", at(11, 111), key::PGUP, false, 10, 101},
        MoveCase{"Shift+Tab from the gains goes to the tax", at(9, 91), key::SHIFT_TAB, false, 7, 71},
        MoveCase{"Shift+Tab goes one page back", at(3, 31), key::SHIFT_TAB, false, 2, 21},
        MoveCase{"Shift+Tab skips page 13 abroad", at(14, 141, true, true), key::SHIFT_TAB, false, 12, 121},
        MoveCase{"Shift+Tab on page 1 goes to the holder", at(1, 12), key::SHIFT_TAB, false, 1, 11},
        MoveCase{"Shift+Tab on the last rural page stays", at(17, 171, true), key::SHIFT_TAB, false, 17, 171},
        MoveCase{"Tab from a new taxpayer's identification", at(6, 61, false, false, true), key::TAB, false, 1, 11},
        MoveCase{"Tab on the dependants goes to the alimony list", at(4, 41), key::TAB, false, 4, 42},
        MoveCase{"Tab from the tax goes to the balance, id kept", at(7, 71), key::TAB, false, 10, 71},
        MoveCase{"Tab from the balance goes to the notes, id kept", at(10, 101), key::TAB, false, 11, 101},
        MoveCase{"Tab from the last page goes to page 1", at(11, 111), key::TAB, false, 1, 11},
        MoveCase{"Tab from the last rural page goes to the first", at(17, 171, true), key::TAB, false, 12, 171},
        MoveCase{"Tab from the gains goes to the tax", at(8, 81), key::TAB, false, 7, 71},
        MoveCase{"Tab from a zoom page goes to the lists", at(23, 231), key::TAB, false, 4, 41},
        MoveCase{"Tab skips page 13 abroad", at(12, 121, true, true), key::TAB, false, 14, 131},
        MoveCase{"Tab goes to the next page", at(11, 111, true), key::TAB, false, 12, 121},
        MoveCase{"Enter on a new taxpayer's identification", at(6, 61, false, false, true), key::ENTER, false, 1, 61},
        MoveCase{"Enter goes to the next number", at(11, 111), key::ENTER, false, 12, 111},
        MoveCase{"Another key on a new taxpayer", at(6, 61, false, false, true), 0, false, 1, 11},
        MoveCase{"Another key past the notes without rural", at(11, 111), 0, false, 10, 111},
        MoveCase{"Another key past the notes with rural", at(11, 111, true), 0, false, 12, 111},
        MoveCase{"Another key on the gains goes to the balance", at(8, 81), 0, false, 10, 81},
        MoveCase{"A page chosen by a key handler stays", at(5, 51), -4, true, 5, 51}));

TEST(PageMoves, EscLeavesTheLoop) {
    PageState s = at(3, 31);
    EXPECT_FALSE(move_by_key(s, key::ESC, false));
}

TEST(PageMoves, PagesAboveTheLastComeBack) {
    PageState s = at(12, 121);
    s.telant = 11;
    EXPECT_EQ(clamp_page(s), 11);   // Enter on the notes without rural
    s.tela = 18;
    EXPECT_EQ(clamp_page(s), 12);
    s.tela = 22;
    EXPECT_EQ(clamp_page(s), 22);
    s.rural = true;
    s.tela = 17;
    EXPECT_EQ(clamp_page(s), 17);
}

// Every check and condition compiles against the main program's routines;
// one naming a routine that is not registered is a fault of the program.
TEST(PageFields, EveryCheckAndConditionCompiles) {
    shell::register_system_routines();
    for (const int form : form_numbers())
        for (const PageField& f : page_form(form))
            for (const char* text : {f.valid, f.when}) {
                EXPECT_NO_THROW(built_condition(text)) << form << " " << f.var << ": " << text;
            }
    EXPECT_TRUE(static_cast<bool>(built_condition("TEMRURAL == \"S\"")));
    EXPECT_THROW(built_condition("NOT_REGISTERED(1) .AND. .T."), rt::ExprError);
    EXPECT_TRUE(static_cast<bool>(built_condition("EMPTY(CDPRO) .AND. CODAT != \"81\"")));
}

}  // namespace
}  // namespace qv::declaration
