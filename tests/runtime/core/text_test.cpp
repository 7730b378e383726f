#include <gtest/gtest.h>

#include <cmath>

#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"

namespace qv::rt {
namespace {

TEST(Substr, PositionsAndClamping) {
    EXPECT_EQ(SUBSTR("ABCDEF", 2, 3), "BCD");
    EXPECT_EQ(SUBSTR("ABCDEF", 4), "DEF");
    EXPECT_EQ(SUBSTR("ABCDEF", -2), "EF");
    EXPECT_EQ(SUBSTR("ABCDEF", -3, 2), "DE");
    EXPECT_EQ(SUBSTR("ABC", -10), "ABC");
    EXPECT_EQ(SUBSTR("ABCDEF", 0, 2), "AB");   // start 0 acts as 1
    EXPECT_EQ(SUBSTR("ABC", 4), "");
    EXPECT_EQ(SUBSTR("ABC", 99, 2), "");
    EXPECT_EQ(SUBSTR("ABC", 2, 0), "");
    EXPECT_EQ(SUBSTR("ABC", 2, 10), "BC");
    EXPECT_EQ(SUBSTR("", 1, 1), "");
}

TEST(LeftRight, Clamped) {
    EXPECT_EQ(LEFT("ABCDE", 2), "AB");
    EXPECT_EQ(LEFT("ABC", 5), "ABC");
    EXPECT_EQ(LEFT("ABC", 0), "");
    EXPECT_EQ(LEFT("ABC", -1), "");
    EXPECT_EQ(RIGHT("ABCDE", 2), "DE");
    EXPECT_EQ(RIGHT("AB", 5), "AB");
    EXPECT_EQ(RIGHT("AB", -3), "");
}

TEST(Pad, FillsOrCuts) {
    EXPECT_EQ(PADR("AB", 4), "AB  ");
    EXPECT_EQ(PADR("ABCDE", 3), "ABC");
    EXPECT_EQ(PADL("AB", 4, '0'), "00AB");
    EXPECT_EQ(PADL("ABCDE", 3), "ABC");   // cut keeps the left part
    EXPECT_EQ(PADC("AB", 5), " AB  ");    // odd extra goes to the right
    EXPECT_EQ(PADC("AB", 6, '*'), "**AB**");
    EXPECT_EQ(PADC("ABCD", 2), "AB");
    EXPECT_EQ(PADR("AB", 0), "");
    EXPECT_EQ(PADL("AB", -2), "");
}

TEST(Trim, BlanksOnly) {
    EXPECT_EQ(ALLTRIM("  a b  "), "a b");
    EXPECT_EQ(TRIM("  a  "), "  a");
    EXPECT_EQ(RTRIM("  a  "), "  a");
    EXPECT_EQ(LTRIM("  a  "), "a  ");
    EXPECT_EQ(ALLTRIM("\ta\t"), "\ta\t");   // tabs are not blanks
    EXPECT_EQ(ALLTRIM("    "), "");
    EXPECT_EQ(TRIM(""), "");
    EXPECT_EQ(LTRIM("   "), "");
}

TEST(Search, AtAndRat) {
    EXPECT_EQ(AT("B", "ABCB"), 2);
    EXPECT_EQ(RAT("B", "ABCB"), 4);
    EXPECT_EQ(AT("CB", "ABCB"), 3);
    EXPECT_EQ(AT("X", "ABC"), 0);
    EXPECT_EQ(RAT("X", "ABC"), 0);
    EXPECT_EQ(AT("", "ABC"), 0);
    EXPECT_EQ(RAT("", "ABC"), 0);
    EXPECT_EQ(AT("ABCD", "ABC"), 0);
}

TEST(Replace, StrtranAndStuff) {
    EXPECT_EQ(STRTRAN("1.234.567,8", "."), "1234567,8");
    EXPECT_EQ(STRTRAN("aaa", "a", "bb"), "bbbbbb");
    EXPECT_EQ(STRTRAN("aaaa", "aa", "a"), "aa");   // no rescanning of the output
    EXPECT_EQ(STRTRAN("abc", "", "x"), "abc");
    EXPECT_EQ(STRTRAN("abc", "z", "x"), "abc");

    EXPECT_EQ(STUFF("ABCDEF", 2, 3, "xy"), "AxyEF");
    EXPECT_EQ(STUFF("ABC", 4, 0, "D"), "ABCD");
    EXPECT_EQ(STUFF("ABC", 10, 2, "D"), "ABCD");
    EXPECT_EQ(STUFF("ABC", 2, 10, ""), "A");
    EXPECT_EQ(STUFF("ABC", 0, 1, "x"), "xBC");
    EXPECT_EQ(STUFF("ABC", 2, -1, "x"), "AxBC");
    // The layouts of the document numbers are built this way.
    EXPECT_EQ(STUFF(STUFF("12345678909", 4, 0, "."), 8, 0, "."), "123.456.78909");
}

TEST(Build, ReplicateSpaceChrAsc) {
    EXPECT_EQ(REPLICATE("ab", 3), "ababab");
    EXPECT_EQ(REPLICATE("ab", 0), "");
    EXPECT_EQ(REPLICATE("ab", -2), "");
    EXPECT_EQ(SPACE(3), "   ");
    EXPECT_EQ(SPACE(-1), "");
    EXPECT_EQ(CHR(65), "A");
    EXPECT_EQ(CHR(0x87), "\x87");
    EXPECT_EQ(CHR(256 + 66), "B");
    EXPECT_EQ(ASC("\x82xyz"), 0x82);   // unsigned
    EXPECT_EQ(ASC(""), 0);
}

TEST(Case, AccentedPairs) {
    const std::string lower = "abcdefghijklmnopqrstuvwxyz"
                              "áàâãäçéèêíìîïñóòôõöúùûü"_cp;
    const std::string upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                              "ÁÀÂÃÄÇÉÈÊÍÌÎÏÑÓÒÔÕÖÚÙÛÜ"_cp;
    ASSERT_EQ(lower.size(), 49u);
    EXPECT_EQ(UPPER(lower), upper);
    EXPECT_EQ(LOWER(upper), lower);
    EXPECT_EQ(UPPER("\x87\xC6"), "\x80\xC7");   // ç ã -> Ç Ã
    EXPECT_EQ(LOWER("\x80\xC7"), "\x87\xC6");
    EXPECT_EQ(upper_char('\xA2'), '\xE0');       // ó -> Ó
    EXPECT_EQ(lower_char('\x90'), '\x82');       // É -> é
    EXPECT_EQ(UPPER("Atenção: 1,5%"_cp), "ATENÇÃO: 1,5%"_cp);
}

TEST(Case, EveryOtherByteUnchanged) {
    int upper_changes = 0;
    int lower_changes = 0;
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        if (upper_char(c) != c) ++upper_changes;
        if (lower_char(c) != c) ++lower_changes;
    }
    EXPECT_EQ(upper_changes, 49);
    EXPECT_EQ(lower_changes, 49);
    // Letters without a pair in the table stay as they are.
    EXPECT_EQ(UPPER("åæøÿßı"_cp), "åæøÿßı"_cp);
    EXPECT_EQ(LOWER("ÅÆØ"_cp), "ÅÆØ"_cp);
}

TEST(Classify, DigitsLettersEmpty) {
    EXPECT_TRUE(ISDIGIT("5a"));
    EXPECT_FALSE(ISDIGIT("a5"));
    EXPECT_FALSE(ISDIGIT(""));
    EXPECT_TRUE(ISALPHA("ç"_cp));
    EXPECT_TRUE(ISALPHA("Z"));
    EXPECT_FALSE(ISALPHA("1"));
    EXPECT_FALSE(ISALPHA(""));
    EXPECT_FALSE(ISALPHA("\xB3"));   // box drawing
    EXPECT_TRUE(EMPTY_TEXT(" \t\r\n"));
    EXPECT_TRUE(EMPTY_TEXT(""));
    EXPECT_FALSE(EMPTY_TEXT(" 0 "));
}

TEST(Val, ReadsTheLeadingNumber) {
    EXPECT_EQ(VAL("12,5"), 12.0);
    EXPECT_EQ(VAL("  -3.75abc"), -3.75);
    EXPECT_EQ(VAL(""), 0.0);
    EXPECT_EQ(VAL("   "), 0.0);
    EXPECT_EQ(VAL("abc"), 0.0);
    EXPECT_EQ(VAL("-"), 0.0);
    EXPECT_EQ(VAL("."), 0.0);
    EXPECT_EQ(VAL(".5"), 0.5);
    EXPECT_EQ(VAL("-.25"), -0.25);
    EXPECT_EQ(VAL("1.2.3"), 1.2);
    EXPECT_EQ(VAL("+7"), 7.0);
    EXPECT_EQ(VAL("1e5"), 1.0);
    EXPECT_EQ(VAL("0000000010.23"), 10.23);
    EXPECT_EQ(VAL("1234.56"), 1234.56);
    EXPECT_FALSE(std::signbit(VAL("-0")));
}

TEST(Str, WidthAndDecimals) {
    EXPECT_EQ(STR(123, 5), "  123");
    EXPECT_EQ(STR(-123, 4), "-123");
    EXPECT_EQ(STR(3.14159, 6, 2), "  3.14");
    EXPECT_EQ(STR(1234.5, 12, 2), "     1234.50");
    EXPECT_EQ(STR(0.5, 4, 2), "0.50");
    EXPECT_EQ(STR(7, 6, 1), "   7.0");
    EXPECT_EQ(STR(2011, 4), "2011");
}

TEST(Str, Defaults) {
    EXPECT_EQ(STR(5), "         5");
    EXPECT_EQ(STR(-42), "       -42");
    EXPECT_EQ(STR(10.0 / 3.0), "         3.33");   // a fraction shows 2 decimals
    EXPECT_EQ(STR(3.7, 4), "   4");                // width alone: no decimals
    EXPECT_EQ(STR(3.14159, -1, 3), "         3.142");
}

TEST(Str, RoundsHalfAwayFromZeroOnDecimalDigits) {
    EXPECT_EQ(STR(1.005, 4, 2), "1.01");
    EXPECT_EQ(STR(2.675, 5, 2), " 2.68");
    EXPECT_EQ(STR(-2.675, 5, 2), "-2.68");
    EXPECT_EQ(STR(0.5, 3), "  1");
    EXPECT_EQ(STR(-0.5, 3), " -1");
    EXPECT_EQ(STR(2.5, 1), "3");
    EXPECT_EQ(STR(9.995, 5, 2), "10.00");
    EXPECT_EQ(STR(0.1 + 0.2, 4, 2), "0.30");
    EXPECT_EQ(STR(1234567.125, 10, 2), "1234567.13");
    // A negative that rounds to zero has no sign.
    EXPECT_EQ(STR(-0.001, 6, 2), "  0.00");
    EXPECT_EQ(STR(-0.4, 2), " 0");
}

TEST(Str, OverflowGivesAsterisks) {
    EXPECT_EQ(STR(123456, 5), "*****");
    EXPECT_EQ(STR(-1234, 4), "****");
    EXPECT_EQ(STR(9.995, 4, 2), "****");   // rounding carries into a new digit
    EXPECT_EQ(STR(5, 3, 2), "***");
    EXPECT_EQ(STR(1e300, 10), "**********");
}

// Integers, modest decimals and the cases left to the decimal-digit path
// (many decimals, very large or very small numbers) round the same way.
TEST(Str, EveryRangeRoundsOnTheDecimalDigits) {
    EXPECT_EQ(STR(1.23456789012, 14, 11), " 1.23456789012");   // 11 decimals
    EXPECT_EQ(STR(123456789012345678.0, 20), "  123456789012345680");
    EXPECT_EQ(STR(0.000000004, 12, 9), " 0.000000004");
    EXPECT_EQ(STR(0.0000000045, 12, 9), " 0.000000005");     // stored just below the half
    EXPECT_EQ(STR(0.125, 5, 2), " 0.13");                     // an exact binary half
    EXPECT_EQ(STR(-0.125, 5, 2), "-0.13");
    EXPECT_EQ(STR(999999999999999.5, 18, 1), "1000000000000000.0");
    EXPECT_EQ(STR(-0.0, 4, 1), " 0.0");
    EXPECT_EQ(STR(1234567.0, 7), "1234567");
    EXPECT_EQ(STR(-98765.4321, 11, 3), " -98765.432");
    EXPECT_EQ(STRZERO(-0.001, 5, 2), "00.00");
    EXPECT_EQ(STRZERO(-1234.5678, 12, 3), "-0001234.568");
}

TEST(StrZero, LeadingZerosSignInFront) {
    EXPECT_EQ(STRZERO(5, 2), "05");
    EXPECT_EQ(STRZERO(12, 2), "12");
    EXPECT_EQ(STRZERO(-5, 4), "-005");
    EXPECT_EQ(STRZERO(123, 2), "**");
    EXPECT_EQ(STRZERO(0, 3), "000");
    EXPECT_EQ(STRZERO(7), "0000000007");
    EXPECT_EQ(STRZERO(10.239, 15, 4), "0000000010.2390");
    EXPECT_EQ(STRZERO(10.23999, 15, 4), "0000000010.2400");
    EXPECT_EQ(STRZERO(-1.5, 6, 1), "-001.5");
}

TEST(Round, HalfAwayFromZero) {
    EXPECT_DOUBLE_EQ(ROUND(12.34999, 4), 12.35);
    EXPECT_DOUBLE_EQ(ROUND(1.005, 2), 1.01);
    EXPECT_DOUBLE_EQ(ROUND(2.675, 2), 2.68);
    EXPECT_DOUBLE_EQ(ROUND(0.285, 2), 0.29);
    EXPECT_DOUBLE_EQ(ROUND(2.5, 0), 3.0);
    EXPECT_DOUBLE_EQ(ROUND(-2.5, 0), -3.0);
    EXPECT_DOUBLE_EQ(ROUND(-1.005, 2), -1.01);
    EXPECT_DOUBLE_EQ(ROUND(99.995, 2), 100.0);
    EXPECT_DOUBLE_EQ(ROUND(1.004, 2), 1.0);
    EXPECT_DOUBLE_EQ(ROUND(1234.5678, -2), 1200.0);
    EXPECT_DOUBLE_EQ(ROUND(1250, -2), 1300.0);
    EXPECT_DOUBLE_EQ(ROUND(49, -2), 0.0);
    EXPECT_DOUBLE_EQ(ROUND(0.123456789, 8), 0.12345679);
    EXPECT_DOUBLE_EQ(ROUND(7, 2), 7.0);
    EXPECT_DOUBLE_EQ(ROUND(0, 2), 0.0);
    EXPECT_FALSE(std::signbit(ROUND(-0.004, 2)));
    // Progressive tax bracket: 1566.61 * 0.075 = 117.49575 -> 117.50.
    EXPECT_DOUBLE_EQ(ROUND(1566.61 * 0.075, 2), 117.50);
}

TEST(Truncate, CutsTowardZeroIgnoringBinaryNoise) {
    EXPECT_DOUBLE_EQ(truncate_to(12.35, 2), 12.35);
    EXPECT_DOUBLE_EQ(truncate_to(12.3456, 2), 12.34);
    EXPECT_DOUBLE_EQ(truncate_to(-12.349, 2), -12.34);
    EXPECT_DOUBLE_EQ(truncate_to(0.29 * 100, 0), 29.0);    // 28.999999999999996
    EXPECT_DOUBLE_EQ(truncate_to(4.35 * 100, 0), 435.0);   // 434.99999999999994
    EXPECT_DOUBLE_EQ(truncate_to(1.15 * 100, 0), 115.0);
    EXPECT_DOUBLE_EQ(truncate_to(1234567890.35, 2), 1234567890.35);
    // Digits really there are cut, even a long run of nines.
    EXPECT_DOUBLE_EQ(truncate_to(12.3499999, 2), 12.34);
    EXPECT_DOUBLE_EQ(truncate_to(1.9999, 2), 1.99);
    EXPECT_DOUBLE_EQ(truncate_to(0.999999, 4), 0.9999);
    EXPECT_DOUBLE_EQ(truncate_to(1.23456789, 6), 1.234567);
    EXPECT_DOUBLE_EQ(truncate_to(5, 2), 5.0);
    EXPECT_DOUBLE_EQ(truncate_to(1999, -2), 1900.0);
    EXPECT_FALSE(std::signbit(truncate_to(-0.001, 2)));
}

TEST(Truncate, CutToCentsAfterRoundingAtFourthDecimal) {
    // An amount is rounded at the fourth decimal, then cut to cents.
    EXPECT_DOUBLE_EQ(truncate_to(ROUND(12.3456, 4), 2), 12.34);
    EXPECT_DOUBLE_EQ(truncate_to(ROUND(12.34999, 4), 2), 12.35);
    EXPECT_DOUBLE_EQ(truncate_to(ROUND(10.239, 4), 2), 10.23);
    EXPECT_DOUBLE_EQ(truncate_to(ROUND(10.23999, 4), 2), 10.24);
    // The same through the text the amount is written as.
    EXPECT_DOUBLE_EQ(VAL(LEFT(STRZERO(10.239, 15, 4), 13)), 10.23);
    EXPECT_DOUBLE_EQ(VAL(LEFT(STRZERO(10.23999, 15, 4), 13)), 10.24);
    EXPECT_DOUBLE_EQ(VAL(LEFT(STRZERO(12.3456, 15, 4), 13)), 12.34);
}

TEST(Int, TowardZero) {
    EXPECT_DOUBLE_EQ(INT(3.7), 3.0);
    EXPECT_DOUBLE_EQ(INT(-3.7), -3.0);
    EXPECT_DOUBLE_EQ(INT(0.29 * 100), 29.0);
    EXPECT_DOUBLE_EQ(INT(86399.99 / 3600), 23.0);
}

}  // namespace
}  // namespace qv::rt
