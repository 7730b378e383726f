// The balance page and the composition of its lines.
#include "declaration/calc/balance_page.hpp"
#include "declaration/calc/declaration_helpers.hpp"
#include "declaration/calc/detail_lists.hpp"

#include "common/globals.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/date.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/table.hpp"
#include "system/system_fixture.hpp"
#include "shell/routine_registry.hpp"
#include "tables/schemas.hpp"
#include "tables/state.hpp"

namespace qv::declaration {
namespace {

namespace tb = rt::table;

class BalancePage : public test_support::FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        scope_ = std::make_unique<rt::DeclarationScope>();
        for (const char* n : {"USAPADRAO", "SOMAG", "RETIFICA", "ATV_BRASIL"}) set_value(n, rt::Value("N"));
    }
    void TearDown() override {
        tables::ws().close_all();
        scope_.reset();
        FoldersTest::TearDown();
    }
    std::unique_ptr<rt::DeclarationScope> scope_;
};

TEST_F(BalancePage, BalanceAndItsShareOfTheResources) {
    struct Case {
        double income, spent;
        const char* shown;
        double indgas;
    } cases[] = {{4000.0, 1000.0, "Saldo de", 75.0}, {1000.0, 1000.0, "ficit de", 0.0}, {0.0, 500.0, "ficit de", 0.0}};
    for (const auto& c : cases) {
        term->snapshots.clear();
        set_amount("OUTREC", c.income);
        set_amount("OUTRDES", c.spent);
        MOS_BALAN();
        keys({rt::key::ESC});
        rt::INKEY(-1);   // a look at the screen
        EXPECT_DOUBLE_EQ(amount("RECEITA"), c.income);
        EXPECT_DOUBLE_EQ(amount("SALDO"), c.income - c.spent);
        EXPECT_DOUBLE_EQ(amount("INDGAS"), c.indgas) << c.income;
        EXPECT_TRUE(term->showed(c.shown)) << c.income;
    }
}

TEST_F(BalancePage, ExemptAndExclusiveRowsFollowTheGainsRuralAndVariableIncome) {
    // The capital-gains totals, the rural exempt part and the variable
    // income left new values while page 3 was not shown.
    set_amount("I3_04GCPVC", 1000.00);
    set_amount("I3_01", 250.00);
    set_amount("I4_02", 300.00);
    set_amount("I4_03", 40.00);
    set_amount("I13_46", 60.00);
    MOS_BALAN();
    keys({rt::key::ESC});
    rt::INKEY(-1);
    EXPECT_DOUBLE_EQ(amount("I3_04"), 1000.00);
    EXPECT_DOUBLE_EQ(amount("I13_44"), 1250.00);
    EXPECT_DOUBLE_EQ(amount("I13_45"), 340.00);
    // "Rendimentos isentos (2)" and "Rend.tributado fonte (3)": 340 + 60 - 40.
    EXPECT_NE(rt::row_text(2).find("1.250,00"), std::string::npos) << rt::row_text(2);
    EXPECT_NE(rt::row_text(3).find("360,00"), std::string::npos) << rt::row_text(3);
}

// The page's two answers stand inside its labels: painting the page again
// (after each field) leaves them in sight.
TEST_F(BalancePage, TheAnswersInsideTheLabelsStayInSight) {
    set_value("USAPADRAO", rt::Value("S"));
    set_value("SO_SIMPLES", rt::Value("S"));
    set_value("SOMAG", rt::Value("N"));
    MOS_BALAN();
    EXPECT_EQ(rt::row_text(3).substr(40, 25), "Despesas declaradas S(9) ") << rt::row_text(3);
    EXPECT_EQ(rt::row_text(14).substr(1, 24), "Ganho Cap. Diferido  N  ") << rt::row_text(14);
    // The complete model has no such answer: the label stands alone.
    set_value("USAPADRAO", rt::Value("N"));
    MOS_BALAN();
    EXPECT_EQ(rt::row_text(3).substr(40, 25), "Despesas declaradas  (9) ") << rt::row_text(3);
}

TEST_F(BalancePage, ListTotalsKeepLastYearsDeclaredValue) {
    const std::string path = root + "/bens.dbf";
    tb::create_table(path, *tables::schema_of(4), tb::MemoKind::None);
    tb::OpenOptions own;
    own.exclusive = true;
    tb::Table& t = tables::ws().use_in(24, path, own);
    for (const auto& [start, end, declared] : {std::tuple{100.0, 150.0, 90.0}, {50.0, 0.0, 50.0}}) {
        ASSERT_TRUE(t.append_blank());
        t.put("I7_3", rt::Value(start));
        t.put("I7_4", rt::Value(end));
        t.put("I7_9", rt::Value(declared));
        t.commit();
    }
    FI7_T(0);
    EXPECT_DOUBLE_EQ(amount("I13_39"), 150.0);
    EXPECT_DOUBLE_EQ(amount("I13_40"), 150.0);
    EXPECT_DOUBLE_EQ(amount("NTOTBANT1"), 140.0);
}

TEST_F(BalancePage, DetailListRowsCarryTheirShareOrSayNothingWasDeclared) {
    keys({rt::key::ENTER});
    EXPECT_FALSE(B_DETAL(8));
    EXPECT_TRUE(term->showed("Nada declarado"));
    set_amount("RECEITA", 4000.0);
    set_amount("DESPESA", 2000.0);
    set_amount("I13_27", 1000.0);
    set_amount("I13_46", 500.0);
    EXPECT_TRUE(B_DETAL(8));
    tb::Table& d = *tables::ws().table(68);
    ASSERT_EQ(d.lastrec(), 3u);
    d.go_top();
    EXPECT_EQ(rt::TRIM(d.get("DESCRICAO").as_string()), "Imposto retido do Titular");
    EXPECT_DOUBLE_EQ(d.get("PERCRECE").as_number(), 25.0);
    EXPECT_DOUBLE_EQ(d.get("PERCDESP").as_number(), 50.0);
    d.go_bottom();
    EXPECT_DOUBLE_EQ(d.get("VALORDOC").as_number(), 1500.0);
}

TEST_F(BalancePage, DetailListStandsInsideItsBox) {
    shell::register_system_routines();
    set_amount("RECEITA", 4000.0);
    set_amount("DESPESA", 2000.0);
    set_amount("I13_27", 1000.0);
    for (int row = 0; row < 24; ++row) rt::at_say(row, 0, std::string(80, '#'));
    EXPECT_TRUE(B_DETAL(8));   // left with the Esc the screen gets when the keys run out
    ASSERT_FALSE(term->snapshots.empty());
    const std::string& shown = term->snapshots.front();
    // The box from (3, 3) to (22, 76); the list fills its inside.
    EXPECT_NE(shown.find("03 |###┌"), std::string::npos) << shown;
    EXPECT_NE(shown.find("22 |###└"), std::string::npos) << shown;
    EXPECT_NE(shown.find("04 |###│Discrimina"), std::string::npos) << shown;
    EXPECT_NE(shown.find("% REC.   │###|"), std::string::npos) << shown;
}

TEST_F(BalancePage, CapitalGainsListNamesEachCostParcel) {
    tb::OpenOptions o;
    o.exclusive = true;
    tb::create_table(client + "GAN.DBF", *tables::schema_of(7));
    tb::create_table(client + "PARC.DBF", *tables::schema_of(28));
    tb::Table& gains = tables::ws().use_in(27, client + "GAN", o);
    tb::Table& parcels = tables::ws().use_in(28, client + "PARC", o);
    struct Gain {
        int number;
        const char* text;
        const char* sold;
        const char* earlier;
    };
    for (const Gain& g : {Gain{1, "CASA NA PRAIA", "20110510", " "}, Gain{2, "TERRENO", "20100510", "S"}}) {
        gains.append_blank();
        gains.put("BEM_NRO", rt::Value(g.number));
        gains.put("TIPO_BEM", rt::Value(1));
        gains.put("ESPC_BEM", rt::Value(g.text));
        gains.put("DATA_ALI", rt::Value(rt::STOD(g.sold)));
        gains.put("VENDAANT", rt::Value(g.earlier));
        gains.put("VAL_RECOL", rt::Value(300.0));
    }
    struct Parcel {
        int number;
        const char* date;
        double cost;
    };
    for (const Parcel& p : {Parcel{1, "20110301", 100}, Parcel{1, "20050101", 50}, Parcel{2, "20040101", 70}}) {
        parcels.append_blank();
        parcels.put("BEM_NRO", rt::Value(p.number));
        parcels.put("DATA_CUST", rt::Value(rt::STOD(p.date)));
        parcels.put("VALOR_CUST", rt::Value(p.cost));
    }
    gains.commit();
    parcels.commit();
    set_amount("CUSTOANO", 100.0);
    set_amount("CUSTOANT", 50.0);
    EXPECT_TRUE(B_DETAL(6));
    tb::Table& d = *tables::ws().table(68);
    std::vector<std::pair<std::string, double>> rows;
    for (d.go_top(); !d.eof(); d.skip()) rows.emplace_back(rt::TRIM(d.get("DESCRICAO").as_string()), d.get("VALORDOC").as_number());
    const std::vector<std::pair<std::string, double>> head{
        {"CASA NA PRAIA", 300}, {"TERRENO", 300}, {"Total das entradas no Ganho de Capital", 600},
        {"CASA NA PRAIA Em " + rt::DTOC(rt::STOD("20110301")), 100}, {"Total do custo no ano dos Bens Vendidos", 100},
        {"CASA NA PRAIA Em " + rt::DTOC(rt::STOD("20050101")), 50}, {"Total do custo dos Bens Baixados", 50}};
    ASSERT_GE(rows.size(), head.size());
    EXPECT_EQ(std::vector(rows.begin(), rows.begin() + static_cast<long>(head.size())), head);
}

TEST_F(BalancePage, SpouseListFollowsTheSpousesModelAndWhereItsValuesCameFrom) {
    struct Case {
        const char* model;
        const char* fetched;
        const char* tax_line;
        const char* balance_line;
    };
    for (const Case& c : {Case{"S", "S", "Imposto retido do cônjuge (simplificada)", "Saldo no balanço do cônjuge"},
                          Case{"N", "N", "Imposto devido do cônjuge (completa)", "Outras rendas do cônjuge"}}) {
        common::Global{"CONJPAD"}.set(rt::Value(c.model));
        common::Global{"I9_4"}.set(rt::Value(c.fetched));
        set_amount("I13_1C", 1000.0);
        set_amount("I13_4C", 100.0);
        set_amount("I13_2C", 50.0);
        set_amount("I9_2", 950.0);
        set_amount("I9_3", 900.0);
        EXPECT_TRUE(B_DETAL(5));
        tb::Table& d = *tables::ws().table(68);
        std::vector<std::pair<std::string, double>> rows;
        for (d.go_top(); !d.eof(); d.skip())
            rows.emplace_back(rt::cp850_to_utf8(rt::TRIM(d.get("DESCRICAO").as_string())), d.get("VALORDOC").as_number());
        const std::vector<std::pair<std::string, double>> expected{
            {"Base de cálculo do cônjuge", 1000}, {c.tax_line, -100}, {"Rendimentos isentos do cônjuge", 50},
            {"Total rendimento oficial do conjuge", 950}, {c.balance_line, 900},
            {"Diferença entre Rendimento e Saldo", -50}};
        EXPECT_EQ(rows, expected) << c.model;
    }
}

TEST_F(BalancePage, DollarConverterUsesTheMonthsRate) {
    rt::Value rates = rt::Value::array(12);
    for (auto& r : *rates.as_array()) r = rt::Value(2.0);
    (*rates.as_array())[4] = rt::Value(1.6);
    set_value("TAB_DOLAR", rates);
    EXPECT_FALSE(ATUAVAL(1, 100.0, 13));
    EXPECT_TRUE(ATUAVAL(1, 800.0, 5));
    EXPECT_DOUBLE_EQ(amount("QUS"), 500.0);
    EXPECT_TRUE(ATUAVAL(2, 100.0, 5));
    EXPECT_DOUBLE_EQ(amount("QCR1"), 160.0);
    EXPECT_DOUBLE_EQ(MUDATEL13(13, 42.0), 42.0);   // no month: the value as it was
}

TEST_F(BalancePage, DependantLookUpByCpf) {
    const std::string path = root + "/dep.dbf";
    tb::create_table(path, *tables::schema_of(3), tb::MemoKind::None);
    tb::OpenOptions own;
    own.exclusive = true;
    tb::Table& t = tables::ws().use_in(23, path, own);
    ASSERT_TRUE(t.append_blank());
    t.put("CPFDEPEN", rt::Value("11144477735"));
    t.put("CODIDEPEN", rt::Value(21));
    t.commit();
    set_value("M_CPFDEPEN", rt::Value(""));
    EXPECT_TRUE(VERCPFDEPE("11144477735"));
    EXPECT_EQ(rt::variables().get("M_CPFDEPEN").as_string(), "11144477735");
    keys({rt::key::ENTER});
    EXPECT_FALSE(VERCPFDEPE("11144477736"));   // wrong check digits
}

}  // namespace
}  // namespace qv::declaration
