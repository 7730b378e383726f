#include <gtest/gtest.h>

#include "runtime/core/value.hpp"

namespace qv::rt {
namespace {

Date ymd(int y, int m, int d) { return Date::from_ymd(y, m, d); }

bool eq(const Value& a, const Value& b) { return equals(a, b, false); }
bool exact(const Value& a, const Value& b) { return equals(a, b, true); }

TEST(ValueTypes, LettersAndTypedAccess) {
    EXPECT_EQ(type_letter(Value().type()), 'U');
    EXPECT_EQ(type_letter(Value(true).type()), 'L');
    EXPECT_EQ(type_letter(Value(3).type()), 'N');
    EXPECT_EQ(type_letter(Value("x").type()), 'C');
    EXPECT_EQ(type_letter(Value(ymd(2012, 4, 1)).type()), 'D');
    EXPECT_EQ(type_letter(Value::array(2).type()), 'A');

    // Asking for another type gives that type's empty value, not a throw.
    EXPECT_EQ(Value(5).as_string(), "");
    EXPECT_EQ(Value("12").as_number(), 0.0);
    EXPECT_FALSE(Value(1).as_bool());
    EXPECT_TRUE(Value("x").as_date().empty());
    EXPECT_EQ(Value(1).as_array(), nullptr);
    EXPECT_EQ(Value(7L).as_number(), 7.0);
    EXPECT_EQ(Value(7LL).as_number(), 7.0);
}

TEST(ValueTypes, MutableStringAccess) {
    Value v("AB");
    v.str() += "C";
    EXPECT_EQ(v.as_string(), "ABC");
    Value n(5);
    n.str() = "now text";
    EXPECT_TRUE(n.is_string());
    EXPECT_EQ(n.as_string(), "now text");
}

TEST(ValueArrays, OneBasedAccessAndLength) {
    Value a = Value::array(3);
    (*a.as_array())[0] = Value("first");
    (*a.as_array())[2] = Value(3);
    EXPECT_EQ(a.len(), 3u);
    EXPECT_EQ(a.at(1).as_string(), "first");
    EXPECT_TRUE(a.at(2).is_nil());
    EXPECT_EQ(a.at(3).as_number(), 3.0);
    EXPECT_TRUE(a.at(0).is_nil());
    EXPECT_TRUE(a.at(4).is_nil());
    EXPECT_TRUE(Value(5).at(1).is_nil());
    EXPECT_EQ(Value("ABCD").len(), 4u);
    EXPECT_EQ(Value(1234).len(), 0u);
}

TEST(ValueArrays, SharedByReferenceAndNested) {
    Value a = Value::array(1);
    Value alias = a;   // assignment copies the reference, not the elements
    const Value changed("changed");
    (*alias.as_array())[0] = changed;
    EXPECT_EQ(a.at(1).as_string(), "changed");

    Value inner = Value::array(2);
    (*inner.as_array())[1] = Value(42);
    (*a.as_array())[0] = inner;
    (*inner.as_array())[0] = Value("late");
    EXPECT_EQ(a.at(1).at(2).as_number(), 42.0);
    EXPECT_EQ(a.at(1).at(1).as_string(), "late");

    a.as_array()->push_back(Value(true));
    EXPECT_EQ(alias.len(), 2u);
}

TEST(ValueEmpty, EachType) {
    EXPECT_TRUE(EMPTY(Value()));
    EXPECT_TRUE(EMPTY(Value(false)));
    EXPECT_FALSE(EMPTY(Value(true)));
    EXPECT_TRUE(EMPTY(Value(0)));
    EXPECT_TRUE(EMPTY(Value(-0.0)));
    EXPECT_FALSE(EMPTY(Value(0.001)));
    EXPECT_TRUE(EMPTY(Value("")));
    EXPECT_TRUE(EMPTY(Value("  \t\r\n ")));
    EXPECT_FALSE(EMPTY(Value("  .")));
    EXPECT_TRUE(EMPTY(Value(Date{})));
    EXPECT_FALSE(EMPTY(Value(ymd(2012, 1, 1))));
    EXPECT_TRUE(EMPTY(Value::array(0)));
    EXPECT_FALSE(EMPTY(Value::array(1)));
}

TEST(ValueEquality, PrefixRuleWhenNotExact) {
    EXPECT_TRUE(eq("ABC", "AB"));
    EXPECT_FALSE(eq("AB", "ABC"));
    EXPECT_TRUE(eq("X", ""));
    EXPECT_FALSE(eq("", "X"));
    EXPECT_TRUE(eq("", ""));
    EXPECT_TRUE(eq("ABC", "ABC"));
    EXPECT_FALSE(eq("ABC", "ABD"));
    EXPECT_FALSE(eq("AB", "AB "));   // the right side's blank must be there
    EXPECT_TRUE(eq("AB ", "AB"));
}

TEST(ValueEquality, ExactNeedsSameBytes) {
    EXPECT_TRUE(exact("AB", "AB"));
    EXPECT_FALSE(exact("ABC", "AB"));
    EXPECT_FALSE(exact("AB ", "AB"));   // no trimming
    EXPECT_FALSE(exact("X", ""));
    EXPECT_TRUE(exact("", ""));
}

TEST(ValueEquality, OtherTypes) {
    EXPECT_TRUE(eq(Value(), Value()));
    EXPECT_TRUE(eq(1, 1.0));
    EXPECT_FALSE(eq(1, 2));
    EXPECT_TRUE(eq(true, true));
    EXPECT_FALSE(eq(true, false));
    EXPECT_TRUE(eq(ymd(2012, 4, 1), ymd(2012, 4, 1)));
    EXPECT_FALSE(eq(ymd(2012, 4, 1), ymd(2012, 4, 2)));
    // Different types are never equal, whatever they hold.
    EXPECT_FALSE(eq("1", 1));
    EXPECT_FALSE(eq(Value(), ""));
    EXPECT_FALSE(eq(false, 0));
    // Arrays are equal only to themselves.
    Value a = Value::array(1);
    Value b = Value::array(1);
    Value c = a;
    EXPECT_TRUE(exact(a, c));
    EXPECT_FALSE(exact(a, b));
}

TEST(ValueOrdering, StringsByUnsignedBytesWithPrefixRule) {
    EXPECT_EQ(compare("AB", "ABC"), std::partial_ordering::less);
    EXPECT_EQ(compare("ABC", "AB"), std::partial_ordering::equivalent);
    EXPECT_EQ(compare("ABD", "ABC"), std::partial_ordering::greater);
    EXPECT_EQ(compare("a", "B"), std::partial_ordering::greater);
    EXPECT_EQ(compare("Z", "a"), std::partial_ordering::less);
    // CP850 accented bytes sort after ASCII: É is 0x90, á is 0xA0.
    EXPECT_EQ(compare("\x90", "Z"), std::partial_ordering::greater);
    EXPECT_EQ(compare("\xA0", "z"), std::partial_ordering::greater);
    EXPECT_EQ(compare("\x80", "\x7F"), std::partial_ordering::greater);
    EXPECT_EQ(compare("", "A"), std::partial_ordering::less);
    EXPECT_EQ(compare("A", ""), std::partial_ordering::equivalent);
}

TEST(ValueOrdering, NumbersDatesLogicalsAndMixedTypes) {
    EXPECT_EQ(compare(2, 10), std::partial_ordering::less);
    EXPECT_EQ(compare(-1.5, -2), std::partial_ordering::greater);
    EXPECT_EQ(compare(ymd(2012, 4, 1), ymd(2012, 5, 1)), std::partial_ordering::less);
    EXPECT_EQ(compare(Date{}, ymd(1900, 1, 1)), std::partial_ordering::less);
    EXPECT_EQ(compare(false, true), std::partial_ordering::less);
    EXPECT_EQ(compare(true, true), std::partial_ordering::equivalent);
    EXPECT_EQ(compare("1", 1), std::partial_ordering::unordered);
    EXPECT_EQ(compare(Value::array(0), Value::array(0)), std::partial_ordering::unordered);
}

TEST(ValueArithmetic, Numbers) {
    EXPECT_EQ(add(2, 3).as_number(), 5.0);
    EXPECT_EQ(subtract(2, 3).as_number(), -1.0);
    EXPECT_EQ(multiply(2.5, 4).as_number(), 10.0);
    EXPECT_EQ(divide(7, 2).as_number(), 3.5);
    EXPECT_EQ(modulo(7, 3).as_number(), 1.0);
    EXPECT_EQ(modulo(-7, 3).as_number(), -1.0);
    EXPECT_EQ(modulo(7.5, 2).as_number(), 1.5);
}

TEST(ValueArithmetic, ZeroDivisorGivesZero) {
    Value q = divide(10, 0);
    ASSERT_TRUE(q.is_number());
    EXPECT_EQ(q.as_number(), 0.0);
    EXPECT_EQ(divide(-3, 0.0).as_number(), 0.0);
    Value r = modulo(10, 0);
    ASSERT_TRUE(r.is_number());
    EXPECT_EQ(r.as_number(), 0.0);
}

TEST(ValueArithmetic, Dates) {
    Value d = add(ymd(2012, 2, 28), 1);
    ASSERT_TRUE(d.is_date());
    EXPECT_EQ(d.as_date(), ymd(2012, 2, 29));
    EXPECT_EQ(add(30, ymd(2012, 4, 1)).as_date(), ymd(2012, 5, 1));
    EXPECT_EQ(subtract(ymd(2012, 3, 1), 1).as_date(), ymd(2012, 2, 29));
    Value days = subtract(ymd(2012, 5, 1), ymd(2012, 4, 1));
    ASSERT_TRUE(days.is_number());
    EXPECT_EQ(days.as_number(), 30.0);
    EXPECT_EQ(subtract(ymd(2012, 4, 1), ymd(2012, 5, 1)).as_number(), -30.0);
    // Whole days only.
    EXPECT_EQ(add(ymd(2012, 4, 1), 1.9).as_date(), ymd(2012, 4, 2));
    // The empty date stays empty under day arithmetic.
    EXPECT_TRUE(add(Date{}, 5).as_date().empty());
}

TEST(ValueArithmetic, Strings) {
    EXPECT_EQ(add("AB ", "CD").as_string(), "AB CD");
    // Minus moves the left side's trailing blanks behind the right side.
    EXPECT_EQ(subtract("AB  ", "CD").as_string(), "ABCD  ");
    EXPECT_EQ(subtract("AB  ", "CD ").as_string(), "ABCD   ");
    EXPECT_EQ(subtract("   ", "X").as_string(), "X   ");
    EXPECT_EQ(subtract(" A ", "").as_string(), " A ");
    EXPECT_EQ(subtract("", "X").as_string(), "X");
}

TEST(ValueArithmetic, MismatchedTypesGiveNil) {
    EXPECT_TRUE(add("A", 1).is_nil());
    EXPECT_TRUE(subtract(1, ymd(2012, 1, 1)).is_nil());
    EXPECT_TRUE(add(ymd(2012, 1, 1), ymd(2012, 1, 1)).is_nil());
    EXPECT_TRUE(multiply("A", 2).is_nil());
    EXPECT_TRUE(divide(true, 1).is_nil());
}

}  // namespace
}  // namespace qv::rt
