// The figures of a capital gain as the declaration file writes them,
// worked by hand.
#include <gtest/gtest.h>

#include "transfer/gain_figures.hpp"

namespace qv::transfer {
namespace {

GainRow real_estate(double sale, double cost) {
    GainRow r;
    r.kind = 1;
    r.number = 1;
    r.sale = sale;
    r.cost = cost;
    return r;
}

TEST(GainFigures, ExchangeWithPaymentTakesTheShareOfTheCost) {
    GainRow r = real_estate(50000, 100000);
    r.nature = " permuta com torna ";
    const GainFigures f = gain_figures(r, 0, 0, 0);
    // 50.000 / 150.000 cut to 0,3333; 100.000 x 0,3333.
    EXPECT_DOUBLE_EQ(f.exchange_cost, 33330);
    EXPECT_DOUBLE_EQ(f.gain, 16670);
    EXPECT_DOUBLE_EQ(f.result1, 16670);
}

TEST(GainFigures, ReductionsAndReinvestmentFollowOneAnother) {
    GainRow r = real_estate(300000, 200000);
    r.reinvested_percent = 40;
    const GainFigures f = gain_figures(r, 10000, 5000, 2500.57);
    EXPECT_DOUBLE_EQ(f.gain, 100000);
    EXPECT_DOUBLE_EQ(f.result2, 90000);
    EXPECT_DOUBLE_EQ(f.result3, 85000);
    EXPECT_NEAR(f.result4, 82499.43, 1e-9);
    EXPECT_DOUBLE_EQ(f.reinvested, 32999.77);   // 32.999,772 cut
    EXPECT_NEAR(f.result5, 49499.66, 1e-9);
    EXPECT_DOUBLE_EQ(f.cost, 200000);
}

TEST(GainFigures, EarlierYearSaleTakesItsValueAndNoCost) {
    GainRow r = real_estate(300000, 200000);
    r.sold_before = true;
    r.earlier_sale = 70000;
    r.instalments = true;
    r.instalment_tax = 900;
    r.month_received[2] = 5000;
    r.month_received[7] = 5000;
    r.month_paid[2] = 450;
    r.month_paid[7] = 450;
    const GainFigures f = gain_figures(r, 10000, 0, 0);
    EXPECT_DOUBLE_EQ(f.result2, 70000);
    EXPECT_DOUBLE_EQ(f.result4, 70000);
    EXPECT_DOUBLE_EQ(f.cost, 0);
    EXPECT_DOUBLE_EQ(f.received, 10000);
    EXPECT_DOUBLE_EQ(f.paid, 900);
    EXPECT_DOUBLE_EQ(f.due, 900);          // the instalment sale's tax
    EXPECT_DOUBLE_EQ(f.due_of_year, 0);    // sold in an earlier year
    EXPECT_EQ(f.last_month, 8);
}

TEST(GainFigures, CashSaleTakesItsTaxAndWithholding) {
    GainRow r = real_estate(300000, 200000);
    r.cash_tax = 15000;
    r.reinvested_or_withheld = 120;
    r.month_due[0] = 1;   // month figures give way to the sale's tax
    const GainFigures f = gain_figures(r, 0, 0, 0);
    EXPECT_DOUBLE_EQ(f.due, 15000);
    EXPECT_DOUBLE_EQ(f.due_of_year, 15000);
    EXPECT_DOUBLE_EQ(f.withheld, 120);
}

TEST(GainFigures, LastReceiptNeverFallsInMonthZero) {
    EXPECT_EQ(last_receipt_date(11, rt::Date::from_ymd(2011, 3, 5)), "28/11/2011");
    EXPECT_EQ(last_receipt_date(0, rt::Date::from_ymd(2011, 3, 5)), "28/03/2011");
    EXPECT_EQ(last_receipt_date(0, rt::Date{}), "28/12/2011");
}

}  // namespace
}  // namespace qv::transfer
