// Interest from the shipped SELIC rates, the office's corrected-tax list
// and the declaration's cash balance, over hand-worked cases.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "declaration/calc/cash_balance.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/loop/age_notice.hpp"
#include "declaration/loop/late_interest.hpp"
#include "declaration/loop/work_tables.hpp"
#include "declaration/calc/patrimonial_variation.hpp"
#include "runtime/table/table.hpp"
#include "tables/schemas.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/date.hpp"
#include "runtime/core/varstore.hpp"
#include "system/system_fixture.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::declaration {
namespace {

class DeclarationHelpersTest : public test_support::FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        scope_ = std::make_unique<rt::DeclarationScope>();
    }
    void TearDown() override {
        rt::reset_clock();
        tables::ws().close_all();
        scope_.reset();
        FoldersTest::TearDown();
    }
    static void set(const char* name, rt::Value v) { set_value(name, std::move(v)); }

private:
    std::unique_ptr<rt::DeclarationScope> scope_;
};

TEST_F(DeclarationHelpersTest, InterestFactorOverTheShippedRates) {
    const struct {
        const char *due, *paid;
        int mode;
        const char* month;
        double expected;
    } cases[] = {
        {"31/01/2012", "10/04/2012", 1, "", 2.57},    // 1 + February 0.75 + March 0.82
        {"05/03/2012", "20/03/2012", 1, "", 1.0},     // same month
        {"10/02/2012", "15/01/2012", 1, "", 0.0},     // paid before the due month
        {"30/04/2012", "15/06/2012", 2, "06", 1.74},  // quotas: 1 + May 0.74
        {"30/04/2012", "15/06/2012", 2, "04", 1.0},
    };
    for (const auto& c : cases) {
        set("DF_VCTO", rt::Value(rt::CTOD(c.due)));
        set("DF_PGTO", rt::Value(rt::CTOD(c.paid)));
        EXPECT_NEAR(ACHAJURO(c.mode, c.month), c.expected, 1e-9) << c.due << " " << c.paid;
    }
}

TEST_F(DeclarationHelpersTest, CorrectedListRefusedBeforeMay2012) {
    rt::set_clock(rt::CTOD("15/04/2012"));
    IMPCORRIG();
    EXPECT_NE(term->text(11).find("Funçao só utilizavel após mês de Maio"), std::string::npos);
    EXPECT_EQ(term->text(11).find("de 2012"), std::string::npos);
    rt::set_clock(rt::CTOD("15/11/2011"));
    IMPCORRIG();
    EXPECT_NE(term->text(11).find("Funçao só utilizavel após mês de Maio de 2012"), std::string::npos);
}

TEST_F(DeclarationHelpersTest, CorrectedListOfRefundsAndQuotas) {
    ASSERT_TRUE(tables::ABERTURA(9));
    rt::table::Table& reg = *tables::ws().table(9);
    const struct {
        const char* cpf;
        double balance;
        int quotas;
    } rows[] = {{"11111111111", -1000.0, 0}, {"22222222222", 900.0, 3}, {"33333333333", 500.0, 0},
                {"44444444444", 0.0, 0}};
    for (const auto& r : rows) {
        reg.append_blank();
        reg.put("CPF", rt::Value(r.cpf));
        reg.put("IMPPGRE", rt::Value(r.balance));
        reg.put("QTD_QUOTA", rt::Value(r.quotas));
        reg.commit();
    }
    tables::ws().close(9);
    rt::set_clock(rt::CTOD("15/06/2012"));
    IMPCORRIG();
    EXPECT_NEAR(amount("DF_JURO"), 1.74, 1e-9);
    ASSERT_TRUE(tables::ABERTURA(44));
    rt::table::Table& list = *tables::ws().table(44);
    // Interest 1.74 %: a refund of 1 000.00; the first of three quotas of
    // 900.00; 500.00 with no quota count is one quota.
    const struct {
        double refund, tax, corrected;
    } expected[] = {{1000.0, 0.0, 1017.40}, {0.0, 300.0, 305.22}, {0.0, 500.0, 508.70}};
    list.go_top();
    for (const auto& e : expected) {
        ASSERT_FALSE(list.eof());
        EXPECT_NEAR(field_number(list, "RESTITU"), e.refund, 0.005);
        EXPECT_NEAR(field_number(list, "IMPOSTO"), e.tax, 0.005);
        EXPECT_NEAR(field_number(list, "CORRIGI"), e.corrected, 0.005);
        list.skip();
    }
    EXPECT_TRUE(list.eof());
}

TEST_F(DeclarationHelpersTest, CashBalanceOfBothModels) {
    set("I9_2", 1000.0);
    set("I9_3", 1500.0);
    set("OUTREC", 200.0);
    set("I13_01", 2000.0);
    set("VALFUTUR", 50.0);
    set("SOMAG", "S");
    set("I4_03", 100.0);
    set("OUTRDES", 400.0);
    set("DESPDECLA", 300.0);
    set("I13_18", 250.0);
    set("DESPADRAO", 600.0);
    set("DESPSIMP", 100.0);
    set("USAPADRAO", "N");
    // 1000 + 500 + 200 + 2000 + 50 - 100 in; 400 + 300 + 250 out.
    EXPECT_NEAR(VE_SALDO(), 2700.0, 1e-9);
    EXPECT_NEAR(amount("RECEITA"), 3650.0, 1e-9);
    EXPECT_NEAR(amount("I13_08"), 2000.0, 1e-9);
    set("USAPADRAO", "S");
    set("SO_SIMPLES", "S");
    set("SOMAG", "N");
    // Future gains left out; the simplified discount replaces the deductions.
    EXPECT_NEAR(VE_SALDO(), 3600.0 - 1100.0, 1e-9);
    EXPECT_NEAR(amount("DESPESA"), 1100.0, 1e-9);
}

}  // namespace
}  // namespace qv::declaration

namespace qv::declaration {
namespace {

TEST_F(DeclarationHelpersTest, AgeAndBirthdayNotice) {
    // Born 15/03/1950: 61 years and 9 months at the end of 2011; on
    // 13/03/2012 the birthday falls two days later, a Thursday.
    rt::set_clock(rt::CTOD("13/03/2012"));
    EXPECT_TRUE(DIZANOS(rt::CTOD("15/03/1950")));
    EXPECT_EQ(term->text(2).substr(62, 3), " 61");
    EXPECT_EQ(term->text(2).substr(71, 2), " 9");
    EXPECT_NE(term->text(1).find("Aniversário na Quinta"), std::string::npos);
    rt::set_clock(rt::CTOD("14/03/2012"));
    DIZANOS(rt::CTOD("15/03/1950"));
    EXPECT_NE(term->text(1).find("Faz Aniversário Amanha"), std::string::npos);
    // A date after the base year leaves the places blank.
    DIZANOS(rt::CTOD("01/02/2012"));
    EXPECT_EQ(term->text(2).substr(62, 3), "   ");
}

}  // namespace
}  // namespace qv::declaration

namespace qv::declaration {
namespace {

TEST_F(DeclarationHelpersTest, PatrimonialVariationCases) {
    std::filesystem::create_directories(root + "/work");
    set("LOCTRAB", root + "/work/");
    for (int table : {4, 5})
        rt::table::create_table(work_file(table) + ".dbf", *tables::schema_of(table), rt::table::MemoKind::None);
    const struct {
        double assets_before, assets_after, debts_before, debts_after;
        double loans, freed, variation;
    } cases[] = {
        {10000, 15000, 0, 2000, 0, 0, 3000},        // both grew: the assets paid by own means
        {10000, 15000, 0, 8000, 3000, 0, 0},        // debts grew more than the assets
        {20000, 12000, 1000, 3000, 2000, 8000, 0},  // assets fell, debts grew
        {20000, 12000, 5000, 1000, 0, 4000, 0},     // both fell
        {10000, 12000, 5000, 1000, 0, 0, 6000},     // assets grew, debts fell
    };
    for (const auto& c : cases) {
        for (int table : {4, 5}) ASSERT_TRUE(open_work_copy(table));
        rt::table::Table& assets = *tables::ws().table(24);
        assets.append_blank();
        assets.put("I7_3", rt::Value(c.assets_before));
        assets.put("I7_4", rt::Value(c.assets_after));
        assets.commit();
        rt::table::Table& debts = *tables::ws().table(25);
        debts.append_blank();
        debts.put("I8_3", rt::Value(c.debts_before));
        debts.put("I8_4", rt::Value(c.debts_after));
        debts.commit();
        FI10_1();
        EXPECT_NEAR(amount("EMPREST"), c.loans, 1e-9) << c.assets_before << "/" << c.debts_after;
        EXPECT_NEAR(amount("I10_2"), c.freed, 1e-9) << c.assets_before << "/" << c.debts_after;
        EXPECT_NEAR(amount("I10_1"), c.variation, 1e-9) << c.assets_before << "/" << c.debts_after;
        assets.zap();
        debts.zap();
    }
}

}  // namespace
}  // namespace qv::declaration

namespace qv::declaration {
namespace {

TEST_F(DeclarationHelpersTest, MaintenanceCostsOfTheYear) {
    std::filesystem::create_directories(root + "/work");
    set("LOCTRAB", root + "/work/");
    rt::table::create_table(work_file(10) + ".dbf", *tables::schema_of(10), rt::table::MemoKind::None);
    ASSERT_TRUE(open_work_copy(10));
    rt::table::Table& costs = *tables::ws().table(30);
    for (double monthly : {100.0, 50.5}) {
        costs.append_blank();
        costs.put("VALODESP", rt::Value(monthly));
        costs.commit();
    }
    // (100.00 + 50.50) a month for twelve months.
    EXPECT_NEAR(TOTALDESP(), 1806.0, 1e-9);
    EXPECT_NEAR(amount("DESPNAO"), 1806.0, 1e-9);
}

}  // namespace
}  // namespace qv::declaration
