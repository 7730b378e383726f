// Picture masks: display (TRANSFORM) and entry (PictureEdit). Every expected
// string below was laid out by hand, column by column.
#include <gtest/gtest.h>

#include <string>
#include "runtime/core/cp850.hpp"
#include "runtime/core/date.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"

namespace qv::rt {
namespace {

std::string blanks(std::size_t n) { return std::string(n, ' '); }

// --- reading the picture -------------------------------------------------

TEST(PictureParse, FunctionPartEndsAtFirstBlank) {
    const Picture p = parse_picture("@Ez 99,999,999.99");
    EXPECT_TRUE(p.fn.european);
    EXPECT_TRUE(p.fn.zero_blank);
    EXPECT_FALSE(p.fn.insert_literals);
    EXPECT_EQ(p.mask, "99,999,999.99");
}

TEST(PictureParse, BlanksAfterTheFirstBelongToTheTemplate) {
    EXPECT_EQ(parse_picture("@ez   999,999,999.99").mask, "  999,999,999.99");
}

TEST(PictureParse, ScrollWidthAndUpper) {
    const Picture p = parse_picture("@!S54");
    EXPECT_TRUE(p.fn.upper);
    EXPECT_EQ(p.fn.scroll, 54);
    EXPECT_FALSE(p.has_mask());
    EXPECT_EQ(parse_picture("@s3").fn.scroll, 3);
    const Picture ks = parse_picture("@KS");
    EXPECT_TRUE(ks.fn.clear_first);
    EXPECT_EQ(ks.fn.scroll, 0);
}

TEST(PictureParse, NoAtSignIsAllTemplate) {
    const Picture p = parse_picture("999");
    EXPECT_EQ(p.mask, "999");
    EXPECT_FALSE(p.fn.european);
    EXPECT_FALSE(parse_picture("").has_mask());
}

TEST(PictureParse, MalformedMasks) {
    const Picture a = parse_picture("@99");
    EXPECT_FALSE(a.has_mask());
    EXPECT_FALSE(a.fn.zero_blank);
    const Picture b = parse_picture("@Z9");
    EXPECT_TRUE(b.fn.zero_blank);
    EXPECT_FALSE(b.has_mask());
    const Picture c = parse_picture("@z999.9");
    EXPECT_TRUE(c.fn.zero_blank);
    EXPECT_FALSE(c.has_mask());
    const Picture d = parse_picture("@ 99");
    EXPECT_EQ(d.mask, "99");
    EXPECT_FALSE(d.fn.zero_blank);
}

TEST(PictureParse, AllFunctionLetters) {
    const Picture p = parse_picture("@rkdbcx( 9");
    EXPECT_TRUE(p.fn.insert_literals);
    EXPECT_TRUE(p.fn.clear_first);
    EXPECT_TRUE(p.fn.date);
    EXPECT_TRUE(p.fn.left_justify);
    EXPECT_TRUE(p.fn.credit);
    EXPECT_TRUE(p.fn.debit);
    EXPECT_TRUE(p.fn.parentheses);
}

// --- numbers on display --------------------------------------------------

TEST(PictureNumber, EuropeanZeroBlankMoney) {
    EXPECT_EQ(TRANSFORM(1234.56, "@Ez 99,999,999.99"), "     1.234,56");
    EXPECT_EQ(TRANSFORM(12345678.9, "@Ez 99,999,999.99"), "12.345.678,90");
    EXPECT_EQ(TRANSFORM(0.0, "@Ez 99,999,999.99"), blanks(13));
    EXPECT_EQ(TRANSFORM(-1234.56, "@Ez 99,999,999.99"), "    -1.234,56");
    EXPECT_EQ(TRANSFORM(0.5, "@Ez 99,999,999.99"), "         0,50");
}

TEST(PictureNumber, DocumentedExample) {
    EXPECT_EQ(TRANSFORM(1234.56, "@Ez 9999,999.99"), "   1.234,56");
    EXPECT_EQ(TRANSFORM(0, "@Ez 9999,999.99"), blanks(11));
    EXPECT_EQ(TRANSFORM(1234567.89, "@Ez 9999,999.99"), "1234.567,89");
}

TEST(PictureNumber, EuropeanWithoutZeroBlank) {
    EXPECT_EQ(TRANSFORM(999999.99, "@E 999,999.99"), "999.999,99");
    EXPECT_EQ(TRANSFORM(0, "@E 999,999.99"), "      0,00");
    EXPECT_EQ(TRANSFORM(-5, "@E 999,999.99"), "     -5,00");
    EXPECT_EQ(TRANSFORM(1234.5, "@E 9,999,999,999.99"), "        1.234,50");
    EXPECT_EQ(TRANSFORM(1234567890.12, "@E 9,999,999,999.99"), "1.234.567.890,12");
}

TEST(PictureNumber, SignSitsLeftOfFirstDigitEvenOverABlankedComma) {
    // "999,999.99": the comma before "123" is blank, so the sign takes it.
    EXPECT_EQ(TRANSFORM(-123.45, "@E 999,999.99"), "   -123,45");
    EXPECT_EQ(TRANSFORM(-123.45, "999,999.99"), "   -123.45");
    EXPECT_EQ(TRANSFORM(-0.5, "999.99"), " -0.50");
    EXPECT_EQ(TRANSFORM(-99, "999"), "-99");
}

TEST(PictureNumber, LeadingBlanksInTemplateAreLiterals) {
    EXPECT_EQ(TRANSFORM(1234.56, "@ez   999,999,999.99"), "        1.234,56");
    EXPECT_EQ(TRANSFORM(0, "@ez   999,999,999.99"), blanks(16));
}

TEST(PictureNumber, OverflowIsAsterisksOverTemplateWidth) {
    EXPECT_EQ(TRANSFORM(1000, "999"), "***");
    EXPECT_EQ(TRANSFORM(123456789, "@Ez 99,999,999.99"), "*************");
    EXPECT_EQ(TRANSFORM(1000000, "@E 999,999.99"), "**********");
    // No room left for the sign.
    EXPECT_EQ(TRANSFORM(-999, "999"), "***");
    EXPECT_EQ(TRANSFORM(-999999, "@E 999,999.99"), "**********");
    // Rounding may push a number over.
    EXPECT_EQ(TRANSFORM(99.995, "99.99"), "*****");
}

TEST(PictureNumber, PlainTemplates) {
    EXPECT_EQ(TRANSFORM(5, "999"), "  5");
    EXPECT_EQ(TRANSFORM(0, "999"), "  0");
    EXPECT_EQ(TRANSFORM(7, "99"), " 7");
    EXPECT_EQ(TRANSFORM(42, "##"), "42");
    EXPECT_EQ(TRANSFORM(1234.5, "9,999.99"), "1,234.50");
    EXPECT_EQ(TRANSFORM(0.5, ".99"), ".50");
}

TEST(PictureNumber, RoundsHalfAwayFromZeroAtTemplateDecimals) {
    EXPECT_EQ(TRANSFORM(12.5, "999"), " 13");
    EXPECT_EQ(TRANSFORM(-12.5, "999"), "-13");
    EXPECT_EQ(TRANSFORM(1.005, "999.99"), "  1.01");
    EXPECT_EQ(TRANSFORM(2.675, "@E 9.99"), "2,68");
    EXPECT_EQ(TRANSFORM(0.005, "@E 999,999.99"), "      0,01");
    // Rounds to zero: no "-0,00".
    EXPECT_EQ(TRANSFORM(-0.004, "@E 999,999.99"), "      0,00");
    EXPECT_EQ(TRANSFORM(0.004, "@Ez 999,999.99"), blanks(10));
}

TEST(PictureNumber, WithoutTemplateUsesStrWidth) {
    EXPECT_EQ(TRANSFORM(1234, ""), "      1234");
    EXPECT_EQ(TRANSFORM(1234.5, "@E"), "      1234,50");
    EXPECT_EQ(TRANSFORM(0, "@Z"), blanks(10));
    EXPECT_EQ(TRANSFORM(0, "@Ez"), blanks(10));
    EXPECT_EQ(TRANSFORM(-7, "@E"), "        -7");
}

TEST(PictureNumber, MalformedMasksFollowTheFunctionPartRule) {
    EXPECT_EQ(TRANSFORM(1234, "@99"), "      1234");
    EXPECT_EQ(TRANSFORM(0, "@99"), "         0");
    EXPECT_EQ(TRANSFORM(1234.5, "@99"), "      1234.50");
    EXPECT_EQ(TRANSFORM(0, "@Z9"), blanks(10));
    EXPECT_EQ(TRANSFORM(5, "@Z9"), "         5");
    EXPECT_EQ(TRANSFORM(0, "@z999.9"), blanks(10));
    EXPECT_EQ(TRANSFORM(12.34, "@z999.9"), "        12.34");
    EXPECT_EQ(TRANSFORM(7, "@ 99"), " 7");
    EXPECT_EQ(TRANSFORM(123, "@ 99"), "**");
    EXPECT_EQ(TRANSFORM(0, "@ 99"), " 0");
}

TEST(PictureNumber, SmallZeroBlankFields) {
    EXPECT_EQ(TRANSFORM(0, "@z 99"), "  ");
    EXPECT_EQ(TRANSFORM(3, "@z 99"), " 3");
    EXPECT_EQ(TRANSFORM(0, "@Z 9"), " ");
    EXPECT_EQ(TRANSFORM(12, "@ez 99"), "12");
}

TEST(PictureNumber, Decorations) {
    EXPECT_EQ(TRANSFORM(5, "@B 999"), "5  ");
    EXPECT_EQ(TRANSFORM(-5, "@B 999"), "-5 ");
    EXPECT_EQ(TRANSFORM(5, "@C 999"), "  5 CR");
    EXPECT_EQ(TRANSFORM(-5, "@C 999"), " -5");
    EXPECT_EQ(TRANSFORM(-5, "@X 999"), " -5 DB");
    EXPECT_EQ(TRANSFORM(5, "@X 999"), "  5");
    EXPECT_EQ(TRANSFORM(-5, "@( 999"), " (5)");
    EXPECT_EQ(TRANSFORM(5, "@( 999"), "  5");
}

TEST(PictureNumber, FillPositions) {
    EXPECT_EQ(TRANSFORM(5, "***9"), "***5");
    EXPECT_EQ(TRANSFORM(1234, "***9"), "1234");
    EXPECT_EQ(TRANSFORM(12.3, "$999.99"), "$ 12.30");
}

TEST(PictureNumber, LiteralsInNumberTemplates) {
    EXPECT_EQ(TRANSFORM(5, "No 999"), "No   5");
    EXPECT_EQ(TRANSFORM(-5, "No 999"), "No  -5");
    // The sign never goes into a literal.
    EXPECT_EQ(TRANSFORM(-999, "No 999"), "******");
}

// --- characters on display -----------------------------------------------

TEST(PictureText, InsertedLiterals) {
    EXPECT_EQ(TRANSFORM("12345678909", "@R 999.999.999-99"), "123.456.789-09");
    EXPECT_EQ(TRANSFORM("01310100", "@r 99999-999"), "01310-100");
    EXPECT_EQ(TRANSFORM("0930", "@R ##:##"), "09:30");
    EXPECT_EQ(TRANSFORM("1234567890123", "@r 99999999999-99"), "12345678901-23");
    EXPECT_EQ(TRANSFORM("12345x", "@r !!!!!-!"), "12345-X");
}

TEST(PictureText, ShortValueLeavesBlankPositions) {
    EXPECT_EQ(TRANSFORM("", "@R 999.999.999-99"), "   .   .   -  ");
    EXPECT_EQ(TRANSFORM("123", "@R 999.999.999-99"), "123.   .   -  ");
}

TEST(PictureText, LiteralsWithoutRReplaceCharacters) {
    EXPECT_EQ(TRANSFORM("12345", "999-99"), "123-5 ");
    EXPECT_EQ(TRANSFORM("12/34", "99/99"), "12/34");
}

TEST(PictureText, TemplateLimitsLength) {
    EXPECT_EQ(TRANSFORM("abcdef", "!!!"), "ABC");
    EXPECT_EQ(TRANSFORM("abcdef", "X!X"), "aBc");
}

TEST(PictureText, UpperKnowsAccents) {
    EXPECT_EQ(TRANSFORM("joão ação é"_cp, "@!"), "JOÃO AÇÃO É"_cp);
    EXPECT_EQ(TRANSFORM("ção"_cp, "!XX"), "Ção"_cp);
}

TEST(PictureText, ScrollCutsDisplay) {
    const std::string long_text(60, 'a');
    EXPECT_EQ(TRANSFORM(long_text, "@!S54"), std::string(54, 'A'));
    EXPECT_EQ(TRANSFORM("rua x", "@S46"), "rua x");
    EXPECT_EQ(TRANSFORM("Brasil", "@s3"), "Bra");
}

TEST(PictureText, NoTemplateIsTheValue) {
    EXPECT_EQ(TRANSFORM("abc", "@K"), "abc");
    EXPECT_EQ(TRANSFORM("abc ", ""), "abc ");
}

// --- dates, logicals, others ---------------------------------------------

TEST(PictureOther, Dates) {
    const Date d = Date::from_ymd(2011, 3, 5);
    EXPECT_EQ(TRANSFORM(d, "@D"), "05/03/2011");
    EXPECT_EQ(TRANSFORM(d, "@E"), "05/03/2011");
    EXPECT_EQ(TRANSFORM(d, ""), "05/03/2011");
    EXPECT_EQ(TRANSFORM(Date(), "@D"), "  /  /    ");
}

TEST(PictureOther, Logicals) {
    EXPECT_EQ(TRANSFORM(true, ""), "T");
    EXPECT_EQ(TRANSFORM(false, ""), "F");
    EXPECT_EQ(TRANSFORM(true, "L"), "T");
    EXPECT_EQ(TRANSFORM(true, "Y"), "Y");
    EXPECT_EQ(TRANSFORM(false, "y"), "N");
}

TEST(PictureOther, NilAndArrayShowNothing) {
    EXPECT_EQ(TRANSFORM(Value(), "999"), "");
    EXPECT_EQ(TRANSFORM(Value::array(2), "@!"), "");
}

// --- entry ----------------------------------------------------------------

TEST(PictureEditNumber, EuropeanBufferLayout) {
    const PictureEdit e("@E 999,999.99", Value(1234.56));
    EXPECT_EQ(e.type(), Type::Number);
    EXPECT_EQ(e.length(), 10u);
    EXPECT_EQ(e.display_width(), 10u);
    EXPECT_EQ(e.buffer(1234.56), "  1.234,56");
    ASSERT_TRUE(e.decimal_pos().has_value());
    EXPECT_EQ(*e.decimal_pos(), 7u);
    EXPECT_EQ(e.decimal_char(), ',');
    EXPECT_TRUE(e.editable(0));
    EXPECT_TRUE(e.editable(2));
    EXPECT_FALSE(e.editable(3));   // thousands mark
    EXPECT_TRUE(e.editable(6));
    EXPECT_FALSE(e.editable(7));   // decimal mark
    EXPECT_TRUE(e.editable(9));
    EXPECT_FALSE(e.editable(10));
    EXPECT_EQ(e.first_editable(), 0u);
    EXPECT_EQ(e.last_editable(), 9u);
    EXPECT_EQ(e.next_editable(2), 4u);
    EXPECT_EQ(e.next_editable(6), 8u);
    EXPECT_EQ(e.prev_editable(8), 6u);
    EXPECT_EQ(e.prev_editable(0), std::nullopt);
    EXPECT_EQ(e.next_editable(9), std::nullopt);
}

TEST(PictureEditNumber, EuropeanRoundTrip) {
    const PictureEdit e("@E 999,999.99", Value(0.0));
    EXPECT_DOUBLE_EQ(e.value("  1.234,56").as_number(), 1234.56);
    EXPECT_DOUBLE_EQ(e.value("   -123,45").as_number(), -123.45);
    EXPECT_DOUBLE_EQ(e.value("      0,00").as_number(), 0.0);
    EXPECT_DOUBLE_EQ(e.value(blanks(10)).as_number(), 0.0);
    // Back to the buffer it came from.
    EXPECT_EQ(e.buffer(e.value("  1.234,56")), "  1.234,56");
}

TEST(PictureEditNumber, TypingAfterFirstKeyClear) {
    const PictureEdit e("@E 999,999.99", Value(1234.56));
    std::string buf = e.blank_buffer();
    EXPECT_EQ(buf, "       ,  ");
    // Digits typed from the left, "," jumps to the decimals.
    buf[0] = *e.accept(0, '1');
    buf[1] = *e.accept(1, '2');
    buf[*e.decimal_pos() + 1] = *e.accept(8, '5');
    EXPECT_EQ(buf, "12     ,5 ");
    const Value v = e.value(buf);
    EXPECT_DOUBLE_EQ(v.as_number(), 12.5);
    EXPECT_EQ(e.buffer(v), "     12,50");
}

TEST(PictureEditNumber, AcceptsDigitsAndSignOnly) {
    const PictureEdit e("999,999.99", Value(1.0));
    EXPECT_EQ(e.accept(0, '7'), '7');
    EXPECT_EQ(e.accept(0, '-'), '-');
    EXPECT_EQ(e.accept(0, 'a'), std::nullopt);
    EXPECT_EQ(e.accept(0, ' '), std::nullopt);
    EXPECT_EQ(e.accept(3, '1'), std::nullopt);
    EXPECT_EQ(e.decimal_char(), '.');
    const PictureEdit h("###", Value(1.0));
    EXPECT_EQ(h.accept(1, ' '), ' ');
    EXPECT_EQ(h.accept(1, '+'), '+');
}

TEST(PictureEditNumber, ZeroBlankShowsBlankBuffer) {
    const PictureEdit e("@Ez 99,999,999.99", Value(0.0));
    EXPECT_EQ(e.buffer(0.0), blanks(13));
    EXPECT_EQ(e.buffer(1234.56), "     1.234,56");
    EXPECT_DOUBLE_EQ(e.value("12.345.678,90").as_number(), 12345678.9);
    EXPECT_DOUBLE_EQ(e.value("    -1.234,56").as_number(), -1234.56);
}

TEST(PictureEditNumber, WholeNumbersHaveNoDecimalPosition) {
    const PictureEdit e("@z 99", Value(3.0));
    EXPECT_EQ(e.buffer(3.0), " 3");
    EXPECT_EQ(e.decimal_pos(), std::nullopt);
    EXPECT_DOUBLE_EQ(e.value("42").as_number(), 42.0);
    EXPECT_DOUBLE_EQ(e.value("4 ").as_number(), 4.0);
}

TEST(PictureEditNumber, WithoutTemplateEditsInStrLayout) {
    const PictureEdit whole("", Value(0.0));
    EXPECT_EQ(whole.length(), 10u);
    EXPECT_EQ(whole.buffer(0.0), "         0");
    EXPECT_EQ(whole.decimal_pos(), std::nullopt);
    const PictureEdit frac("@E", Value(1234.5));
    EXPECT_EQ(frac.length(), 13u);
    EXPECT_EQ(frac.buffer(1234.5), "      1234,50");
    EXPECT_EQ(frac.decimal_pos(), 10u);
    EXPECT_DOUBLE_EQ(frac.value("        12,25").as_number(), 12.25);
}

TEST(PictureEditNumber, MalformedMasksEditAsTheyShow) {
    EXPECT_EQ(PictureEdit("@99", Value(5.0)).length(), 10u);
    EXPECT_EQ(PictureEdit("@99", Value(5.0)).buffer(5.0), "         5");
    EXPECT_EQ(PictureEdit("@Z9", Value(0.0)).buffer(0.0), blanks(10));
    EXPECT_EQ(PictureEdit("@z999.9", Value(0.0)).buffer(0.0), blanks(10));
    const PictureEdit month("@ 99", Value(3.0));
    EXPECT_EQ(month.length(), 2u);
    EXPECT_EQ(month.buffer(3.0), " 3");
    EXPECT_DOUBLE_EQ(month.value("12").as_number(), 12.0);
}

TEST(PictureEditText, CpfLiteralsLeftOut) {
    const PictureEdit e("@R 999.999.999-99", Value("12345678909"));
    EXPECT_EQ(e.type(), Type::Character);
    EXPECT_EQ(e.length(), 14u);
    EXPECT_EQ(e.buffer(Value("12345678909")), "123.456.789-09");
    EXPECT_FALSE(e.editable(3));
    EXPECT_FALSE(e.editable(11));
    EXPECT_TRUE(e.editable(12));
    EXPECT_EQ(e.next_editable(2), 4u);
    EXPECT_EQ(e.accept(0, '5'), '5');
    EXPECT_EQ(e.accept(0, 'a'), std::nullopt);
    EXPECT_EQ(e.value("987.654.321-00").as_string(), "98765432100");
    EXPECT_EQ(e.blank_buffer(), "   .   .   -  ");
    EXPECT_EQ(e.value(e.blank_buffer()).as_string(), blanks(11));
}

TEST(PictureEditText, PostalCodeAndTime) {
    const PictureEdit cep("@r 99999-999", Value("01310100"));
    EXPECT_EQ(cep.buffer(Value("01310100")), "01310-100");
    EXPECT_EQ(cep.value("04567-890").as_string(), "04567890");
    const PictureEdit hour("@R ##:##", Value("0930"));
    EXPECT_EQ(hour.buffer(Value("0930")), "09:30");
    EXPECT_EQ(hour.value("11:45").as_string(), "1145");
    EXPECT_EQ(hour.accept(0, ' '), ' ');
    EXPECT_EQ(hour.accept(0, 'x'), std::nullopt);
}

TEST(PictureEditText, LiteralsStayWithoutR) {
    const PictureEdit e("99/99", Value("12/34"));
    EXPECT_FALSE(e.editable(2));
    EXPECT_EQ(e.value("56/78").as_string(), "56/78");
}

TEST(PictureEditText, ShortTemplateKeepsRestOfValue) {
    const PictureEdit e("!!!", Value("abcdef"));
    EXPECT_EQ(e.length(), 3u);
    EXPECT_EQ(e.buffer(Value("abcdef")), "ABC");
    EXPECT_EQ(e.value("XYZ").as_string(), "XYZdef");
}

TEST(PictureEditText, UpperFunctionAndScroll) {
    const PictureEdit e("@!S54", Value(std::string(80, ' ')));
    EXPECT_EQ(e.length(), 80u);
    EXPECT_EQ(e.display_width(), 54u);
    EXPECT_EQ(e.accept(0, 'a'), 'A');
    EXPECT_EQ(e.accept(79, "ç"_cp[0]), "Ç"_cp[0]);
    EXPECT_EQ(e.accept(5, '1'), '1');
    EXPECT_EQ(e.accept(5, '\x1B'), std::nullopt);
    EXPECT_EQ(e.buffer(Value("joão"_cp)), PADR("JOÃO"_cp, 80));
}

TEST(PictureEditText, TemplateCharacterRules) {
    const PictureEdit e("9#AN!XLY", Value("        "));
    EXPECT_EQ(e.accept(0, '5'), '5');
    EXPECT_EQ(e.accept(0, 'a'), std::nullopt);
    EXPECT_EQ(e.accept(1, '-'), '-');
    EXPECT_EQ(e.accept(1, 'a'), std::nullopt);
    EXPECT_EQ(e.accept(2, 'b'), 'b');
    EXPECT_EQ(e.accept(2, "é"_cp[0]), "é"_cp[0]);
    EXPECT_EQ(e.accept(2, '1'), std::nullopt);
    EXPECT_EQ(e.accept(3, '1'), '1');
    EXPECT_EQ(e.accept(3, '-'), std::nullopt);
    EXPECT_EQ(e.accept(4, "ã"_cp[0]), "Ã"_cp[0]);
    EXPECT_EQ(e.accept(5, '?'), '?');
    EXPECT_EQ(e.accept(6, 'y'), 'Y');
    EXPECT_EQ(e.accept(6, 'q'), std::nullopt);
    EXPECT_EQ(e.accept(7, 'n'), 'N');
    EXPECT_EQ(e.accept(7, 't'), std::nullopt);
}

TEST(PictureEditText, TemplateLettersInAnyCase) {
    EXPECT_EQ(TRANSFORM("abc", "!xx"), "Abc");
    const PictureEdit e("aan", Value("   "));
    EXPECT_TRUE(e.editable(0));
    EXPECT_EQ(e.accept(0, '1'), std::nullopt);
    EXPECT_EQ(e.accept(2, '1'), '1');
}

TEST(PictureEditText, FirstKeyClearFlag) {
    EXPECT_TRUE(PictureEdit("@K", Value("abc")).clears_on_first_key());
    EXPECT_TRUE(PictureEdit("@KS", Value("abc")).clears_on_first_key());
    EXPECT_FALSE(PictureEdit("@!", Value("abc")).clears_on_first_key());
    EXPECT_EQ(PictureEdit("@K", Value("abc")).blank_buffer(), "   ");
}

TEST(PictureEditOther, Dates) {
    const PictureEdit e("@D", Value(Date::from_ymd(2011, 3, 5)));
    EXPECT_EQ(e.type(), Type::Date);
    EXPECT_EQ(e.buffer(Value(Date::from_ymd(2011, 3, 5))), "05/03/2011");
    EXPECT_FALSE(e.editable(2));
    EXPECT_TRUE(e.editable(3));
    EXPECT_EQ(e.accept(0, '3'), '3');
    EXPECT_EQ(e.accept(0, 'a'), std::nullopt);
    EXPECT_EQ(e.value("31/12/2010").as_date(), Date::from_ymd(2010, 12, 31));
    EXPECT_TRUE(e.value("  /  /    ").as_date().empty());
    EXPECT_TRUE(e.acceptable("  /  /    "));
    EXPECT_TRUE(e.acceptable("29/02/2012"));
    EXPECT_FALSE(e.acceptable("29/02/2011"));
    EXPECT_EQ(e.blank_buffer(), "  /  /    ");
}

TEST(PictureEditOther, NilHasNothingToEdit) {
    const PictureEdit e("@!", Value());
    EXPECT_EQ(e.length(), 0u);
    EXPECT_EQ(e.first_editable(), std::nullopt);
    EXPECT_EQ(e.last_editable(), std::nullopt);
    EXPECT_EQ(e.accept(0, 'a'), std::nullopt);
    EXPECT_TRUE(e.value("").is_nil());
}

TEST(PictureEditOther, Logicals) {
    const PictureEdit yn("Y", Value(true));
    EXPECT_EQ(yn.buffer(Value(true)), "Y");
    EXPECT_EQ(yn.accept(0, 't'), 'Y');
    EXPECT_EQ(yn.accept(0, 'n'), 'N');
    EXPECT_EQ(yn.accept(0, 'x'), std::nullopt);
    EXPECT_FALSE(yn.value("N").as_bool());
    EXPECT_TRUE(yn.value("Y").as_bool());
    const PictureEdit tf("", Value(false));
    EXPECT_EQ(tf.buffer(Value(false)), "F");
    EXPECT_EQ(tf.accept(0, 'y'), 'T');
    EXPECT_TRUE(tf.value("T").as_bool());
}

}  // namespace
}  // namespace qv::rt
