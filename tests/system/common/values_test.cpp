// Amounts, month and weekday names, time arithmetic and string helpers.
#include <gtest/gtest.h>

#include "common/amounts.hpp"
#include "common/calendar_names.hpp"
#include "common/text_helpers.hpp"
#include "common/times.hpp"

namespace qv::common {
namespace {

TEST(CommonWrapped, BreaksAtBlanksAndCutsLongWords) {
    struct Case {
        std::string_view text;
        std::size_t width;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"abc def ghi", 7, {"abc def", "ghi"}},
        {"abc def ghi", 3, {"abc", "def", "ghi"}},
        {"abcdefghij k", 4, {"abcd", "efgh", "ij k"}},
        {"  a   b  ", 10, {"a b"}},
        {"", 5, {""}},
        {"cannot open /tmp/x/IMP0912.DBF: no space left", 20,
         {"cannot open", "/tmp/x/IMP0912.DBF:", "no space left"}},
    };
    for (const Case& c : cases) EXPECT_EQ(common::wrapped(c.text, c.width), c.lines) << c.text;
}

TEST(CommonDespreza, RoundsAtTheFourthDecimalThenCutsToCents) {
    EXPECT_DOUBLE_EQ(DESPREZA(12.3456, 15), 12.34);
    EXPECT_DOUBLE_EQ(DESPREZA(12.34999, 15), 12.35);
    EXPECT_DOUBLE_EQ(DESPREZA(10.239, 15), 10.23);
    EXPECT_DOUBLE_EQ(DESPREZA(10.23999, 15), 10.24);
    EXPECT_DOUBLE_EQ(DESPREZA(-10.239, 15), -10.23);
    EXPECT_DOUBLE_EQ(DESPREZA(1500, 15), 1500.0);
}

TEST(CommonDespreza, KeepFlagAndWidth) {
    EXPECT_DOUBLE_EQ(DESPREZA(12.34567, 15, 2, 1), 12.3457);
    EXPECT_DOUBLE_EQ(DESPREZA(12.3456, 15, 0), 12.0);   // two places written, both cut
    EXPECT_DOUBLE_EQ(DESPREZA(123456.78, 5), 0.0);       // does not fit: asterisks read as 0
}

TEST(CommonCarToVal, ReadsAmountsWrittenTheBrazilianWay) {
    EXPECT_DOUBLE_EQ(CAR_TO_VAL("1.234.567,8"), 1234567.8);
    EXPECT_DOUBLE_EQ(CAR_TO_VAL("1.234,56"), 1234.56);
    EXPECT_DOUBLE_EQ(CAR_TO_VAL(""), 0.0);
    EXPECT_DOUBLE_EQ(CAR_TO_VAL("   "), 0.0);
    EXPECT_DOUBLE_EQ(CAR_TO_VAL("  -12,50"), -12.5);
    EXPECT_DOUBLE_EQ(CAR_TO_VAL("7"), 7.0);
}

TEST(CommonNames, MonthsArePaddedToNine) {
    EXPECT_EQ(TRAZ_MES(1), "Janeiro  ");
    EXPECT_EQ(TRAZ_MES(2), "Fevereiro");
    EXPECT_EQ(TRAZ_MES(3), "Marco    ");
    EXPECT_EQ(TRAZ_MES(12), "Dezembro ");
    EXPECT_EQ(TRAZ_MES(0), "");
    EXPECT_EQ(TRAZ_MES(13), "");
}

TEST(CommonNames, Weekdays) {
    EXPECT_EQ(DIA_SEMANA(rt::Date::from_ymd(2011, 12, 25)), "Domingo");
    EXPECT_EQ(DIA_SEMANA(rt::Date::from_ymd(2012, 4, 30)), "Segunda feira");
    EXPECT_EQ(DIA_SEMANA(rt::Date::from_ymd(2012, 4, 28)), "Sabado");
    EXPECT_EQ(DIA_SEMANA(rt::Date{}), "");
}

TEST(CommonTimes, SecondsAndBack) {
    EXPECT_EQ(HORA_SEG("01:02:03"), 3723);
    EXPECT_EQ(HORA_SEG("23:59:59"), 86399);
    EXPECT_EQ(SEG_HORA(3723), "01:02:03");
    EXPECT_EQ(SEG_HORA(90000), "01:00:00");   // hours taken mod 24
    EXPECT_EQ(SEG_HOR_2(93780), "01D02h03m");
    EXPECT_EQ(SEG_HOR_2(59), "00D00h00m");
}

TEST(CommonTimes, ElapsedAcrossMidnight) {
    EXPECT_EQ(TEMPO_PAS("23:59:00", "00:01:00").as_number(), 120);
    EXPECT_EQ(TEMPO_PAS("23:59:00", "00:01:00", 1).as_string(), "00:02:00");
    EXPECT_EQ(TEMPO_PAS("08:00:00", "09:30:15").as_number(), 5415);
    EXPECT_EQ(TEMPO_PAS("08:00:00", "08:00:00").as_number(), 0);
}

TEST(CommonTextHelpers, AjusCarTurnsWindowsLettersIntoDosLetters) {
    // "água Área Índio ção" in Windows-1252, with trailing blanks
    EXPECT_EQ(AJUS_CAR("\xE1gua \xC1rea \xCDndio \xE7\xE3o   "), "\xA0gua Area Indio \x87\x84o");
    EXPECT_EQ(AJUS_CAR("\xEA\xCA\xF4\xD4"), "\x88" "E\x93O");
    EXPECT_EQ(AJUS_CAR("plain"), "plain");
}

TEST(CommonTextHelpers, Center) {
    EXPECT_EQ(CENTER("abcde"), 37);
    EXPECT_EQ(CENTER("abcd"), 38);
    EXPECT_EQ(CENTER("ab", 10), 4);
    EXPECT_EQ(CENTER(std::string(81, 'x')), 0);
}

}  // namespace
}  // namespace qv::common
