// The simulator: tax after a new deduction and the income behind a tax.
#include "declaration/calc/simulator.hpp"

#include <gtest/gtest.h>

#include "calc_fixture.hpp"

namespace qv::declaration::testing {
namespace {

constexpr double kCent = 0.000001;
namespace key = rt::key;

class SimulatorTest : public CalcTest {};

TEST_F(SimulatorTest, DiscountIsCappedFromThisYearsTax) {
    // 13,916.36 / 0.2 = 69,581.80; less the discount 55,665.44; 27.5 %.
    EXPECT_NEAR(capped_discount_tax(), 6620.55, kCent);
}

TEST_F(SimulatorTest, NewDeductionGivesTheTaxWithoutAnyFactor) {
    set("I13_20", 50000.00);
    set("NSDEDUCAO", 10000.00);
    set("I13_35", 1000.00);
    set("I13_24", 0.0);
    set("I13_22T", 100.00);
    ASSERT_TRUE(SIMUL(1));
    // Tax of 40,000.00 is 2,659.53; incentives min(100.00, 159.5718).
    EXPECT_NEAR(get("NSIMPOSTO"), 2659.53 - 100.00 - 1000.00, kCent);
}

TEST_F(SimulatorTest, IncomeForATaxUnderTheSimplifiedModel) {
    struct Case { double tax, income; };
    const Case cases[] = {
        {1000.00, 37691.75},                    // 15 % band: 0.8 x income = 30,153.40
        {6000.00, 14687.45 / 0.22},             // below the cap: 27.5 % on 80 %
        {7000.00, (15687.45 + 3826.999) / 0.275},   // capped discount
    };
    for (const auto& c : cases) {
        set("NSIMPOSTO", c.tax);
        ASSERT_TRUE(SIMUL(2));
        EXPECT_NEAR(get("NSRECEITA"), c.income, 0.0001) << c.tax;
    }
}

TEST_F(SimulatorTest, IncomeForATaxUnderTheCompleteModel) {
    set("I13_19", 10000.00);
    set("I13_11", 0.0);
    set("I13_35", 0.0);
    set("NSIMPOSTO", 1000.00);
    ASSERT_TRUE(SIMUL(3));
    EXPECT_NEAR(get("NSRECEITA"), 40153.40, 0.0001);
}

TEST_F(SimulatorTest, PensionLimitSettlesInTheCompleteModel) {
    // Other deductions 5,000.00; pension paid 1,000.00 is below 12 % of any
    // income that yields 1,000.00 of tax, so it counts whole.
    set("I13_19", 6000.00);
    set("I13_11", 1000.00);
    set("I13_11T", 1000.00);
    set("I13_35", 0.0);
    set("NSIMPOSTO", 1000.00);
    ASSERT_TRUE(SIMUL(3));
    EXPECT_NEAR(get("NSRECEITA"), 36153.40, 0.0001);
}

TEST_F(SimulatorTest, RefundAboveTheTaxPaidIsRefused) {
    set("I13_35", 500.00);
    set("NSIMPOSTO", -600.00);
    keys({13});
    EXPECT_FALSE(SIMUL(2));
    EXPECT_TRUE(term->showed("O valor máximo de restituição de imposto é R$"));
    set("NSIMPOSTO", -400.00);
    EXPECT_TRUE(SIMUL(2));
}

TEST_F(SimulatorTest, NewDeductionsTaxStandsInItsOwnField) {
    set("I13_20", 50000.00);
    set("I13_35", 1000.00);
    set("I13_24", 0.0);
    set("I13_22T", 0.0);
    keys({'1', '0', '0', '0', '0', key::ENTER, key::ESC});
    ASSERT_TRUE(FAZINVER("S"));
    // Waiting on the tax: 2,659.53 less the 1,000.00 paid, once on its row.
    const std::string waiting = term->snapshots.back();
    const std::size_t row = waiting.find("\n17 |");
    ASSERT_NE(row, std::string::npos) << waiting;
    const std::string line = waiting.substr(row + 1, waiting.find('\n', row + 1) - row - 1);
    const std::size_t at = line.find("1.659,53");
    ASSERT_NE(at, std::string::npos) << line;
    EXPECT_EQ(line.find("1.659,53", at + 1), std::string::npos) << line;
    EXPECT_NE(line.find("Imposto devido          1.659,53"), std::string::npos) << line;
}

}  // namespace
}  // namespace qv::declaration::testing
