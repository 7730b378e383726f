// The stock-market and funds statements: loss and credits carried from
// month to month, their storage as rows and the year totals.
#include "declaration/calc/variable_income.hpp"

#include "calc_fixture.hpp"
#include "runtime/core/text.hpp"
#include "tables/schemas.hpp"

namespace qv::declaration::testing {
namespace {

using Month = std::array<double, 12>;

double at(const Statement& s, int row, int month) {
    return s[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(month - 1)];
}

TEST(VariableIncomeStatement, LossOfJanuaryIsCarriedIntoFebruary) {
    Statement s(28);
    s[0][0] = -1000.00;
    s[0][1] = 3000.00;
    settle_operations(s, false);
    EXPECT_DOUBLE_EQ(at(s, 17, 1), -1000.00);
    EXPECT_DOUBLE_EQ(at(s, 15, 2), -1000.00);
    EXPECT_DOUBLE_EQ(at(s, 16, 2), 2000.00);
    EXPECT_DOUBLE_EQ(at(s, 18, 2), 300.00);
    EXPECT_DOUBLE_EQ(at(s, 27, 2), 300.00);
    EXPECT_DOUBLE_EQ(at(s, 15, 3), 0);
}

TEST(VariableIncomeStatement, DayTradeWithholdingAboveTheTaxIsCarriedForward) {
    Statement s(28);
    s[0][2] = 1000.00;   // March: tax 200,00 at 20 %
    s[20][2] = 250.00;   // withheld 250,00
    settle_operations(s, true);
    EXPECT_DOUBLE_EQ(at(s, 19, 3), 200.00);
    EXPECT_DOUBLE_EQ(at(s, 23, 3), 50.00);
    EXPECT_DOUBLE_EQ(at(s, 22, 4), 50.00);
    EXPECT_DOUBLE_EQ(at(s, 27, 3), 0);
}

TEST(VariableIncomeStatement, FundsCarryTheirNegativeResult) {
    Statement s(6);
    s[0][0] = -500.00;
    s[0][1] = 2000.00;
    settle_funds(s);
    EXPECT_DOUBLE_EQ(at(s, 4, 1), -500.00);
    EXPECT_DOUBLE_EQ(at(s, 2, 2), -500.00);
    EXPECT_DOUBLE_EQ(at(s, 3, 2), 1500.00);
    EXPECT_DOUBLE_EQ(at(s, 5, 2), 300.00);
}

class VariableIncomeRows : public CalcTest {
protected:
    void SetUp() override {
        CalcTest::SetUp();
        std::vector<tb::FieldSpec> fields = *tables::schema_of(7);
        make_list(27, "IMP0712", fields);
        set("CPF", "12345678909");
    }
};

TEST_F(VariableIncomeRows, StatementStoredAndReadBackGivesTheYearTotals) {
    set("DAY_TRADE", "1");
    ZER_RENVAR("1");
    rt::Value m = rt::variables().get("MRENVAR");
    (*(*m.as_array())[0].as_array())[1] = rt::Value("    -1.000,00");
    (*(*m.as_array())[0].as_array())[2] = rt::Value("     3.000,00");
    (*(*m.as_array())[27].as_array())[2] = rt::Value("       100,00");   // tax paid in February
    SOMA_RENVAR();
    GRAVA_RV();
    GRAVA_RV();   // storing twice keeps one row per statement row
    int rows = 0;
    for_each_row(27, [&](tb::Table& t) { rows += t.deleted() ? 0 : 1; });
    // rows 1, 14, 15, 16, 17, 18, 20, 27 and 28 hold values
    EXPECT_EQ(rows, 9);
    ZER_RENVAR("1");
    PRENCHE_MAT("1");
    const rt::Value back = rt::variables().get("MRENVAR");
    EXPECT_EQ(rt::ALLTRIM((*(*back.as_array())[17].as_array())[2].as_string()), "300,00");
    CALC_GRV();
    EXPECT_DOUBLE_EQ(get("LUCRRVA"), 3000.00);
    EXPECT_DOUBLE_EQ(get("PREJRVA"), 1000.00);
    EXPECT_DOUBLE_EQ(get("I13_47"), 100.00);
    EXPECT_DOUBLE_EQ(get("I4_03"), 1900.00);
}

}  // namespace
}  // namespace qv::declaration::testing
