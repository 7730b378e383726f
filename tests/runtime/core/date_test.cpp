#include <gtest/gtest.h>

#include "runtime/core/clock.hpp"
#include "runtime/core/date.hpp"

namespace qv::rt {
namespace {

TEST(Julian, MatchesTheAstronomicalDayNumber) {
    EXPECT_EQ(Date::from_ymd(1980, 1, 31).julian(), 2444270);
    EXPECT_EQ(Date::from_ymd(2000, 1, 1).julian(), 2451545);
    EXPECT_EQ(Date::from_ymd(1970, 1, 1).julian(), 2440588);
    EXPECT_EQ(Date::from_ymd(1858, 11, 17).julian(), 2400001);   // MJD epoch + 1
    EXPECT_EQ(Date::from_ymd(1582, 10, 15).julian(), 2299161);   // first Gregorian day
    EXPECT_EQ(Date::from_ymd(1900, 1, 1).julian(), 2415021);
    const Date d = Date::from_julian(2444270);
    EXPECT_EQ(d.day(), 31);
    EXPECT_EQ(d.month(), 1);
    EXPECT_EQ(d.year(), 1980);
}

TEST(Julian, RoundTripOverCenturies) {
    // Walk day by day and check the calendar advances correctly.
    Date d = Date::from_ymd(1899, 12, 31);
    int y = 1899, m = 12, day = 31;
    for (int i = 0; i < 80000; ++i) {
        d = d + 1;
        if (++day > days_in_month(y, m)) {
            day = 1;
            if (++m > 12) {
                m = 1;
                ++y;
            }
        }
        ASSERT_EQ(d.year(), y);
        ASSERT_EQ(d.month(), m);
        ASSERT_EQ(d.day(), day);
    }
}

TEST(Validity, LeapYears) {
    EXPECT_TRUE(is_valid_ymd(2000, 2, 29));
    EXPECT_FALSE(is_valid_ymd(1900, 2, 29));
    EXPECT_TRUE(is_valid_ymd(2012, 2, 29));
    EXPECT_FALSE(is_valid_ymd(2011, 2, 29));
    EXPECT_FALSE(is_valid_ymd(2100, 2, 29));
    EXPECT_EQ(days_in_month(2000, 2), 29);
    EXPECT_EQ(days_in_month(1900, 2), 28);
    EXPECT_EQ(days_in_month(2011, 4), 30);
    EXPECT_EQ(days_in_month(2011, 13), 0);
    EXPECT_FALSE(is_valid_ymd(2011, 4, 31));
    EXPECT_FALSE(is_valid_ymd(2011, 0, 1));
    EXPECT_FALSE(is_valid_ymd(2011, 1, 0));
    EXPECT_TRUE(Date::from_ymd(1900, 2, 29).empty());
    EXPECT_TRUE(Date::from_ymd(0, 1, 1).empty());
    EXPECT_TRUE(Date::from_ymd(10000, 1, 1).empty());
}

TEST(Text, DtocAndCtod) {
    EXPECT_EQ(DTOC(Date::from_ymd(2012, 4, 1)), "01/04/2012");
    EXPECT_EQ(DTOC(Date::from_ymd(2000, 2, 29)), "29/02/2000");
    EXPECT_EQ(DTOC(Date{}), "  /  /    ");
    EXPECT_EQ(CTOD("29/02/2000"), Date::from_ymd(2000, 2, 29));
    EXPECT_EQ(CTOD("01/05/2012"), Date::from_ymd(2012, 5, 1));
    EXPECT_EQ(CTOD("1/5/2012"), Date::from_ymd(2012, 5, 1));
    EXPECT_EQ(CTOD("31/12/99"), Date::from_ymd(1999, 12, 31));   // epoch 1900
    EXPECT_EQ(CTOD("01/04/12"), Date::from_ymd(1912, 4, 1));
    EXPECT_EQ(CTOD("01/04/0012"), Date::from_ymd(12, 4, 1));     // four digits are taken as they are
}

TEST(Text, BadDatesAreEmpty) {
    EXPECT_TRUE(CTOD("31/02/2011").empty());
    EXPECT_TRUE(CTOD("29/02/1900").empty());
    EXPECT_TRUE(CTOD("  /  /    ").empty());
    EXPECT_TRUE(CTOD("").empty());
    EXPECT_TRUE(CTOD("32/01/2012").empty());
    EXPECT_TRUE(CTOD("01/13/2012").empty());
    EXPECT_TRUE(CTOD("01/04/").empty());
    EXPECT_TRUE(CTOD("00/00/0000").empty());
}

TEST(Text, DtosAndStod) {
    EXPECT_EQ(DTOS(Date::from_ymd(2012, 4, 1)), "20120401");
    EXPECT_EQ(DTOS(Date::from_ymd(1980, 1, 31)), "19800131");
    EXPECT_EQ(DTOS(Date{}), "        ");
    EXPECT_EQ(STOD("20120401"), Date::from_ymd(2012, 4, 1));
    EXPECT_EQ(STOD("20000229"), Date::from_ymd(2000, 2, 29));
    EXPECT_TRUE(STOD("        ").empty());
    EXPECT_TRUE(STOD("").empty());
    EXPECT_TRUE(STOD("20110229").empty());
    EXPECT_TRUE(STOD("2012").empty());
    EXPECT_TRUE(STOD("2012-4-1").empty());
    // DTOS keys sort like the dates.
    EXPECT_LT(DTOS(Date::from_ymd(2011, 12, 31)), DTOS(Date::from_ymd(2012, 1, 1)));
}

TEST(DateParts, DayMonthYearDow) {
    const Date d = Date::from_ymd(2012, 4, 1);
    EXPECT_EQ(DAY(d), 1);
    EXPECT_EQ(MONTH(d), 4);
    EXPECT_EQ(YEAR(d), 2012);
    EXPECT_EQ(DOW(d), 1);                                // a Sunday
    EXPECT_EQ(DOW(Date::from_ymd(2012, 5, 1)), 3);       // a Tuesday
    EXPECT_EQ(DOW(Date::from_ymd(2000, 2, 29)), 3);      // a Tuesday
    EXPECT_EQ(DOW(Date::from_ymd(2011, 12, 31)), 7);     // a Saturday
    EXPECT_EQ(DOW(Date::from_ymd(1980, 1, 31)), 5);      // a Thursday
    EXPECT_EQ(DAY(Date{}), 0);
    EXPECT_EQ(MONTH(Date{}), 0);
    EXPECT_EQ(YEAR(Date{}), 0);
    EXPECT_EQ(DOW(Date{}), 0);
}

TEST(Arithmetic, Days) {
    EXPECT_EQ(Date::from_ymd(2012, 2, 28) + 1, Date::from_ymd(2012, 2, 29));
    EXPECT_EQ(Date::from_ymd(2012, 2, 28) + 2, Date::from_ymd(2012, 3, 1));
    EXPECT_EQ(Date::from_ymd(2011, 12, 31) + 1, Date::from_ymd(2012, 1, 1));
    EXPECT_EQ(Date::from_ymd(2012, 3, 1) - 1, Date::from_ymd(2012, 2, 29));
    EXPECT_EQ(Date::from_ymd(2013, 1, 1) - Date::from_ymd(2012, 1, 1), 366);
    EXPECT_EQ(Date::from_ymd(1901, 1, 1) - Date::from_ymd(1900, 1, 1), 365);
    EXPECT_TRUE((Date{} + 5).empty());
    EXPECT_TRUE((Date{} - 5).empty());
    EXPECT_LT(Date{}, Date::from_ymd(1900, 1, 1));
}

class ClockTest : public ::testing::Test {
protected:
    void TearDown() override { reset_clock(); }
};

TEST_F(ClockTest, FixedToday) {
    set_clock(Date::from_ymd(2012, 4, 1), 3661.5);
    EXPECT_EQ(DATE(), Date::from_ymd(2012, 4, 1));
    EXPECT_DOUBLE_EQ(SECONDS(), 3661.5);
    EXPECT_EQ(TIME(), "01:01:01");
    EXPECT_EQ(DATE(), Date::from_ymd(2012, 4, 1));   // does not move by itself
}

TEST_F(ClockTest, AdvanceCrossesMidnight) {
    set_clock(Date::from_ymd(2012, 4, 30), 86399.0);
    advance_clock(0.5);
    EXPECT_EQ(TIME(), "23:59:59");
    advance_clock(1.5);
    EXPECT_EQ(DATE(), Date::from_ymd(2012, 5, 1));
    EXPECT_DOUBLE_EQ(SECONDS(), 1.0);
    EXPECT_EQ(TIME(), "00:00:01");
    advance_clock(2 * 86400.0);
    EXPECT_EQ(DATE(), Date::from_ymd(2012, 5, 3));
}

TEST_F(ClockTest, ResetReadsTheSystemClock) {
    set_clock(Date::from_ymd(1999, 1, 1));
    reset_clock();
    EXPECT_GT(YEAR(DATE()), 2000);
    EXPECT_GE(SECONDS(), 0.0);
    EXPECT_LT(SECONDS(), 86400.0);
    EXPECT_EQ(TIME().size(), 8u);
}

}  // namespace
}  // namespace qv::rt
