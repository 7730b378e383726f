// The monthly carnê-leão, its late-payment correction, and the totals of
// the income and payments lists.
#include "declaration/calc/carne_leao.hpp"

#include <gtest/gtest.h>

#include "calc_fixture.hpp"
#include "declaration/calc/income_checks.hpp"
#include "declaration/calc/income_totals.hpp"
#include "declaration/calc/monthly_sheet.hpp"
#include "declaration/calc/payment_totals.hpp"
#include "declaration/calc/recalculation.hpp"
#include "declaration/loop/late_interest.hpp"
#include "runtime/core/date.hpp"
#include "runtime/core/text.hpp"

namespace qv::declaration::testing {
namespace {

constexpr double kCent = 0.000001;

class CarneLeaoTest : public CalcTest {
protected:
    tb::Table& income_list() {
        std::vector<tb::FieldSpec> f{{"I1_1", 'C', 1, 0},  {"I1_3", 'C', 18, 0}, {"I1_4", 'N', 12, 2},
                                     {"I1_5", 'N', 12, 2}, {"I1_6", 'N', 12, 2}, {"I1_7", 'N', 12, 2},
                                     {"I1_8", 'C', 11, 0}, {"I1_11", 'C', 1, 0}, {"I1_12", 'N', 12, 2},
                                     {"I1_17", 'N', 12, 2}, {"I1_20", 'N', 12, 2}, {"TIPOCR", 'C', 1, 0},
                                     {"DT_LC", 'D', 8, 0}};
        for (int m = 1; m <= 12; ++m) f.push_back({"I1_4" + two(m), 'N', 12, 2});
        return make_list(kIncomeArea, "REND", f);
    }
    tb::Table& person_sheets() {
        std::vector<tb::FieldSpec> f{{"CPFDEPEN", 'C', 11, 0}};
        for (int k = 1; k <= 6; ++k)
            for (int m = 1; m <= 13; ++m) f.push_back({"I2_" + std::to_string(k) + two(m), 'N', 12, 2});
        return make_list(kPersonSheetArea, "MENSAL", f);
    }
    // The people's sheets as the declaration keeps them: the titular's
    // and each dependant's, by CPF.
    tb::Table& sheets_by_person() {
        std::vector<tb::FieldSpec> f{{"CPF", 'C', 11, 0}, {"CPFDEPEN", 'C', 11, 0}};
        for (int k = 1; k <= 7; ++k)
            for (int m = 1; m <= 13; ++m) f.push_back({"I2_" + std::to_string(k) + two(m), 'N', 12, 2});
        return make_list(kPersonSheetArea, "MENSAL", f);
    }
    // The dependant's sheet on page 2: 2,000.00 in January, typed as totals.
    void dependants_sheet_keyed_as_totals() {
        set("MATATU", "REC_MENSAL");
        set("CAL_AUTO", 2);
        set("SO_REC", false);
        set("I1_11", "N");
        set("CPFDEPEN", "52998224725");
        set("DF_PAGTO", rt::CTOD("31/03/2011"));
        MonthlySheet sheet = MonthlySheet::carne_leao();
        sheet.set(1, 2, 2000.00);
        sheet.total(2);
    }
    tb::Table& selic() {
        tb::Table& t = make_list(51, "UFIRM", {{"ANOMES", 'C', 6, 0}, {"TJM", 'N', 6, 2}});
        for (const auto& [month, rate] : {std::pair{"201106", 0.95}, {"201107", 0.97}, {"201108", 1.07},
                                          {"201109", 0.94}})
            add_row(t, {{"ANOMES", month}, {"TJM", rate}});
        return t;
    }
};

TEST_F(CarneLeaoTest, MonthlySheetOfTheTitularWithTheDependantsDeduction) {
    auto& income = income_list();
    add_row(income, {{"I1_1", "F"}, {"I1_11", "S"}, {"I1_401", 3000.00}, {"I1_405", 3000.00}, {"I1_406", 100.00}});
    add_row(income, {{"I1_1", "I"}, {"I1_11", "S"}, {"I1_401", 300.00}, {"I1_405", 100.00}});
    person_sheets();
    set("I1_11", "S");
    set("N_DEPEN", 1);
    set("CAL_AUTO", 1);
    set("SO_REC", false);
    set("LEAO_CAL", false);
    set("DF_PAGTO", rt::CTOD("30/04/2012"));
    FDE_LEAO(0);
    MonthlySheet sheet = MonthlySheet::carne_leao();
    // January: 3,000.00 - 150.69 in the 15 % band of January-March.
    EXPECT_NEAR(sheet.get(1, 7), 146.46, kCent);
    // May: 3,000.00 - 157.47 in the 15 % band of April-December.
    EXPECT_NEAR(sheet.get(5, 7), 132.80, kCent);
    // June: 100.00 does not cover the dependant's deduction.
    EXPECT_EQ(sheet.get(6, 5), 0.0);
    EXPECT_NEAR(get("NTOTDEP"), 308.16, kCent);
    EXPECT_NEAR(sheet.get(13, 2), 6100.00, kCent);
    // Larger of due and paid: 300.00 in January, 132.80 in May.
    EXPECT_NEAR(get("I13_29"), 432.80, kCent);
    EXPECT_NEAR(get("I13_03"), 6100.00, kCent);
    EXPECT_TRUE(logical("LEAO_CAL"));
    set("SO_REC", true);
    set("LEAO_CAL", false);
    FDE_LEAO(0);
    EXPECT_NEAR(get("I13_29"), 400.00, kCent);
}

TEST_F(CarneLeaoTest, SummaryTakesEveryPersonsSheetWithoutCountingForeignIncomeTwice) {
    income_list();
    auto& sheets = person_sheets();
    add_row(sheets, {{"CPFDEPEN", "12345678909"}, {"I2_113", 1000.00}, {"I2_213", 500.00}, {"I2_313", 50.00},
                     {"I2_501", 80.00}, {"I2_513", 80.00}, {"I2_601", 100.00}});
    set("I1_11", "S");
    set("CAL_AUTO", 2);
    set("SO_REC", false);
    set("LEAO_CAL", false);
    set("I13_05", 0.0);
    FDE_LEAO(0);
    EXPECT_NEAR(get("I13_04"), 1000.00, kCent);
    EXPECT_NEAR(get("I13_50"), 500.00, kCent);
    EXPECT_NEAR(get("I13_18"), 50.00, kCent);
    EXPECT_NEAR(get("I13_30"), 100.00, kCent);
    EXPECT_EQ(get("I13_05"), 0.0);
    EXPECT_NEAR(get("I13_08"), 1500.00, kCent);
    // The inverse fill always takes the paid amounts.
    set("CAL_AUTO", 4);
    set("LEAO_CAL", false);
    FDE_LEAO(0);
    EXPECT_NEAR(get("I13_30"), 80.00, kCent);
}

TEST_F(CarneLeaoTest, LatePaymentFineAndInterestStayUncutUntilShown) {
    selic();
    struct Case { const char* paid_on; double corrected; };
    const Case cases[] = {
        // May's due date is 30/06/2011, payable until Friday 01/07/2011.
        {"01/07/2011", 32.80},
        // 28 days: fine 9.24 % (3.03072), interest 1 % (0.328).
        {"29/07/2011", 36.15872},
        // 91 days: fine 20 % (6.56), interest 1 + 0.97 + 1.07 (0.99712).
        {"30/09/2011", 40.35712},
    };
    for (const auto& c : cases) {
        set("DF_PAGTO", rt::CTOD(c.paid_on));
        EXPECT_NEAR(corrected_shortfall(5, 32.80), c.corrected, kCent) << c.paid_on;
    }
}

// May paid short (due 30/06/2011): the months its correction should add
// and the rates table (June to September 2011) lacks.
TEST_F(CarneLeaoTest, MonthsMissingFromTheRatesTableAreThoseOfTheLateShortfalls) {
    selic();
    set("MATATU", "REC_MENSAL");
    MonthlySheet sheet = MonthlySheet::carne_leao();
    sheet.set(5, 7, 32.80);
    sheet.set(6, 7, 10.00);
    sheet.set(6, 6, 10.00);   // June paid in full
    const struct {
        const char* paid_on;
        std::vector<std::string> missing;
    } cases[] = {
        {"01/07/2011", {}},                                   // on time
        {"30/09/2011", {}},                                   // July and August held
        {"31/12/2011", {"201110", "201111"}},
        {"15/02/2012", {"201110", "201111", "201112", "201201"}},
    };
    for (const auto& c : cases) {
        set("DF_PAGTO", rt::CTOD(c.paid_on));
        EXPECT_EQ(missing_correction_months(), c.missing) << c.paid_on;
    }
    keys({13});
    EXPECT_TRUE(warn_missing_selic(missing_correction_months(), "Juros sem esses meses."));
    EXPECT_TRUE(term->showed("10/2011 a 01/2012."));
    EXPECT_FALSE(warn_missing_selic({}, "nada"));
}

TEST_F(CarneLeaoTest, LateDecemberShortfallKeepsItsFractionOfACent) {
    // December is due on 31/01/2012, payable until 01/02/2012; paid 58 days
    // later: fine 19.14 %, interest 1 + February's 0.75 %.
    tb::Table& rates = make_list(51, "UFIRM", {{"ANOMES", 'C', 6, 0}, {"TJM", 'N', 6, 2}});
    add_row(rates, {{"ANOMES", "201201"}, {"TJM", 0.89}});
    add_row(rates, {{"ANOMES", "201202"}, {"TJM", 0.75}});
    set("DF_PAGTO", rt::CTOD("30/03/2012"));
    // 607.75 + 116.32335 + 10.635625, shown rounded, not each part cut.
    EXPECT_NEAR(corrected_shortfall(12, 607.75), 734.708975, kCent);
    set("MATATU", "REC_MENSAL");
    MonthlySheet sheet = MonthlySheet::carne_leao();
    sheet.set(12, 7, 607.75);
    CORR_DARF();
    EXPECT_EQ(rt::ALLTRIM(rt::variables().get("REC_MENSAL").at(12).at(8).as_string()), "734,71");
}

TEST_F(CarneLeaoTest, MonthKeyedAloneBringsItsCorrectionAndThePersonsRecordUpToDate) {
    tb::Table& sheets = sheets_by_person();
    income_list();
    set("MATATU", "REC_MENSAL");
    set("I1_11", "S");
    set("CAL_AUTO", 2);
    set("SO_REC", false);
    set("N_DEPEN", 0);
    // January's 5,000.00 owes 1,375.00 - 692.78 = 682.22, due 28/02/2011 and
    // paid 30 days after 01/03/2011: fine 9.9 %, interest 1 % (no rates).
    set("DF_PAGTO", rt::CTOD("31/03/2011"));
    MonthlySheet sheet = MonthlySheet::carne_leao();
    sheet.set(1, 2, 5000.00);
    VE_LEAO(1, 1);
    EXPECT_NEAR(sheet.get(1, 7), 682.22, kCent);
    EXPECT_NEAR(sheet.get(1, 8), 756.58, kCent);   // 682.22 x 1.109 = 756.58198
    // The sheet worked out whole is kept in the person's record, the
    // correction too, and follows when the shortfall goes.
    set("LEAO_CAL", false);
    FDE_LEAO(1);
    ASSERT_EQ(sheets.lastrec(), 1u);
    sheets.go_to(1);
    EXPECT_NEAR(sheets.get("I2_701").as_number(), 756.58, kCent);
    sheet.set(1, 6, 682.22);   // paid in full
    set("LEAO_CAL", false);
    FDE_LEAO(1);
    sheets.go_to(1);
    EXPECT_EQ(sheets.get("I2_701").as_number(), 0.0);
}

TEST_F(CarneLeaoTest, ADependantsSheetKeyedAsTotalsLeavesTheTitularsRecordAlone) {
    tb::Table& sheets = sheets_by_person();
    add_row(sheets, {{"I2_101", 5000.00}, {"I2_113", 5000.00}});
    add_row(sheets, {{"CPFDEPEN", "52998224725"}});
    income_list();
    set("N_DEPEN", 1);
    dependants_sheet_keyed_as_totals();
    CALC(1, 1);
    sheets.go_to(1);
    EXPECT_NEAR(sheets.get("I2_101").as_number(), 5000.00, kCent);
    sheets.go_to(2);
    EXPECT_NEAR(sheets.get("I2_101").as_number(), 2000.00, kCent);
    EXPECT_NEAR(get("I13_03"), 5000.00, kCent);
    EXPECT_NEAR(get("I13_04"), 2000.00, kCent);
}

// The sheet still shown of a dependant just deleted is not written back
// into a record of its own: their income leaves the summary with them.
TEST_F(CarneLeaoTest, TheSheetOfADeletedDependantDoesNotComeBack) {
    for (const bool listed : {true, false}) {
        tables::ws().close_all();
        tb::Table& sheets = sheets_by_person();
        add_row(sheets, {{"I2_101", 5000.00}, {"I2_113", 5000.00}});
        tb::Table& people = make_list(23, "DEPEN", {{"CODIDEPEN", 'N', 3, 0}, {"CPFDEPEN", 'C', 11, 0}});
        add_row(people, {{"CODIDEPEN", 99}, {"CPFDEPEN", "52998224725"}});   // the same CPF, an alimony recipient
        if (listed) add_row(people, {{"CODIDEPEN", 21}, {"CPFDEPEN", "52998224725"}});
        income_list();
        dependants_sheet_keyed_as_totals();
        set("LEAO_CAL", false);
        FDE_LEAO(1);
        EXPECT_EQ(sheets.lastrec(), listed ? 2u : 1u) << listed;
        EXPECT_NEAR(get("I13_04"), listed ? 2000.00 : 0.0, kCent) << listed;
        EXPECT_NEAR(get("I13_03"), 5000.00, kCent) << listed;
    }
}

TEST_F(CarneLeaoTest, PaymentTotalsByKind) {
    payments();
    add_payment(1, 3000.00);
    add_payment(10, 1000.00, 0, 200.00);
    add_payment(30, 500.00);
    add_payment(36, 700.00);
    add_payment(50, 900.00);
    add_payment(50, 0.00, 0, 120.00);
    add_payment(93, 999.00);
    add_payment(99, 10.00);
    set("JA_CALC", false);
    FDE_TUDO(2);
    EXPECT_NEAR(get("I13_13T"), 3000.00, kCent);
    EXPECT_NEAR(get("I13_14"), 800.00, kCent);
    EXPECT_NEAR(get("I13_14D"), 200.00, kCent);
    EXPECT_NEAR(get("I13_15"), 500.00, kCent);
    EXPECT_NEAR(get("I13_11T"), 700.00, kCent);
    EXPECT_NEAR(get("I13_24T"), 900.00, kCent);
    EXPECT_NEAR(get("NTOTEMPREG"), 8400.00 + 1120.00, 0.0001);
    EXPECT_NEAR(get("DESPDECLA"), 3000.00 + 1000.00 + 500.00 + 700.00 + 9520.00 + 10.00, 0.0001);
    EXPECT_TRUE(logical("JA_CALC"));
}

TEST_F(CarneLeaoTest, PaymentChecksLimitByCode) {
    auto& list = payments();
    add_payment(1, 3000.00);
    list.go_to(1);
    EXPECT_EQ(FDOAPAG(3000.00), 3000.00);
    EXPECT_NEAR(list.get("I6_5").as_number(), 41.77, kCent);
    add_payment(12, 300.00);
    keys({13});
    EXPECT_EQ(FCONFNDEDU(400.00), 0.0);
    EXPECT_TRUE(term->showed("não pode ser maior que o valor pago "));
    EXPECT_EQ(FCONFNDEDU(100.00), 100.00);
    EXPECT_NEAR(get("I13_14D"), 100.00, kCent);
}

TEST_F(CarneLeaoTest, IncomeTotalsOfTheSourcesList) {
    auto& income = income_list();
    add_row(income, {{"I1_1", "J"}, {"I1_3", "11111111000111"}, {"I1_4", 20000.00}, {"I1_5", 1000.00}, {"I1_6", 2000.00}, {"I1_7", 1500.00}});
    add_row(income, {{"I1_1", "J"}, {"I1_3", "22222222000122"}, {"I1_4", 40000.00}, {"I1_5", 3000.00}, {"I1_6", 4000.00}});
    add_row(income, {{"I1_1", "D"}, {"I1_11", "N"}, {"I1_4", 10000.00}, {"I1_5", 100.00}, {"I1_6", 1100.00}});
    add_row(income, {{"I1_1", "A"}, {"TIPOCR", "N"}, {"I1_4", 9000.00}, {"I1_5", 300.00}, {"I1_6", 200.00}, {"I1_12", 100.00}, {"I1_20", 450.00}});
    add_row(income, {{"I1_1", "A"}, {"TIPOCR", "S"}, {"I1_4", 5000.00}, {"I1_5", 250.00}, {"I1_6", 550.00}, {"I1_12", 400.00}});
    add_row(income, {{"I1_1", "P"}, {"I1_4", 1200.00}});
    set("CAL_AUTO", 1);
    FI1_T(0);
    EXPECT_NEAR(get("I13_01"), 60000.00, kCent);
    EXPECT_NEAR(get("I13_02"), 10000.00, kCent);
    EXPECT_NEAR(get("I13_27"), 4250.00, kCent);
    EXPECT_NEAR(get("I13_28"), 100.00, kCent);
    EXPECT_NEAR(get("I13_09"), 1200.00 + 6000.00 + 1100.00, kCent);
    EXPECT_NEAR(get("I4_01"), 1500.00, kCent);
    EXPECT_NEAR(get("I4_06"), 8400.00, kCent);
    EXPECT_NEAR(get("I13_25"), 450.00, kCent);
    EXPECT_NEAR(get("I13_34"), 300.00, kCent);
    EXPECT_NEAR(get("I13_05"), 5000.00, kCent);
    EXPECT_NEAR(get("I13_10"), 550.00, kCent);
    EXPECT_NEAR(get("I13_17"), 400.00, kCent);
    EXPECT_EQ(text("CGCPAGADOR"), "22222222000122    ");
    EXPECT_NEAR(get("I13_08"), 75000.00, kCent);
}

TEST_F(CarneLeaoTest, SeriousIllnessQuestionReadsInItsOwnLetters) {
    set("CODAT", "11");
    keys({rt::key::RIGHT, rt::key::ENTER});   // "Não"
    EXPECT_EQ(LIMIT2(500.00), 0.0);
    EXPECT_TRUE(term->showed("o código correto da natureza na tela 6."));
}

TEST_F(CarneLeaoTest, RetirementExemptionFromTheSixtyFifthBirthday) {
    EXPECT_NEAR(retirement_exempt_limit(1946, 7), 7 * 1566.61, kCent);
    EXPECT_NEAR(retirement_exempt_limit(1946, 2), 2 * 1499.15 + 10 * 1566.61, kCent);
    EXPECT_NEAR(retirement_exempt_limit(1940, 7), 20163.55, kCent);
    auto& income = income_list();
    add_row(income, {{"I1_1", "J"}, {"I1_4", 5000.00}, {"I1_17", 0.0}});
    set("NASCIMENTO", rt::CTOD("15/07/1946"));
    set("CODAT", "61");
    keys({13});   // accept moving the excess into the taxable income
    EXPECT_NEAR(LIMIT3(12000.00, 1), 10966.27, kCent);
    EXPECT_NEAR(income.get("I1_4").as_number(), 5000.00 + 1033.73, kCent);
    set("NASCIMENTO", rt::CTOD("01/01/1950"));
    keys({13});
    EXPECT_EQ(LIMIT3(1000.00, 0), 0.0);
}

}  // namespace
}  // namespace qv::declaration::testing
