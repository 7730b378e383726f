#include <gtest/gtest.h>

#include "declaration/calc/due_dates.hpp"
#include "runtime/core/clock.hpp"
#include "declaration/loop/tax_constants.hpp"

namespace qv::declaration {
namespace {

TEST(TaxConstants, LiveWithTheDeclarationAndCarryTheYearsValues) {
    rt::VarStore vars;
    {
        rt::DeclarationScope scope(vars);
        set_tax_constants(vars);
        EXPECT_DOUBLE_EQ(vars.get("NBASEAN1").as_number(), 18799.32);
        EXPECT_DOUBLE_EQ(vars.get("NDEDUAN4").as_number(), 8687.45);
        EXPECT_DOUBLE_EQ(vars.get("NDESCPRAD").as_number(), 13916.36);
        EXPECT_DOUBLE_EQ(vars.get("NMAXINSS").as_number(), 866.60);
        EXPECT_DOUBLE_EQ(vars.get("NBASEME2").at(month_pair_index(3)).as_number(), 2246.75);
        EXPECT_DOUBLE_EQ(vars.get("NBASEME2").at(month_pair_index(4)).as_number(), 2347.85);
        EXPECT_DOUBLE_EQ(vars.get("NVALDEPEN").at(2).as_number(), 157.47);
        ASSERT_EQ(vars.get("TAB_DOLAR").len(), 12u);
        EXPECT_DOUBLE_EQ(vars.get("TAB_DOLAR").at(12).as_number(), 1.8758);
        EXPECT_EQ(vars.get("PIC_USU").as_string(), "@Ez 99,999,999,999.9999");
        // The annual retirement exemption is three months of the first pair
        // and ten of the second.
        const double aposa = 3 * vars.get("NVALAPOSE").at(1).as_number() + 10 * vars.get("NVALAPOSE").at(2).as_number();
        EXPECT_NEAR(aposa, vars.get("NVALAPOSA").as_number(), 0.005);
    }
    EXPECT_FALSE(vars.exists("NBASEAN1"));
}

TEST(TaxConstants, PaymentDateIsTheLastWorkingDayOfTheMonth) {
    struct Case { const char* today; const char* expected; };
    const Case cases[] = {
        {"15/12/2011", "29/12/2011"},   // 31/12 Saturday -> 30/12, December -> 29/12
        {"01/03/2012", "30/03/2012"},   // 31/03 Saturday
        {"30/04/2012", "30/04/2012"},
    };
    for (const auto& c : cases) {
        rt::set_clock(rt::CTOD(c.today), 36000);
        rt::VarStore vars;
        rt::DeclarationScope scope(vars);
        set_tax_constants(vars);
        EXPECT_EQ(rt::DTOC(vars.get("DF_PAGTO").as_date()), c.expected) << c.today;
    }
    rt::reset_clock();
}

TEST(TaxConstants, NeedAnOpenDeclaration) {
    rt::VarStore vars;
    EXPECT_THROW(set_tax_constants(vars), std::logic_error);
}

TEST(DueDates, SkipWeekendsAndCloseEarlyInDecember) {
    struct Case { int month, year, offset; const char* expected; };
    const Case cases[] = {
        {11, 2011, 2, "29/12/2011"},   // 31/12 Saturday -> 30/12 -> December -> 29/12
        {12, 2011, 2, "31/01/2012"},
        {12, 2012, 1, "28/12/2012"},   // 31/12 Monday -> 30/12 Sunday -> 28/12
        {4, 2012, 1, "30/04/2012"},
        {6, 2012, 1, "29/06/2012"},    // 30/06 Saturday
        {9, 2012, 1, "28/09/2012"},    // 30/09 Sunday
        {1, 2011, 0, "30/12/2010"},    // month 0 is December of the year before
    };
    for (const auto& c : cases)
        EXPECT_EQ(rt::DTOC(ULT_DIA(c.month, c.year, c.offset)), c.expected) << c.month << "/" << c.year;
    for (int m = 1; m <= 24; ++m) {
        const int dow = ULT_DIA(m, 2011, 1).dow();
        EXPECT_TRUE(dow >= 2 && dow <= 6) << m;
    }
}

TEST(DueDates, NextWorkingDay) {
    EXPECT_EQ(rt::DTOC(PROX_DIA(rt::CTOD("30/12/2011"))), "02/01/2012");   // Friday -> Monday
    EXPECT_EQ(rt::DTOC(PROX_DIA(rt::CTOD("31/12/2011"))), "02/01/2012");   // Saturday
    EXPECT_EQ(rt::DTOC(PROX_DIA(rt::CTOD("28/12/2011"))), "29/12/2011");
}

}  // namespace
}  // namespace qv::declaration
