// The summary chain: whole declarations worked by hand under both models,
// and the limits each line applies.
#include <gtest/gtest.h>

#include "calc_fixture.hpp"
#include "declaration/calc/foreign_tax.hpp"
#include "declaration/calc/quotas.hpp"
#include "declaration/calc/recalculation.hpp"
#include "declaration/calc/summary_lines.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/date.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::declaration::testing {
namespace {

constexpr double kCent = 0.000001;

class SummaryChainTest : public CalcTest {
protected:
    // Salary 60,000.00 with 500.00 withheld and 6,600.00 of official social
    // security, two dependants, and a payments list that touches every limit.
    void salaried_declaration() {
        set("I13_01", 60000.00);
        set("I13_27", 500.00);
        set("I13_09", 6600.00);
        set("N_DEPEN", 2);
        set("DESPALIM", 0);
        payments();
        add_payment(1, 2000.00);      // titular's education, together capped
        add_payment(1, 1500.00);
        add_payment(1, 1000.00, 1);   // first dependant
        add_payment(2, 500.00, 5);    // no fifth person: ignored
        add_payment(10, 3000.00);     // medical
        add_payment(36, 8000.00);     // private pension, above 12 %
        add_payment(40, 50.00);
        add_payment(39, 20.00);
        add_payment(50, 900.00);      // domestic employee, above its cap
        CALC(4, 0);
    }
};

TEST_F(SummaryChainTest, CompleteModelLineByLine) {
    salaried_declaration();
    CALC(7, 0);
    struct Line { const char* name; double value; };
    const Line lines[] = {
        {"I13_08", 60000.00}, {"I13_11", 7200.00},  {"I13_12", 3779.28},  {"I13_13", 3958.23},
        {"I13_14", 3000.00},  {"I13_19", 24537.51}, {"I13_20", 35462.49},
        {"I13_21", 1796.36},  // 15 %: 5319.3735 - 3523.01
        {"I13_22", 70.00},    {"I13_23", 1726.36},  {"I13_24", 866.60},   {"I13_26", 859.76},
        {"I13_32", 0.00},     {"I13_35", 500.00},   {"I13_36", 359.76},   {"I13_38", 0.00},
        {"QTD_QUOTA", 7},     {"I13_37", 51.39},    // 359.76 / 7 = 51.3942..., cut
    };
    for (const auto& l : lines) EXPECT_NEAR(get(l.name), l.value, kCent) << l.name;
}

TEST_F(SummaryChainTest, SimplifiedModelOfTheSameDeclaration) {
    salaried_declaration();
    CALC(7, 0);
    set("USAPADRAO", "S");
    set("QTD_QUOTA", 0);
    CALC(7, 0);
    struct Line { const char* name; double value; };
    const Line lines[] = {
        {"DESPADRAO", 12000.00}, {"I13_20", 48000.00},
        {"I13_21", 4512.55},   // 27.5 %: 13200 - 8687.45
        {"I13_23", 4512.55}, {"I13_26", 4512.55},   // no incentives, no domestic employee
        {"I13_35", 500.00},  {"I13_36", 4012.55}, {"QTD_QUOTA", 8}, {"I13_37", 501.56},
    };
    for (const auto& l : lines) EXPECT_NEAR(get(l.name), l.value, kCent) << l.name;
    EXPECT_TRUE(logical("LTEMPRAD"));
}

TEST_F(SummaryChainTest, RefundUnderBothModels) {
    // Salary 25,000.00, a dependant's 8,000.00, 4,000.00 from natural
    // persons with 150.00 of carnê-leão, court alimony 6,000.00 and tax on
    // cumulative income 300.00 (200.00 withheld); no payments list.
    struct Line { const char* name; double complete, simplified; };
    const Line lines[] = {
        {"I13_08", 37000.00, 37000.00}, {"I13_19", 10639.64, 10639.64},
        {"I13_20", 26360.36, 29600.00},
        {"I13_21", 567.08, 916.99},     // 7.5 %: 1977.027 - 1409.95; 15 %: 4440 - 3523.01
        {"I13_26", 867.08, 1216.99},    {"I13_35", 1550.00, 1550.00},
        {"I13_36", 0.00, 0.00},         {"I13_38", 682.92, 333.01}, {"QTD_QUOTA", 0, 0},
    };
    for (const char* model : {"N", "S"}) {
        set("USAPADRAO", model);
        set("I13_01", 25000.00);
        set("I13_02", 8000.00);
        set("I13_03", 4000.00);
        set("I13_29", 150.00);
        set("I13_27", 1200.00);
        set("I13_09", 2750.00);
        set("I13_15", 6000.00);
        set("I13_25", 300.00);
        set("I13_34", 200.00);
        set("N_DEPEN", 1);
        CALC(7, 0);   // the simplified run keeps the total of the complete one
        for (const auto& l : lines)
            EXPECT_NEAR(get(l.name), std::string(model) == "N" ? l.complete : l.simplified, kCent) << model << l.name;
    }
}

TEST_F(SummaryChainTest, SimplifiedDiscountStopsAtTheCapAndAnEmptyIncomeHasNoBase) {
    set("USAPADRAO", "S");
    set("I13_01", 80000.00);
    CALC(7, 0);
    EXPECT_NEAR(get("DESPADRAO"), 13916.36, kCent);
    EXPECT_NEAR(get("I13_20"), 66083.64, kCent);
    EXPECT_NEAR(get("I13_21"), 9485.55, kCent);
    set("I13_01", 0.0);
    CALC(7, 0);
    EXPECT_EQ(get("DESCON"), 0.0);
    EXPECT_EQ(get("I13_20"), 0.0);
}

TEST_F(SummaryChainTest, SimplifiedChainAddsTheIncomeUpBeforeTheDiscount) {
    set("USAPADRAO", "S");
    set("I13_01", 50000.00);
    CALC(7, 0);
    // 40,000.00 in the 22.5 % band: 9,000.00 - 6,340.47.
    EXPECT_NEAR(get("I13_21"), 2659.53, kCent);
    // A rural result entered since: 70,000.00 less the capped 13,916.36,
    // 56,083.64 at 27.5 %: 15,423.00 - 8,687.45.
    set("I13_07", 20000.00);
    CALC(7, 0);
    EXPECT_NEAR(get("I13_08"), 70000.00, kCent);
    EXPECT_NEAR(get("I13_21"), 6735.55, kCent);
}

TEST_F(SummaryChainTest, IncentiveExcessIsWrittenBackIntoThePayments) {
    auto& list = payments();
    add_payment(40, 800.00);
    add_payment(39, 400.00);
    set("I13_21", 10000.00);
    set("I13_22T", 800.00);
    set("I13_22C", 400.00);
    EXPECT_NEAR(FI13_22(), 600.00, kCent);
    list.go_to(1);
    EXPECT_NEAR(list.get("I6_5").as_number(), 200.00, kCent);
    list.go_to(2);
    EXPECT_NEAR(list.get("I6_5").as_number(), 400.00, kCent);
    // With room left in the 6 %, code 39 still stops at 3 %: 200 + 300.
    set("I13_22T", 200.00);
    list.go_to(1);
    list.put("I6_4", 200.00);
    list.commit();
    EXPECT_NEAR(FI13_22(), 500.00, kCent);
    list.go_to(1);
    EXPECT_EQ(list.get("I6_5").as_number(), 0.0);
    list.go_to(2);
    EXPECT_NEAR(list.get("I6_5").as_number(), 100.00, kCent);
}

TEST_F(SummaryChainTest, DomesticEmployeeContributionIsCapped) {
    struct Case { double paid, tax, allowed; };
    const Case cases[] = {{900.00, 5000.00, 866.60}, {500.00, 300.00, 300.00}, {500.00, 5000.00, 500.00}};
    for (const auto& c : cases) {
        set("I13_24T", c.paid);
        set("I13_23", c.tax);
        EXPECT_NEAR(FI13_24(), c.allowed, kCent) << c.paid;
    }
}

TEST_F(SummaryChainTest, QuotasAreAtLeastFiftyAtMostEightAndCutToCents) {
    struct Case { double balance; int chosen, count; double quota; };
    const Case cases[] = {
        {0.00, 3, 0, 0.00},       {99.99, 0, 1, 99.99},     {100.00, 0, 2, 50.00},  {1000.00, 0, 8, 125.00},
        {1000.00, 3, 3, 333.33},  {1000.00, 6, 6, 166.66},  {1000.00, 9, 8, 125.00},
    };
    for (const auto& c : cases) {
        set("I13_36", c.balance);
        set("QTD_QUOTA", c.chosen);
        set("DEBITAUT", "S");
        FQTD_QUOTA(0);
        EXPECT_EQ(get("QTD_QUOTA"), c.count) << c.balance << "/" << c.chosen;
        EXPECT_NEAR(get("I13_37"), c.quota, kCent) << c.balance << "/" << c.chosen;
        if (c.count <= 1) {
            EXPECT_EQ(text("DEBITAUT"), " ");
        }
    }
}

TEST_F(SummaryChainTest, EstateFinalDeclarationPaysInOneQuota) {
    // The partition's date of an estate turned back into an ordinary
    // declaration limits nothing.
    set("DECFINAL", "N");
    set("DATAPARTI", rt::CTOD("20/06/2011"));
    set("DECJUDI", "S");
    set("I13_36", 1000.00);
    set("QTD_QUOTA", 4);
    FQTD_QUOTA(0);
    EXPECT_EQ(get("QTD_QUOTA"), 4);
    EXPECT_NEAR(get("I13_37"), 250.00, kCent);
    set("DECFINAL", "S");
    keys({13});
    FQTD_QUOTA(0);
    EXPECT_TRUE(term->showed("parcelamento em declaração final"));
    EXPECT_EQ(get("QTD_QUOTA"), 1);
    EXPECT_NEAR(get("I13_37"), 1000.00, kCent);
}

TEST_F(SummaryChainTest, ForeignTaxIsLimitedToTheTaxTheForeignIncomeBrought) {
    set("I13_01", 30000.00);
    set("I13_49", 20000.00);
    set("I13_24T", 500.00);
    set("I13_32", 5000.00);
    keys({13});
    CALC(7, 0);
    // With it: 5062.55 - 500.00; without it: 976.99 - 500.00.
    EXPECT_NEAR(get("I13_26"), 4562.55, kCent);
    EXPECT_NEAR(get("I13_32"), 4085.56, kCent);
    EXPECT_TRUE(term->showed("Esse limite é de R$"));
    EXPECT_NEAR(get("I13_36"), 476.99, kCent);
    // A value within the limit stays; without foreign income it is 0.
    FI13_32(1000.00);
    set("I13_32", 1000.00);
    FI13_32(1000.00);
    EXPECT_NEAR(get("I13_32"), 1000.00, kCent);
    set("I13_49", 0.0);
    EXPECT_FALSE(TEM_EXTER());
    EXPECT_EQ(get("I13_32"), 0.0);
}

TEST_F(SummaryChainTest, SimplifiedPageRefreshesTaxBeforeTheBalance) {
    set("USAPADRAO", "S");
    set("I13_01", 60000.00);
    set("I13_27", 500.00);
    CSIMPLES(1, 0);
    EXPECT_NEAR(get("I13_08"), 60000.00, kCent);
    EXPECT_NEAR(get("I13_21"), 4512.55, kCent);
    EXPECT_NEAR(get("I13_26"), 4512.55, kCent);
    EXPECT_NEAR(get("I13_36"), 4012.55, kCent);
    EXPECT_EQ(get("QTD_QUOTA"), 8);
}

TEST_F(SummaryChainTest, SummaryPageShowsLinesAndTheCashWarning) {
    salaried_declaration();
    // The cash balance as given here: its own computation is tested apart.
    rt::register_function("VE_SALDO", [](std::span<const rt::Value>) { return rt::Value(); });
    set("SALDO", -10.0);
    set("RECEITA", 0.0);
    CALC(7, 1);
    EXPECT_EQ(get("INDGAS"), 0.0);
    // On the complete page's last free row (the page's origin is row 0 here).
    EXPECT_NE(rt::row_text(21).find(rt::utf8_to_cp850("ATENÇÃO!! PROBLEMA DE CAIXA")), std::string::npos);
    bool shown = false;
    for (int r = 0; r < 25; ++r) shown = shown || rt::row_text(r).find("35.462,49") != std::string::npos;
    EXPECT_TRUE(shown);
}

}  // namespace
}  // namespace qv::declaration::testing
