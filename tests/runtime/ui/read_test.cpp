// Forms of several fields: moving between them, ending and abandoning the
// READ, checks, skipped fields, key handlers and forms run from inside others.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "runtime/core/varstore.hpp"
#include "runtime/screen/backend.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/ui/read.hpp"
#include "entry_fixture.hpp"

namespace qv::rt {
namespace {

class ReadTest : public EntryTest {
protected:
    void SetUp() override {
        EntryTest::SetUp();
        for (const char* n : {"A", "B", "C"}) variables().set(n, "   ");
    }
    void TearDown() override {
        set_read_idle({});
        getlist().clear();
        EntryTest::TearDown();
    }

    // Fields A, B and C on rows 1-3.
    void form_abc() {
        at_get(1, 0, "A");
        at_get(2, 0, "B");
        at_get(3, 0, "C");
    }
    std::string var(const char* n) const { return variables().get(n).as_string(); }
};

TEST_F(ReadTest, EnterPastTheLastFieldEndsTheRead) {
    keys("a\rb\rc\r");
    form_abc();
    EXPECT_TRUE(READ());
    EXPECT_EQ(var("A"), "a  ");
    EXPECT_EQ(var("B"), "b  ");
    EXPECT_EQ(var("C"), "c  ");
    EXPECT_EQ(LASTKEY(), key::ENTER);
    EXPECT_TRUE(getlist().empty());   // the form is emptied
    EXPECT_TRUE(UPDATED());
}

TEST_F(ReadTest, PgDnEndsTheReadWithTheKeyRecorded) {
    keys("x");
    key(key::PGDN);
    form_abc();
    EXPECT_TRUE(READ());
    EXPECT_EQ(var("A"), "x  ");   // the field left with PgDn is assigned
    EXPECT_EQ(LASTKEY(), 3);
    EXPECT_EQ(hb_->starved_reads(), 0);
}

TEST_F(ReadTest, CtrlWAndPgUpEndTheReadToo) {
    for (int k : {key::CTRL_W, key::PGUP}) {
        key(key::DOWN);
        key(k);
        form_abc();
        EXPECT_TRUE(READ());
        EXPECT_EQ(LASTKEY(), k);
    }
}

TEST_F(ReadTest, UpAndDownMoveBetweenFields) {
    key(key::DOWN);
    keys("x");
    key(key::UP);
    keys("y");
    key(key::TAB);
    key(key::TAB);
    keys("z");
    key(key::SHIFT_TAB);
    keys("w");
    key(key::PGDN);
    form_abc();
    READ();
    EXPECT_EQ(var("A"), "y  ");
    EXPECT_EQ(var("B"), "w  ");
    EXPECT_EQ(var("C"), "z  ");
}

TEST_F(ReadTest, UpOnTheFirstAndDownOnTheLastStayWithoutReadExit) {
    key(key::UP);
    keys("a");
    key(key::DOWN);
    key(key::DOWN);
    key(key::DOWN);   // on C: stays
    keys("c");
    key(key::PGDN);
    form_abc();
    READ();
    EXPECT_EQ(var("A"), "a  ");
    EXPECT_EQ(var("C"), "c  ");
}

TEST_F(ReadTest, ReadExitLetsUpAndDownEndTheRead) {
    READEXIT(true);
    key(key::UP);
    form_abc();
    EXPECT_TRUE(READ());
    EXPECT_EQ(LASTKEY(), key::UP);
    EXPECT_EQ(hb_->pending(), 0u);

    keys("q");
    key(key::DOWN);   // a one-field read, as a grid cell is edited
    at_get(1, 0, "B");
    EXPECT_TRUE(READ());
    EXPECT_EQ(var("B"), "q  ");
    EXPECT_EQ(LASTKEY(), key::DOWN);
}

TEST_F(ReadTest, EscAbandonsAndKeepsWhatEarlierFieldsAssigned) {
    keys("a\r");
    keys("b");
    key(key::ESC);
    form_abc();
    EXPECT_FALSE(READ());
    EXPECT_EQ(var("A"), "a  ");
    EXPECT_EQ(var("B"), "   ");
    EXPECT_EQ(LASTKEY(), key::ESC);
}

TEST_F(ReadTest, EscIsIgnoredWhenEscapeIsOff) {
    SET_ESCAPE(false);
    key(key::ESC);
    keys("a");
    key(key::PGDN);
    form_abc();
    EXPECT_TRUE(READ());
    EXPECT_EQ(var("A"), "a  ");
}

TEST_F(ReadTest, RefusedValidKeepsTheCursorAndTheValue) {
    variables().set("N", 0.0);
    std::vector<double> seen;
    at_get(1, 0, "N", "999").valid([&] {
        seen.push_back(variables().get("N").as_number());
        return seen.back() >= 10;
    });
    at_get(2, 0, "A");
    keys("5\r");      // refused
    key(key::DOWN);   // still refused: the cursor stays
    keys("12\r");     // accepted; the cursor goes to A
    keys("a\r");
    EXPECT_TRUE(READ());
    EXPECT_EQ(seen, (std::vector<double>{5, 5, 12}));
    EXPECT_DOUBLE_EQ(variables().get("N").as_number(), 12.0);
    EXPECT_EQ(var("A"), "a  ");
}

TEST_F(ReadTest, ValidGivenAsExpressionText) {
    variables().set("N", 0.0);
    at_get(1, 0, "N", "999").valid("N > 100 .OR. N == 7");
    keys("50\r7\r");
    READ();
    EXPECT_DOUBLE_EQ(variables().get("N").as_number(), 7.0);
    EXPECT_EQ(hb_->pending(), 0u);
}

TEST_F(ReadTest, ValidMayChangeTheValueShown) {
    variables().set("N", 0.0);
    at_get(1, 0, "N", "999").valid("(N := N * 2, .T.)");
    keys("21\r");
    READ();
    EXPECT_DOUBLE_EQ(variables().get("N").as_number(), 42.0);
    EXPECT_EQ(row_text(1).substr(0, 3), " 42");
}

TEST_F(ReadTest, EscSkipsTheValid) {
    int calls = 0;
    at_get(1, 0, "A").valid([&] { ++calls; return false; });
    keys("x");
    key(key::ESC);
    EXPECT_FALSE(READ());
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(var("A"), "   ");
}

TEST_F(ReadTest, EscAfterARefusalPutsTheOldValueBack) {
    at_get(1, 0, "A").valid([] { return false; });
    keys("x\r");
    key(key::ESC);
    EXPECT_FALSE(READ());
    EXPECT_EQ(var("A"), "   ");
}

TEST_F(ReadTest, WhenFalseSkipsTheFieldBothWays) {
    at_get(1, 0, "A");
    at_get(2, 0, "B").when([] { return false; });
    at_get(3, 0, "C");
    keys("a\r");   // to C, over B
    keys("c");
    key(key::UP);  // back to A, over B
    keys("z");
    key(key::PGDN);
    READ();
    EXPECT_EQ(var("A"), "z  ");
    EXPECT_EQ(var("B"), "   ");
    EXPECT_EQ(var("C"), "c  ");
}

TEST_F(ReadTest, WhenGivenAsExpressionTextSeesEarlierFields) {
    variables().set("S", " ");
    at_get(1, 0, "S", "!");
    at_get(2, 0, "B").when("S == 'S'");
    at_get(3, 0, "C");
    keys("n");      // fills S and moves on; B is skipped
    keys("c\r");
    READ();
    EXPECT_EQ(var("B"), "   ");
    EXPECT_EQ(var("C"), "c  ");
}

TEST_F(ReadTest, NoEnterableFieldEndsAtOnce) {
    at_get(1, 0, "A").when([] { return false; });
    at_get(2, 0, "B").when([] { return false; });
    keys("x");
    EXPECT_TRUE(READ());
    EXPECT_EQ(hb_->pending(), 1u);
}

TEST_F(ReadTest, ConfirmOffMovesOnWhenAFieldIsFull) {
    variables().set("P", 0.0);
    variables().set("Q", 0.0);
    at_get(1, 0, "P", "99");
    at_get(2, 0, "Q", "99");
    keys("1234");
    READ();
    EXPECT_DOUBLE_EQ(variables().get("P").as_number(), 12.0);
    EXPECT_DOUBLE_EQ(variables().get("Q").as_number(), 34.0);
}

TEST_F(ReadTest, ConfirmOnNeedsEnter) {
    SET_CONFIRM(true);
    variables().set("P", 0.0);
    at_get(1, 0, "P", "99");
    keys("123\r");   // the field stays open when full; the 3 finds no place
    READ();
    EXPECT_DOUBLE_EQ(variables().get("P").as_number(), 12.0);
}

TEST_F(ReadTest, CtrlHomeGoesToTheFirstField) {
    key(key::DOWN);
    key(key::DOWN);
    key(key::CTRL_HOME);
    keys("h");
    key(key::PGDN);
    form_abc();
    READ();
    EXPECT_EQ(var("A"), "h  ");
}

TEST_F(ReadTest, ReadVarNamesTheCurrentField) {
    std::vector<std::string> names;
    SETKEY(key::F2, [&] { names.push_back(READVAR()); });
    key(key::F2);
    key(key::DOWN);
    key(key::F2);
    key(key::PGDN);
    at_get(1, 0, "M->a");
    at_get(2, 0, "b");
    READ();
    EXPECT_EQ(names, (std::vector<std::string>{"M->A", "B"}));
    EXPECT_EQ(READVAR(), "");
}

TEST_F(ReadTest, KeyHandlerEndsTheReadAndKeepsTheTypedValue) {
    int handled = 0;
    SETKEY(key::F10, [&] {
        ++handled;
        EXPECT_EQ(var("A"), "ab ");   // the typed text is in the variable
        clear_gets();
    });
    keys("ab");
    key(key::F10);
    keys("zz");   // never read
    form_abc();
    EXPECT_TRUE(READ());
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(var("A"), "ab ");
    EXPECT_EQ(var("B"), "   ");
    EXPECT_EQ(LASTKEY(), key::F10);
    EXPECT_EQ(hb_->pending(), 2u);
}

TEST_F(ReadTest, KeyHandlerEndingTheReadSkipsTheValid) {
    int calls = 0;
    SETKEY(key::TAB, [] { clear_gets(); });
    at_get(1, 0, "A").valid([&] { ++calls; return false; });
    key(key::TAB);
    EXPECT_TRUE(READ());
    EXPECT_EQ(calls, 0);
}

TEST_F(ReadTest, KeyHandlerMayChangeTheValue) {
    variables().set("N", 0.0);
    SETKEY(key::F3, [] { variables().set("N", 77.0); });
    at_get(1, 0, "N", "999");
    std::string shown;
    SETKEY(key::F4, [&] { shown = row_text(1).substr(0, 3); });
    key(key::F3);
    key(key::F4);
    key(key::ENTER);
    READ();
    EXPECT_EQ(shown, " 77");
    EXPECT_DOUBLE_EQ(variables().get("N").as_number(), 77.0);
}

TEST_F(ReadTest, NestedReadInsideAValid) {
    std::string inner_var, outer_var_after;
    at_get(1, 0, "A").valid([&] {
        at_get(10, 0, "B");
        SETKEY(key::F2, [&] { inner_var = READVAR(); });
        const bool ok = READ();
        SETKEY(key::F2, {});
        outer_var_after = READVAR();
        return ok;
    });
    at_get(2, 0, "C");
    keys("o\r");                  // A, then its check runs a form on B
    key(key::F2);
    keys("i\r");                  // the inner form ends
    keys("c\r");                  // back in the outer form, on C
    EXPECT_TRUE(READ());
    EXPECT_EQ(var("A"), "o  ");
    EXPECT_EQ(var("B"), "i  ");
    EXPECT_EQ(var("C"), "c  ");
    EXPECT_EQ(inner_var, "B");
    EXPECT_EQ(outer_var_after, "A");
}

TEST_F(ReadTest, NestedReadAbandonedRefusesTheOuterField) {
    at_get(1, 0, "A").valid([&] {
        at_get(10, 0, "B");
        return READ();
    });
    keys("o\r");
    key(key::ESC);   // the inner form is abandoned: A is refused
    keys("\r");      // A again: the inner form once more
    keys("i\r");
    EXPECT_TRUE(READ());
    EXPECT_EQ(var("B"), "i  ");
}

TEST_F(ReadTest, ExplicitListIsKeptAndMayStartLater) {
    GetList form;
    form.emplace_back(1, 0, "A");
    form.emplace_back(2, 0, "B");
    keys("b\r");
    EXPECT_TRUE(READ(form, 2));
    EXPECT_EQ(var("A"), "   ");
    EXPECT_EQ(var("B"), "b  ");
    EXPECT_EQ(form.size(), 2u);
}

TEST_F(ReadTest, PendingFormReadAndKeptWhileAValidBuildsAnother) {
    at_get(1, 0, "A").valid([] {
        at_get(10, 0, "B");
        return READ();
    });
    keys("a\rb\r");
    EXPECT_TRUE(READ(getlist()));
    EXPECT_EQ(var("A"), "a  ");
    EXPECT_EQ(var("B"), "b  ");
    ASSERT_EQ(getlist().size(), 1u);   // kept, as asked, without the inner form
    EXPECT_EQ(getlist()[0].name(), "A");
}

TEST_F(ReadTest, UpdatedIsFalseWhenNothingChanged) {
    keys("\r\r\r");
    form_abc();
    READ();
    EXPECT_FALSE(UPDATED());
}

TEST_F(ReadTest, IdleHookRunsOnlyWhileNoKeyWaits) {
    int idle = 0;
    set_read_idle([&] {
        ++idle;
        push_key('a');
        push_key(key::ENTER);
    });
    at_get(1, 0, "A");
    READ();
    EXPECT_EQ(idle, 1);
    EXPECT_EQ(var("A"), "a  ");
    EXPECT_EQ(hb_->starved_reads(), 0);
}

TEST_F(ReadTest, ScoreboardShowsInsertMode) {
    SET_SCOREBOARD(true);
    std::string shown;
    int shape = 0;
    SETKEY(key::F2, [&] {
        shown = row_text(SCOREBOARD_ROW).substr(SCOREBOARD_COL, 3);
        shape = SETCURSOR();
    });
    key(key::INS);
    key(key::F2);
    key(key::ENTER);
    at_get(5, 0, "A");
    READ();
    EXPECT_EQ(shown, "Ins");
    EXPECT_EQ(shape, 2);   // the insert cursor
    EXPECT_EQ(SETCURSOR(), 1);   // the cursor shape from before the READ
}

}  // namespace
}  // namespace qv::rt
