#include "declaration/loop/register_summaries.hpp"
#include "declaration_io_fixture.hpp"

namespace qv::declaration::testing {
namespace {

using RegisterSummaries = DeclarationIoTest;

TEST_F(RegisterSummaries, CountAndSumTheMonthsWithTaxDue) {
    add_row(12, kCpfA, {{"I2_701", rt::Value(100.0)}, {"I2_703", rt::Value(50.0)}});
    add_row(12, kCpfA, {{"I2_701", rt::Value(20.0)}, {"I2_702", rt::Value(-5.0)}});
    ASSERT_TRUE(tables::ABERTURA(12));
    const MonthsDue cleao = carne_leao_months(tables::ws().current(12));
    EXPECT_EQ(cleao.count, 3);
    EXPECT_DOUBLE_EQ(cleao.total, 170.0);

    // A loss, a gain taxed in March and paid in May, variable income of
    // January and February (item 25 adds, others subtract), a day trade.
    add_row(7, kCpfA, {{"TIPO_BEM", rt::Value(1)}, {"VAL_ALI", rt::Value(100.0)}, {"CUS_ATUAL", rt::Value(200.0)}});
    ASSERT_TRUE(tables::ABERTURA(7));
    EXPECT_EQ(gains_months(tables::ws().current(7)).capital_gains.count, -1);   // items, nothing due
    add_row(7, kCpfA, {{"TIPO_BEM", rt::Value(1)}, {"VAL_ALI", rt::Value(500.0)}, {"CUS_ATUAL", rt::Value(100.0)},
                       {"VAL_TRIBU", rt::Value(400.0)}, {"IMP_DEV03", rt::Value(60.0)},
                       {"IMP_DEV05", rt::Value(30.0)}, {"IMP_PAG05", rt::Value(30.0)}});
    add_row(7, kCpfA, {{"TIPO_BEM", rt::Value(4)}, {"RVAR_NRO", rt::Value(25)}, {"REC_MES01", rt::Value(100.0)},
                       {"REC_MES02", rt::Value(-50.0)}});
    add_row(7, kCpfA, {{"TIPO_BEM", rt::Value(4)}, {"RVAR_NRO", rt::Value(26)}, {"REC_MES01", rt::Value(30.0)}});
    add_row(7, kCpfA, {{"TIPO_BEM", rt::Value(4)}, {"RVAR_NRO", rt::Value(25)}, {"DAY_TRADE", rt::Value("1")},
                       {"REC_MES04", rt::Value(999.0)}});
    ASSERT_TRUE(tables::ABERTURA(7));
    const GainsMonths gains = gains_months(tables::ws().current(7));
    EXPECT_EQ(gains.capital_gains.count, 1);
    EXPECT_DOUBLE_EQ(gains.capital_gains.total, 60.0);
    EXPECT_EQ(gains.variable_income.count, 1);
    EXPECT_DOUBLE_EQ(gains.variable_income.total, 70.0);
}

}  // namespace
}  // namespace qv::declaration::testing
