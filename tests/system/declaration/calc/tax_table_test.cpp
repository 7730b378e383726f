// The progressive table: band edges, monthly columns, pro-rated years.
#include "declaration/calc/tax_table.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "calc_fixture.hpp"
#include "runtime/core/date.hpp"

namespace qv::declaration::testing {
namespace {

class TaxTableTest : public CalcTest {};

TEST_F(TaxTableTest, AnnualBandsRoundEachTaxAndKeepTheBoundInTheLowerBand) {
    struct Case { double base, tax; };
    const Case cases[] = {
        {-500.00, 0.00},     {0.00, 0.00},          {18799.32, 0.00},
        {18799.33, 0.00},    // 1409.94975 - 1409.95 is -0.00025: no "-0,00"
        {28174.20, 703.12},  // 7.5 %: 2113.065 - 1409.95
        {28174.21, 703.12},  // 15 %: 4226.1315 - 3523.01
        {37566.12, 2111.91}, {46939.56, 4220.93}, {46939.57, 4220.93}, {60000.00, 7812.55},
    };
    for (const auto& c : cases) {
        const double tax = CALC_IMPOS(kAnnualTable, c.base, "nCompl", 12);
        EXPECT_DOUBLE_EQ(tax, c.tax) << c.base;
        EXPECT_FALSE(std::signbit(tax)) << c.base;
    }
}

TEST_F(TaxTableTest, MonthlyTableChangesInApril) {
    struct Case { double base; int month; double tax; };
    const Case cases[] = {
        {1499.15, 1, 0.00},  {2246.75, 3, 56.08},  {5000.00, 1, 682.22}, {1566.61, 4, 0.00},
        {2347.85, 4, 58.60}, {2347.86, 12, 58.60}, {5000.00, 5, 651.05},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(CALC_IMPOS(kMonthlyTable, c.base, "nLeao", c.month), c.tax) << c.base;
}

TEST_F(TaxTableTest, TaxGoesToTheNamedVariableOnlyWhenItExists) {
    set("I13_21", 0.0);
    EXPECT_DOUBLE_EQ(CALC_IMPOS(kAnnualTable, 60000.00, "M->I13_21", 12), 7812.55);
    EXPECT_DOUBLE_EQ(get("I13_21"), 7812.55);
    CALC_IMPOS(kAnnualTable, 60000.00, "nSemNome", 12);
    EXPECT_FALSE(rt::variables().exists("NSEMNOME"));
}

TEST_F(TaxTableTest, DepartureAndEstateFinalScaleTheAnnualTable) {
    struct Case { const char* kind; const char* departure; const char* decision; double base, tax; };
    const Case cases[] = {
        // July less March + 1 = 5 months: bands and deductions times 5/12.
        {"DECSAIDA", "15/07/2011", "10/03/2011", 10000.00, 162.52},
        {"DECSAIDA", "15/07/2011", "10/03/2011", 20000.00, 1880.23},
        // A decision before the base year counts from January: 7 months.
        {"DECSAIDA", "15/07/2011", "10/11/2010", 10000.00, 0.00},
        {"DECSAIDA", "15/07/2011", "10/11/2010", 12000.00, 77.53},
        // A decision after the departure still covers one month.
        {"DECSAIDA", "15/02/2011", "10/05/2011", 2000.00, 32.50},
        // Estate partition in June: 6 months.
        {"DECFINAL", "20/06/2011", "", 20000.00, 1329.77},
    };
    for (const auto& c : cases) {
        set("DECSAIDA", "N");
        set("DECFINAL", "N");
        set(c.kind, "S");
        set(std::string(c.kind) == "DECSAIDA" ? "DATASAIDA" : "DATAPARTI", rt::CTOD(c.departure));
        set("DATADECIS", rt::CTOD(c.decision));
        EXPECT_DOUBLE_EQ(CALC_IMPOS(kAnnualTable, c.base, "nCompl", 12), c.tax) << c.departure << " " << c.base;
    }
}

TEST_F(TaxTableTest, DepartureWithoutDateWarnsAndUsesTheWholeYear) {
    set("DECSAIDA", "S");
    keys({13});
    EXPECT_DOUBLE_EQ(CALC_IMPOS(kAnnualTable, 60000.00, "nCompl", 12), 7812.55);
    EXPECT_TRUE(term->showed("depende da data da saída. Informe-a"));
}

}  // namespace
}  // namespace qv::declaration::testing
