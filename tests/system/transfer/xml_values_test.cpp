#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "runtime/core/cp850.hpp"
#include "transfer/shared_file.hpp"
#include "transfer/xml_values.hpp"
#include "transfer/xml_writer.hpp"

namespace qv::transfer {
namespace {

using rt::operator""_cp;

struct NumberCase {
    double value;
    NumberCode code;
    const char* written;
};

TEST(XmlValues, EveryNumberCodeWritesItsLayout) {
    const NumberCase cases[] = {
        NumberCase{0, NumberCode::Amount, "0,00"}, NumberCase{0.001, NumberCode::Amount, "0,00"},
        NumberCase{1234567.891, NumberCode::Amount, "1.234.567,89"}, NumberCase{-1234.56, NumberCode::Amount, "-1.234,56"},
        NumberCase{0.5, NumberCode::Amount, "0,50"}, NumberCase{1234567890123.0, NumberCode::Amount, "1.234.567.890.123,00"},
        NumberCase{0, NumberCode::Whole, "0"}, NumberCase{1234.5, NumberCode::Whole, "1.235"},
        NumberCase{-7, NumberCode::Whole, "-7"}, NumberCase{98765432101.0, NumberCode::Whole, "98.765.432.101"},
        NumberCase{0, NumberCode::OneDecimal, "0"}, NumberCase{12, NumberCode::OneDecimal, "12,0"},
        NumberCase{1050.5, NumberCode::OneDecimal, "1.050,5"}, NumberCase{-3.5, NumberCode::OneDecimal, "-3,5"},
        NumberCase{0, NumberCode::Digits, "0"}, NumberCase{2011, NumberCode::Digits, "2011"},
        NumberCase{1234567, NumberCode::Digits, "1234567"}, NumberCase{123456789012.0, NumberCode::Digits, "123456789012"},
        NumberCase{0, NumberCode::Plain, "0"}, NumberCase{1234.5, NumberCode::Plain, "1234,50"},
        NumberCase{1234, NumberCode::Plain, "1234"}, NumberCase{-5.25, NumberCode::Plain, "-5,25"},
        NumberCase{0, NumberCode::SixDecimals, ""}, NumberCase{12.345678, NumberCode::SixDecimals, "12,345678"},
        NumberCase{0.5, NumberCode::SixDecimals, "0,500000"}, NumberCase{100, NumberCode::SixDecimals, "100,000000"},
        NumberCase{-0.5, NumberCode::SixDecimals, "-0,500000"}, NumberCase{-2011, NumberCode::Digits, "-2011"},
        NumberCase{12345678901.5, NumberCode::Plain, "12345678901,50"}, NumberCase{0.04, NumberCode::OneDecimal, "0"}};
    for (const NumberCase& c : cases) EXPECT_EQ(number_text(c.value, c.code), c.written) << c.value;
}

TEST(XmlValues, NumbersAreQuotedWithTheirClosingMark) {
    EXPECT_EQ(CONVNRO(0, 0), "\"0,00\"");
    EXPECT_EQ(CONVNRO(1234.5, 1, 1), "\"1.235\">");
    EXPECT_EQ(CONVNRO(3, 2, 4), "\"3\"/>");
    EXPECT_EQ(CONVNRO(0, 2, 5), "\"\"/>");
}

TEST(XmlValues, FreeTextsAreTransliteratedAndTrimmed) {
    EXPECT_EQ(POEASPAS("  Ação & Cia <SA>  "_cp, 0, 1), "\"Acao e Cia -SA-\"");
    EXPECT_EQ(POEASPAS("Muñoz"_cp, 2, 1), "\"Mu oz\"/>");
    EXPECT_EQ(CONVCAR("ÁÉÍÓÚ âêô ü ç Ç º ª ² ³ £ × ƒ"_cp), "AEIOU aeo u c C o a 2 3 L x f");
    EXPECT_EQ(CONVCAR("\"it's\" #1 a_b"_cp), " it s   1 a-b");
    // Letters the common table leaves alone and control characters.
    EXPECT_EQ(CONVCAR("åÅæÆÿø"_cp), "aAaeAEyo");
    EXPECT_EQ(CONVCAR(std::string("a\tb\x01" "c\x7f")), "a b cE");
    const std::string graphics = "░▒▓│┤©╣║╗╝¢¥┐└┴┬├─┼╚╔╩╦╠═╬¤ðÐı┘┌█▄¦▀ßµþÞýÝ¯´±‗¾¶§÷¸°¨·¹■½¼ñÑ¿®¬¡«»"_cp;
    EXPECT_EQ(CONVCAR(graphics), std::string(graphics.size(), ' '));
}

TEST(XmlValues, StoredTextsKeepClean7BitTextAndLoseOnlyWhatBreaksTheFile) {
    EXPECT_EQ(POEASPAS(" Rua_1 #2 (fundos) ", 1, 0), "\"Rua_1 #2 (fundos)\">");
    EXPECT_EQ(guard_text("a&b\"c<d>é\r\n"_cp), "aeb c-d-e  ");
}

TEST(XmlValues, SemPontoBlanksTheSixMarks) { EXPECT_EQ(SEMPONTO("A.B,C/D\\E)F(G-H"), "A B C D E F G-H"); }

TEST(XmlValues, DatesCpfsAndMonths) {
    EXPECT_EQ(date_text(rt::Date::from_ymd(2011, 3, 9)), "09/03/2011");
    EXPECT_EQ(date_text(rt::Date()), "  /  /    ");
    EXPECT_EQ(time_stamp(rt::Date::from_ymd(2012, 4, 30), "08:05:00"), "30/04/2012 08:05:00");
    EXPECT_EQ(cpf_text("12345678909"), "123.456.789-09");
    EXPECT_EQ(POEASPAS(cpf_text(""), 0, 0), "\".   .   -\"");
    EXPECT_EQ(month_element(3, true), "marco    ");
    EXPECT_EQ(month_element(3, false), "marco");
    EXPECT_EQ(month_element(9, true), "setembro ");
}

TEST(XmlWriter, WritesElementsAttributesAndEnds) {
    XmlWriter w;
    w.open("a");
    w.amount("v", 1.5);
    w.text("t", " x ", Close::Start);
    w.open_bare("b");
    w.open("c");
    w.date("d", rt::Date(), Close::Empty);
    w.end("b");
    w.end("a");
    EXPECT_EQ(w.take(), "<a v=\"1,50\" t=\"x\"><b><c d=\"  /  /    \"/></b></a>");
    EXPECT_TRUE(w.buffer().empty());
}

// The file is written over in place: each generation leaves exactly its
// own text, whether the file was longer, shorter or missing before.
TEST(XmlWriter, EachGenerationLeavesExactlyItsOwnText) {
    const std::string path =
        (std::filesystem::temp_directory_path() / ("qv_xmlwriter_" + std::to_string(::getpid()) + ".xml")).string();
    std::filesystem::remove(path);
    for (const std::string& text : {std::string(5000, 'a'), std::string("<b/>"), std::string(70000, 'c'), std::string()}) {
        XmlWriter w;
        ASSERT_TRUE(w.create(path));
        w.open_bare(text);
        ASSERT_TRUE(w.close());
        EXPECT_EQ(read_whole_file(path).value_or("<unread>"), "<" + text + ">") << text.size();
    }
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace qv::transfer
