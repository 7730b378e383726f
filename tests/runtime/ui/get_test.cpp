// Typing into one entry field: masks, numbers, dates, editing keys, colours.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "runtime/core/cp850.hpp"
#include "runtime/core/date.hpp"
#include "runtime/core/expr.hpp"
#include "runtime/core/fields.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/backend.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/ui/read.hpp"
#include "entry_fixture.hpp"

namespace qv::rt {
namespace {

class GetTest : public EntryTest {
protected:
    // The text at a row and column, as the test reads the screen.
    std::string screen(int row, int col, std::size_t len) const { return row_text(row).substr(col, len); }

    // One field on variable X at row 5, column 10, read to its end.
    bool read_x(const Value& start, std::string picture) {
        variables().set("X", start);
        at_get(5, 10, "X", std::move(picture));
        return READ();
    }
    const Value& x() const { return variables().get("X"); }
};

// ---- numbers ----

TEST_F(GetTest, EuropeanAmountTypedWithDecimalComma) {
    keys("1234,5");
    key(key::ENTER);
    EXPECT_TRUE(read_x(0.0, "@E 999,999.99"));
    EXPECT_DOUBLE_EQ(x().as_number(), 1234.50);
    EXPECT_EQ(screen(5, 10, 10), "  1.234,50");
}

TEST_F(GetTest, FirstDigitReplacesTheOldAmount) {
    keys("12");
    key(key::ENTER);
    read_x(987.65, "@E 999,999.99");
    EXPECT_DOUBLE_EQ(x().as_number(), 12.0);
    EXPECT_EQ(screen(5, 10, 10), "     12,00");
}

TEST_F(GetTest, DecimalKeyFirstGivesAFraction) {
    keys(",75");
    key(key::ENTER);
    read_x(300.0, "@E 999,999.99");
    EXPECT_DOUBLE_EQ(x().as_number(), 0.75);
}

TEST_F(GetTest, DigitsPastTheIntegerPartAreRefusedWithANotice) {
    std::vector<EntryRefusal> told;
    const EntryNotice before = set_entry_notice([&told](EntryRefusal why) { told.push_back(why); });
    keys("12345678");   // 7 and 8 find no place: they never slide into the decimals
    key(key::ENTER);
    read_x(0.0, "@E 999,999.99");
    set_entry_notice(before);
    EXPECT_DOUBLE_EQ(x().as_number(), 123456.0);
    EXPECT_EQ(screen(5, 10, 10), "123.456,00");
    EXPECT_EQ(told, (std::vector<EntryRefusal>{EntryRefusal::TooLarge, EntryRefusal::TooLarge}));
}

TEST_F(GetTest, WholeDigitsStayTogetherWithTheirMarksWhileTyped) {
    struct Case {
        const char* typed;
        const char* picture;
        const char* shown;   // the field after the keys, still being edited
    };
    const Case cases[] = {
        {"2", "@Ez 999,999,999.99", "          2,  "},
        {"20000", "@Ez 999,999,999.99", "     20.000,  "},
        {"1234567", "@E 99,999,999.99", " 1.234.567,  "},
        {"20000,5", "@Ez 999,999,999.99", "     20.000,50"},
        {"-35", "@E 9,999.99", "  -35,  "},
        {"-100", "@Ez 999,999", "   -100"},   // the sign beside the digits, in the thousands' place
        {"1234\b", "@E 9,999.99", "  123,  "},   // Backspace takes the last digit back
        {"007", "9999", "   7"},
    };
    for (const Case& c : cases) {
        variables().set("X", Value(0.0));
        std::string typed = c.typed;
        std::string shown;
        at_get(5, 10, "X", c.picture);
        for (const char k : typed) key(k == '\b' ? key::BS : static_cast<unsigned char>(k));
        constexpr int kLook = 500;
        key(kLook);
        key(key::ESC);
        SETKEY(kLook, [&] { shown = row_text(5).substr(10, std::string(c.shown).size()); });
        READ();
        SETKEY(kLook, {});
        EXPECT_EQ(shown, c.shown) << c.typed << " in " << c.picture;
    }
}

TEST_F(GetTest, AmountTooWideForTheMaskShowsAsterisksAndStaysUntouched) {
    key(key::ENTER);
    read_x(12345.0, "999");
    EXPECT_DOUBLE_EQ(x().as_number(), 12345.0);
    EXPECT_EQ(screen(5, 10, 3), "***");
}

TEST_F(GetTest, PointIsTheDecimalKeyOfPlainNumbers) {
    keys("42.5");
    key(key::ENTER);
    read_x(0.0, "9999.99");
    EXPECT_DOUBLE_EQ(x().as_number(), 42.5);
    EXPECT_EQ(screen(5, 10, 7), "  42.50");
}

TEST_F(GetTest, MovingFirstKeepsTheAmountAndOverwrites) {
    key(key::RIGHT);
    keys("9");
    key(key::ENTER);
    read_x(123.0, "999");
    EXPECT_DOUBLE_EQ(x().as_number(), 193.0);
}

TEST_F(GetTest, MinusMakesTheAmountNegative) {
    keys("-5");
    key(key::ENTER);
    read_x(10.0, "@E 9,999.99");
    EXPECT_DOUBLE_EQ(x().as_number(), -5.0);
    EXPECT_EQ(screen(5, 10, 8), "   -5,00");
}

// A negative amount shows its sign where a thousands mark would stand; the
// keys that blank the field from its start take the sign away too, so that
// the digits typed next are the amount, not the amount with a sign after it.
TEST_F(GetTest, BlankingANegativeAmountFromItsStartTakesTheSignAway) {
    struct Case {
        const char* name;
        std::vector<int> blanking;
    };
    const std::vector<Case> cases = {
        {"Ctrl+Y", {key::CTRL_Y}},
        {"Ctrl+T", {key::CTRL_T}},
        {"Del on every place", {key::DEL, key::DEL, key::DEL, key::DEL, key::DEL, key::DEL, key::DEL}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        key(key::HOME);
        for (const int k : c.blanking) key(k);
        keys("100");
        key(key::ENTER);
        read_x(-100.0, "@Ez 999,999");
        EXPECT_DOUBLE_EQ(x().as_number(), 100.0);
        EXPECT_EQ(screen(5, 10, 7), "    100");
    }
}

TEST_F(GetTest, ZeroUnderZShowsBlank) {
    key(key::ENTER);
    read_x(0.0, "@EZ 999,999.99");
    EXPECT_DOUBLE_EQ(x().as_number(), 0.0);
    EXPECT_EQ(screen(5, 10, 10), std::string(10, ' '));
}

TEST_F(GetTest, FillingTheLastDigitLeavesTheField) {
    keys("12345");   // the READ ends without Enter
    read_x(0.0, "99999");
    EXPECT_DOUBLE_EQ(x().as_number(), 12345.0);
    EXPECT_EQ(hb_->pending(), 0u);
    EXPECT_EQ(LASTKEY(), '5');
}

// ---- dates ----

TEST_F(GetTest, DateTypedAsDigits) {
    keys("01042012");
    read_x(Date{}, "@D");
    EXPECT_EQ(x().as_date(), Date::from_ymd(2012, 4, 1));
    EXPECT_EQ(screen(5, 10, 10), "01/04/2012");
}

TEST_F(GetTest, ImpossibleDateKeepsTheCursorInTheField) {
    keys("31022012");   // refused: no 31st of February
    key(key::HOME);
    keys("28022012");
    read_x(Date{}, "");
    EXPECT_EQ(x().as_date(), Date::from_ymd(2012, 2, 28));
}

TEST_F(GetTest, ImpossibleDateThenEscLeavesTheVariableAlone) {
    const Date before = Date::from_ymd(2011, 12, 31);
    keys("99999999");
    key(key::ESC);
    EXPECT_FALSE(read_x(before, ""));
    EXPECT_EQ(x().as_date(), before);
}

TEST_F(GetTest, BlankDateIsAccepted) {
    key(key::CTRL_Y);
    key(key::ENTER);
    read_x(Date::from_ymd(2012, 1, 1), "");
    EXPECT_TRUE(x().as_date().empty());
    EXPECT_EQ(screen(5, 10, 10), "  /  /    ");
}

// ---- masks on text ----

TEST_F(GetTest, CpfMaskTakesDigitsOnlyAndStoresThemWithoutLiterals) {
    keys("123a456.789x0-1");   // letters and typed literals are refused
    read_x(std::string(11, ' '), "@R 999.999.999-99");
    EXPECT_EQ(x().as_string(), "12345678901");
    EXPECT_EQ(screen(5, 10, 14), "123.456.789-01");
    EXPECT_EQ(hb_->pending(), 0u);   // the last digit ended the READ
}

TEST_F(GetTest, CpfMaskShowsTheStoredValueWithItsLiterals) {
    key(key::ENTER);
    read_x("98765432100", "@R 999.999.999-99");
    EXPECT_EQ(x().as_string(), "98765432100");
    EXPECT_EQ(screen(5, 10, 14), "987.654.321-00");
}

TEST_F(GetTest, UpperFunctionUpperCasesAccentedLettersToo) {
    keys("ação"_cp);
    key(key::ENTER);
    read_x(std::string(6, ' '), "@!");
    EXPECT_EQ(x().as_string(), "AÇÃO  "_cp);
}

TEST_F(GetTest, LetterTemplateRefusesDigits) {
    keys("a1b2c");
    key(key::ENTER);
    read_x(std::string(4, ' '), "@ AAAA");
    EXPECT_EQ(x().as_string(), "abc ");
}

TEST_F(GetTest, KFunctionClearsOnTheFirstKey) {
    keys("x");
    key(key::ENTER);
    read_x("HELLO", "@K");
    EXPECT_EQ(x().as_string(), "x    ");
}

TEST_F(GetTest, KFunctionDoesNotClearAfterAMove) {
    key(key::RIGHT);
    keys("x");
    key(key::ENTER);
    read_x("HELLO", "@K");
    EXPECT_EQ(x().as_string(), "HxLLO");
}

TEST_F(GetTest, TypingOverwritesWithoutK) {
    keys("J");
    key(key::ENTER);
    read_x("HELLO", "");
    EXPECT_EQ(x().as_string(), "JELLO");
}

TEST_F(GetTest, InsertModeShiftsTheRestRight) {
    key(key::INS);
    keys("X");
    key(key::ENTER);
    read_x("HELLO", "");
    EXPECT_EQ(x().as_string(), "XHELL");
    EXPECT_TRUE(READINSERT());
}

TEST_F(GetTest, DeleteAndBackspace) {
    key(key::RIGHT);
    key(key::RIGHT);
    key(key::DEL);   // HELO_
    key(key::BS);    // HLO__
    key(key::ENTER);
    read_x("HELLO", "");
    EXPECT_EQ(x().as_string(), "HLO  ");
}

TEST_F(GetTest, CtrlUBringsBackTheValueTheFieldHad) {
    keys("XY");
    key(21);   // Ctrl+U
    key(key::ENTER);
    read_x("HELLO", "");
    EXPECT_EQ(x().as_string(), "HELLO");
}

TEST_F(GetTest, CtrlYClearsToTheEnd) {
    key(key::RIGHT);
    key(key::CTRL_Y);
    key(key::ENTER);
    read_x("HELLO", "");
    EXPECT_EQ(x().as_string(), "H    ");
}

TEST_F(GetTest, EndAndWordMoves) {
    key(key::END);         // after "CD"
    keys("X");             // AB CDX
    key(key::CTRL_LEFT);   // start of "CDX"
    keys("Z");
    key(key::HOME);
    key(key::CTRL_RIGHT);  // start of the second word again
    keys("Y");
    key(key::ENTER);
    read_x("AB CD     ", "");
    EXPECT_EQ(x().as_string(), "AB YDX    ");
}

TEST_F(GetTest, CtrlTDeletesTheWordOnTheRight) {
    key(key::CTRL_T);
    key(key::ENTER);
    read_x("ONE TWO   ", "");
    EXPECT_EQ(x().as_string(), "TWO       ");
}

TEST_F(GetTest, ScrollingFieldShowsTheCursorsPart) {
    std::string seen_home, seen_end;
    SETKEY(key::F2, [&] { seen_home = screen(5, 10, 5); });
    SETKEY(key::F3, [&] { seen_end = screen(5, 10, 5); });
    key(key::F2);
    key(key::END);
    key(key::F3);
    key(key::ENTER);
    read_x("ABCDEFGHIJKLMNOPQRST", "@S5");
    EXPECT_EQ(seen_home, "ABCDE");
    EXPECT_EQ(seen_end, "PQRST");
    EXPECT_EQ(screen(5, 10, 6), "ABCDE ");   // unfocused: the start again, 5 columns
}

TEST_F(GetTest, LogicalTakesYesAndNo) {
    keys("y");
    read_x(false, "Y");
    EXPECT_TRUE(x().as_bool());
    EXPECT_EQ(screen(5, 10, 1), "Y");
}

// ---- bindings and colours ----

TEST_F(GetTest, GetterSetterPairEditsACell) {
    std::vector<Value> row{Value(0.0), Value("abc")};
    keys("42");
    key(key::ENTER);
    at_get(3, 0, "cell", [&] { return row[0]; }, [&](const Value& v) { row[0] = v; }, "999");
    EXPECT_TRUE(READ());
    EXPECT_DOUBLE_EQ(row[0].as_number(), 42.0);
    EXPECT_EQ(screen(3, 0, 3), " 42");
}

TEST_F(GetTest, BareNameIsTheVariableWithoutATable) {
    variables().set("NOME", std::string(5, ' '));
    keys("Ana");
    key(key::ENTER);
    at_get(2, 2, "m->nome");
    READ();
    EXPECT_EQ(variables().get("NOME").as_string(), "Ana  ");
}

// One work area (1, alias CLI) with one record of two fields.
class OneRecord : public FieldResolver {
public:
    int selected_area() const override { return 1; }
    int area_of_alias(std::string_view alias) const override { return alias == "CLI" ? 1 : 0; }
    int field_index(int area, std::string_view name) const override {
        if (area != 1) return -1;
        if (name == "NOME") return 0;
        if (name == "CPF") return 1;
        return -1;
    }
    std::uint64_t generation(int) const override { return 1; }
    Value get_field(int, int index) const override { return record[static_cast<std::size_t>(index)]; }
    void put_field(int, int index, const Value& v) override { record[static_cast<std::size_t>(index)] = v; }

    std::vector<Value> record{Value("Rui  "), Value("00000000000")};
};

TEST_F(GetTest, NamesReachTheSelectedTablesFieldsFirst) {
    OneRecord table;
    set_field_resolver(&table);
    variables().set("NOME", "var  ");
    keys("Eva\r");
    keys("12345678901");
    keys("Ida\r");
    at_get(1, 0, "NOME");
    at_get(2, 0, "CLI->CPF", "@R 999.999.999-99");
    at_get(3, 0, "M->NOME");
    READ();
    set_field_resolver(nullptr);
    EXPECT_EQ(table.record[0].as_string(), "Eva  ");
    EXPECT_EQ(table.record[1].as_string(), "12345678901");
    EXPECT_EQ(variables().get("NOME").as_string(), "Ida  ");
}

TEST_F(GetTest, UnfocusedFieldsUseTheirColour) {
    variables().set("A", "aa");
    variables().set("B", "bb");
    key(key::ENTER);
    key(key::ENTER);
    at_get(1, 0, "A");
    at_get(2, 0, "B").colour("W+/B,GR+/R");
    READ();
    EXPECT_EQ(cell_at(1, 0).attr, colour_slot(4));
    EXPECT_EQ(cell_at(2, 0).attr, parse_colour("W+/B"));
}

TEST_F(GetTest, FocusedFieldUsesTheSelectedColour) {
    variables().set("A", "aa");
    Attr seen = 0;
    SETKEY(key::F2, [&] { seen = cell_at(1, 0).attr; });
    key(key::F2);
    key(key::ENTER);
    at_get(1, 0, "A").colour("W+/B,GR+/R");
    READ();
    EXPECT_EQ(seen, parse_colour("GR+/R"));
}

TEST(GetCondition, ExpressionTextIsCompiledOnceAndEvaluatedEachTime) {
    variables().clear();
    variables().set("N", 1.0);
    const auto c = condition_from_text("N > 5");
    EXPECT_FALSE(c());
    variables().set("N", 6.0);
    EXPECT_TRUE(c());
    EXPECT_TRUE(condition_from_text("N")());   // not logical: no objection
    EXPECT_THROW(condition_from_text("N >"), ExprError);
    variables().clear();
}

}  // namespace
}  // namespace qv::rt
