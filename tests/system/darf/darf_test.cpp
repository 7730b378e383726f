// Payment slips: due dates, fines and interest worked by hand, the slips'
// text lines, and what a printed slip holds.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "darf/darf_charges.hpp"
#include "darf/darf_checks.hpp"
#include "darf/darf_dates.hpp"
#include "darf/darf_form.hpp"
#include "darf/darf_principal.hpp"
#include "darf/darf_print.hpp"
#include "darf/darf_selic.hpp"
#include "darf/darf_state.hpp"
#include "darf/darf_text.hpp"
#include "darf/slip_layout.hpp"
#include "runtime/os/print_device.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/table/dbf_format.hpp"
#include "runtime/table/table.hpp"
#include "system/system_fixture.hpp"
#include "tables/opening.hpp"
#include "tables/schemas.hpp"
#include "tables/state.hpp"

namespace qv::darf {
namespace {

namespace tb = rt::table;
rt::Date d(const char* text) { return rt::CTOD(text); }

TEST(DarfDates, DueDatesAndPeriodsStepBackFromWeekendsAndDecember) {
    const struct {
        rt::Date got;
        const char* expected;
    } cases[] = {
        {ULTIMO_DIA(11, 2011), "29/12/2011"},   // 31/12 a Saturday, then the December step
        {ULTIMO_DIA(12, 2011), "31/01/2012"},
        {ULTIMO_DIA(11, 2012), "28/12/2012"},   // 31/12 a Monday: 30/12 is a Sunday
        {ULTIMO_DIA(3, 2011), "29/04/2011"},    // 30/04 a Saturday
        {MES_ANTER(12), "29/12/2011"},
        {MES_ANTER(11), "30/11/2011"},
        {default_payment_date(d("15/06/2012")), "29/06/2012"},
        {default_payment_date(d("10/01/2013")), "31/01/2013"},
    };
    for (const auto& c : cases) EXPECT_EQ(rt::DTOC(c.got), c.expected);
    EXPECT_EQ(months_late(d("30/04/2012"), d("02/08/2012"), 93), 4);
    EXPECT_EQ(months_late(d("29/12/2011"), d("31/01/2012"), 32), 1);
}

TEST(DarfCharges, FinesForPayingAndFilingLate) {
    EXPECT_NEAR(late_payment_fine(10, 0), 3.30, 1e-9);
    EXPECT_NEAR(late_payment_fine(10, 1), 3.30, 1e-9);
    EXPECT_EQ(late_payment_fine(5, 3), 20.0);
    EXPECT_EQ(late_payment_fine(70, 2), 20.0);
    EXPECT_EQ(late_payment_fine(-1, 0), 0.0);
    EXPECT_EQ(late_filing_fine(500.00, 2), 165.74);      // 10,00 raised to the minimum
    EXPECT_EQ(late_filing_fine(50000.00, 30), 10000.00); // 15.000,00 cut to 20 %
    EXPECT_EQ(late_filing_fine(50000.00, 3), 1500.00);
    EXPECT_EQ(late_filing_fine(50000.00, 0), 0.0);
    const Charges c = charges_of(623.76, 10.56, 1.0);   // 65,869 and 6,2376 cut to cents
    EXPECT_NEAR(c.fine, 65.86, 1e-9);
    EXPECT_NEAR(c.interest, 6.23, 1e-9);
    EXPECT_NEAR(c.total, 695.85, 1e-9);
}

TEST(DarfLayout, PlainSlipAndAdjustedFormPlaces) {
    SlipValues v;
    v.name = "MARIA DA SILVA";
    v.principal = "     1.000,00";
    v.notice = {"VALOR INFERIOR R$ 10,00 - NAO PAGAR", " SOME C/OUTROS DARFS DO MESMO CODIGO "};
    const auto rows = plain_slip(v);
    ASSERT_EQ(rows.size(), 22u);
    for (const auto& r : rows) EXPECT_EQ(r.size(), 78u) << r;
    EXPECT_EQ(rows[0].front(), '+');
    EXPECT_NE(rows[7].find("| MARIA DA SILVA"), std::string::npos);
    EXPECT_NE(rows[11].find("|07-Valor do principal       1.000,00|"), std::string::npos);
    EXPECT_NE(rows[15].find("VALOR INFERIOR R$ 10,00 - NAO PAGAR"), std::string::npos);

    const FormPlaces p = adjusted_places("TOTAL 30 60\nbogus line\nJUROS x 1\nnome 2 5\nUNKNOWN 1 1\n");
    EXPECT_EQ(p.at("TOTAL").row, 30);
    EXPECT_EQ(p.at("NOME").col, 5);
    EXPECT_EQ(p.at("JUROS").row, default_places().at("JUROS").row);
    EXPECT_EQ(p.count("UNKNOWN"), 0u);
    const auto placed = placed_values(v, p);
    for (std::size_t i = 1; i < placed.size(); ++i)
        EXPECT_TRUE(placed[i - 1].at.row < placed[i].at.row ||
                    (placed[i - 1].at.row == placed[i].at.row && placed[i - 1].at.col <= placed[i].at.col));
}

// The shipped SELIC rates (2011-12 0,91; 2012-01 0,89; 2012-04 0,71;
// 2012-05 0,74; 2012-06 0,64; 2012-07 0,68) and a declaration with six
// quotas of 1.000,00.
class DarfSlipTest : public test_support::FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        scope_ = std::make_unique<rt::DeclarationScope>();
        for (const auto& [name, value] : std::initializer_list<std::pair<const char*, rt::Value>>{
                 {"QUECON", rt::Value(1)}, {"QTD_QUOTA", rt::Value(6)}, {"I13_37", rt::Value(1000.00)},
                 {"CPF", rt::Value("12345678909")}, {"NOMECONTR", rt::Value("MARIA DA SILVA")},
                 {"TELEFO", rt::Value("32221111")}, {"CDARFUTU", rt::Value("S")}, {"QUEMOD", rt::Value(1)},
                 {"NRO_VIAS", rt::Value(1)}})
            darf::set(name, value);
        rt::Value dates = rt::Value::array();
        for (const char* due : {"30/04/2012", "31/05/2012", "29/06/2012", "31/07/2012"})
            dates.as_array()->push_back(rt::Value(d(due)));
        darf::set("DAT_VENC", dates);
    }
    // Loads, fills and charges the slip as the print run does.
    bool slip(int n, int kind, const char* paid) {
        darf::set("QUEDARF", rt::Value(kind));
        darf::set("DF_PGTO", rt::Value(d(paid)));
        if (!BUS_IMPO(n, kind, kSilent)) return false;
        PREENCHE(n);
        CALCJU(2, 1);
        return true;
    }
    static std::string line(int i) { return text("DF_OUTR" + std::to_string(i)); }
    void TearDown() override {
        tables::ws().close_all();
        scope_.reset();
        FoldersTest::TearDown();
    }
    // A work copy of the capital gains and variable income in its area.
    tb::Table& gains() {
        const std::string path = folder_.path() + "/GANHOS.DBF";
        tb::create_table(path, *tables::schema_of(7), tb::MemoKind::None);
        tb::OpenOptions own;
        own.exclusive = true;
        return tables::ws().use_in(27, path, own);
    }
    // A work copy of the monthly sheets in its work area.
    tb::Table& person_sheets(const std::vector<tb::FieldSpec>& fields) {
        const std::string path = folder_.path() + "/MENSAL.DBF";
        tb::create_table(path, fields, tb::MemoKind::None);
        tb::OpenOptions own;
        own.exclusive = true;
        return tables::ws().use_in(declaration::kPersonSheetArea, path, own);
    }

private:
    std::unique_ptr<rt::DeclarationScope> scope_;
    test_support::TempFolder folder_{"qvdarf"};
};

TEST_F(DarfSlipTest, QuotasOnTimeLateAndAfterTheFirst) {
    const struct {
        int quota;
        const char* paid;
        double fine, interest, total;
    } cases[] = {
        {1, "30/04/2012", 0.00, 0.00, 1000.00},     // on time: nothing
        {1, "11/05/2012", 33.00, 10.00, 1043.00},   // 10 days: 3,30 % and 1 %
        {1, "02/08/2012", 200.00, 30.60, 1230.60},  // 4 months: 20 %, 1 + May, June, July
        {3, "15/06/2012", 0.00, 17.40, 1017.40},    // before its due date: 1 % + May
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(slip(c.quota, kQuota, c.paid)) << c.paid;
        EXPECT_NEAR(number("VAL_MULTA"), c.fine, 1e-9) << c.paid;
        EXPECT_NEAR(number("VAL_JURO"), c.interest, 1e-9) << c.paid;
        EXPECT_NEAR(number("VAL_TOTAL"), c.total, 1e-9) << c.paid;
    }
    EXPECT_EQ(text("DF_CODIG"), "0211");
    EXPECT_EQ(rt::DTOC(date("DF_PERIODO")), "31/12/2011");
    EXPECT_EQ(line(3), "Imposto devido..... R$     1.000,00");
    EXPECT_EQ(line(5), "Pagto. da quota 3 de 6 do IRPF/2012");
    EXPECT_FALSE(slip(7, kQuota, "15/06/2012"));   // six quotas only
}

TEST_F(DarfSlipTest, CarneLeaoOfNovemberPaidInJanuary) {
    std::vector<tb::FieldSpec> f{{"CPFDEPEN", 'C', 11, 0}};
    for (int k = 1; k <= 6; ++k) f.push_back({"I2_" + std::to_string(k) + "11", 'N', 12, 2});
    auto& sheets = person_sheets(f);
    ASSERT_TRUE(sheets.append_blank());
    for (const auto& [field, value] : {std::pair{"I2_111", 5000.00}, {"I2_411", 189.59}, {"I2_611", 623.76}})
        sheets.put(field, rt::Value(value));
    sheets.commit();
    darf::set("DARFTD", rt::Value("S"));
    ASSERT_TRUE(slip(11, kCarneLeao, "31/01/2012"));
    EXPECT_EQ(rt::DTOC(date("DF_VCTO")), "29/12/2011");
    EXPECT_EQ(rt::DTOC(date("DF_PERIODO")), "30/11/2011");
    EXPECT_EQ(text("DF_CODIG"), "0190");
    EXPECT_NEAR(number("DF_MULTA"), 10.56, 1e-9);   // 32 days after 30/12
    EXPECT_NEAR(number("VAL_MULTA"), 65.86, 1e-9);
    EXPECT_NEAR(number("VAL_JURO"), 6.23, 1e-9);
    EXPECT_NEAR(number("VAL_TOTAL"), 695.85, 1e-9);
    EXPECT_EQ(line(1), "Rendimentos....... R$      5.000,00");
    EXPECT_EQ(line(3), "Deducoes.......... R$        189,59");
    EXPECT_EQ(line(4), "Imposto........... R$        623,76");
    EXPECT_EQ(line(5), "Carne Leao do mes de Novembro /2011");
    EXPECT_FALSE(slip(10, kCarneLeao, "31/01/2012"));   // nothing due in October
}

TEST_F(DarfSlipTest, LateFilingFineIsRaisedToTheMinimum) {
    darf::set("I13_23", rt::Value(500.00));
    ASSERT_TRUE(slip(1, kLateFiling, "29/06/2012"));
    EXPECT_NEAR(number("VAL_TOTAL"), 165.74, 1e-9);
    EXPECT_EQ(text("DF_CODIG"), "5320");
    EXPECT_EQ(line(1), "Multa maxima pelo atraso     100,00");
    EXPECT_EQ(line(3), "02 meses de atraso  =         10,00");
    EXPECT_EQ(line(4), "Valor da multa........       165,74");
}

TEST_F(DarfSlipTest, PrintedSlipsWarnUnderTenReaisAndSkipAZeroPrincipal) {
    test_support::TempFolder out;
    const std::string file = out.path() + "/darf.txt";
    ASSERT_TRUE(rt::os::printer().open(file));
    darf::set("QLIN", rt::Value(0));
    darf::set("I13_37", rt::Value(9.99));
    ASSERT_TRUE(slip(1, kQuota, "30/04/2012"));
    IMPRDARF();
    darf::set("I13_37", rt::Value(0.0));
    ASSERT_TRUE(slip(2, kQuota, "30/04/2012"));
    IMPRDARF();
    rt::os::printer().close();
    std::ifstream in(file, std::ios::binary);
    const std::string printed{std::istreambuf_iterator<char>(in), {}};
    EXPECT_NE(printed.find("VALOR INFERIOR R$ 10,00 - NAO PAGAR"), std::string::npos);
    EXPECT_NE(printed.find("SOME C/OUTROS DARFS DO MESMO CODIGO"), std::string::npos);
    EXPECT_NE(printed.find("123.456.789-09"), std::string::npos);
    EXPECT_NE(printed.find("Pagto. da quota 1 de 6"), std::string::npos);
    EXPECT_EQ(printed.find("Pagto. da quota 2"), std::string::npos);
    darf::set("QUEMOD", rt::Value(2));
    EXPECT_EQ(slip_values(false).notice[0], "VALOR INFERIOR A R$ 10,00 - NAO PAGAR");
}

TEST_F(DarfSlipTest, PaymentOnAWeekendOrBeforeTheFirstWorkingDayIsRefused) {
    darf::set("QUEDARF", rt::Value(kCarneLeao));
    darf::set("DF_VCTO", rt::Value(d("29/12/2011")));
    darf::set("DF_PGTO", rt::Value(d("16/06/2012")));   // a Saturday
    keys({13});
    EXPECT_FALSE(VALI_DATA(1, 2));
    EXPECT_TRUE(term->showed("Dia lançado para pagamento é um Sabado"));
    darf::set("DF_PGTO", rt::Value(d("18/06/2012")));
    EXPECT_TRUE(VALI_DATA(1, 2));
    EXPECT_TRUE(VEATRASO());
    EXPECT_TRUE(VE_MPG2(3, 12));
    EXPECT_FALSE(VE_MPG2(3, 2));
    EXPECT_FALSE(VE_MPAG(13));
}

}  // namespace
}  // namespace qv::darf

namespace qv::darf {
namespace {

TEST_F(DarfSlipTest, FutureQuotaAndTheOfficesFormPlaces) {
    darf::set("CDARFUTU", rt::Value("N"));
    ASSERT_TRUE(slip(3, kQuota, "15/06/2012"));   // due 29/06/2012, still to come
    const SlipValues plain = slip_values(true);
    EXPECT_TRUE(plain.interest.empty());
    EXPECT_TRUE(plain.total.empty());
    EXPECT_EQ(plain.notice[0], "NOS JUROS POR A CORRECAO DA SELIC");

    // A pre-printed sheet with the total moved by the office, printed after
    // the vertical offset.
    std::ofstream(text("ARQDEF") + "DARFFORM3.TXT") << "TOTAL 15 40\n";
    darf::set("CDARFUTU", rt::Value("S"));
    darf::set("QUEMOD", rt::Value(3));
    darf::set("NDESLOC", rt::Value(2));
    darf::set("QLIN", rt::Value(0));
    test_support::TempFolder out;
    ASSERT_TRUE(rt::os::printer().open(out.path() + "/form.txt"));
    IMPRDARF();
    rt::os::printer().close();
    std::ifstream in(out.path() + "/form.txt", std::ios::binary);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    ASSERT_GE(lines.size(), 18u);
    EXPECT_EQ(lines[17].find("1.017,40"), 46u) << lines[17];   // row 2 + 15, right-aligned in columns 40-53
    EXPECT_EQ(lines[0].find("MINISTERIO"), std::string::npos);  // values only on a form
}

}  // namespace
}  // namespace qv::darf

namespace qv::darf {
namespace {

// Rows of the variable-income statement: the tax of the common operations
// is the month's 6015; day trade and funds have statements of their own.
TEST_F(DarfSlipTest, VariableIncomeOfTheCommonOperationsGivesItsSlip) {
    tb::Table& t = gains();
    const struct {
        const char* kind;
        int row;
        double march;
    } rows[] = {{"1", 16, 10000.00}, {"1", 27, 1500.00}, {"1", 28, 500.00}, {"2", 28, 300.00}, {"3", 5, 80.00}};
    for (const auto& r : rows) {
        ASSERT_TRUE(t.append_blank());
        t.put("TIPO_BEM", rt::Value(4));
        t.put("DAY_TRADE", rt::Value(r.kind));
        t.put("RVAR_NRO", rt::Value(r.row));
        t.put("REC_MES03", rt::Value(r.march));
        t.commit();
    }
    ASSERT_TRUE(slip(3, kVariableIncome, "29/04/2011"));
    EXPECT_EQ(text("DF_CODIG"), "6015");
    EXPECT_EQ(rt::DTOC(date("DF_VCTO")), "29/04/2011");
    EXPECT_NEAR(number("IMPO_REAL"), 1000.00, 1e-9);
    EXPECT_NEAR(number("VAL_TOTAL"), 1000.00, 1e-9);
    EXPECT_EQ(line(1), "Base de calculo.....R$    10.000,00");
    EXPECT_EQ(line(3), "V. Recolhido........R$       500,00");
    EXPECT_EQ(line(4), "Diferenca ..........R$     1.000,00");
    EXPECT_FALSE(slip(4, kVariableIncome, "31/05/2011"));   // nothing due in April
}

// The fine follows the payment date typed on the form: principal, total,
// the lines that explain it and the screen agree with the slip printed.
TEST_F(DarfSlipTest, LateFilingFineFollowsThePaymentDateOnTheForm) {
    darf::set("I13_23", rt::Value(14985.50));
    ASSERT_TRUE(slip(1, kLateFiling, "31/12/2014"));
    EXPECT_NEAR(number("IMPO_REAL"), 2997.10, 1e-9);   // 20 % of the tax
    darf::set("DF_PGTO", rt::Value(d("31/07/2012")));
    ASSERT_TRUE(VALI_DATA(1, 2));
    EXPECT_NEAR(number("IMPO_REAL"), 449.56, 1e-9);    // 3 months of 1 %, cut to cents
    EXPECT_NEAR(number("VAL_TOTAL"), 449.56, 1e-9);
    EXPECT_EQ(line(3), "03 meses de atraso  =        449,56");
    EXPECT_EQ(line(4), "Valor da multa........       449,56");
    // On the form: the line of the months, the principal beside the first
    // line and the total beside the fourth.
    EXPECT_NE(term->text(kLinesRow + 2).find("03 meses de atraso  =        449,56"), std::string::npos);
    EXPECT_NE(term->text(kLinesRow).find("449,56"), std::string::npos) << term->text(kLinesRow);
    EXPECT_NE(term->text(kLinesRow + 3).find("449,56"), std::string::npos) << term->text(kLinesRow + 3);
}

TEST_F(DarfSlipTest, MonthsMissingFromTheSelicTableAreNamedBeforeTheSlip) {
    const struct {
        int quota;
        const char* paid;
        const char* removed;   // a month taken out of the shipped table
        std::vector<std::string> gaps;
    } cases[] = {
        {1, "29/11/2013", "", {}},
        {1, "31/03/2014", "", {"01/2014 a 02/2014"}},
        {1, "31/03/2014", "201306", {"06/2013", "01/2014 a 02/2014"}},
        {1, "30/04/2012", "", {}},                     // on time: no SELIC
        {3, "15/06/2012", "201205", {"05/2012"}},      // a later quota: SELIC from May
    };
    tables::ws().set_deleted(true);
    for (const auto& c : cases) {   // each month taken out stays out for the cases after it
        if (*c.removed) {
            ASSERT_TRUE(tables::ABERTURA(51));
            tb::Table& rates = tables::ws().current(51);
            ASSERT_TRUE(rates.seek(rt::Value(c.removed)));
            ASSERT_TRUE(rates.rlock());
            rates.delete_record();
            rates.commit();
            tables::ws().close(51);
        }
        ASSERT_TRUE(slip(c.quota, kQuota, c.paid)) << c.paid;
        EXPECT_EQ(selic_gaps(), c.gaps) << c.paid;
    }
    darf::set("DF_PGTO", rt::Value(d("31/03/2014")));
    darf::set("DF_VCTO", rt::Value(d("30/04/2012")));
    darf::set("QUEDARF", rt::Value(kQuota));
    set_slip_number(1);
    keys({13});
    EXPECT_TRUE(warn_selic_gaps());
    EXPECT_TRUE(term->showed("01/2014 a 02/2014"));
    EXPECT_TRUE(term->showed("Cadastro SELIC"));
}

}  // namespace
}  // namespace qv::darf
