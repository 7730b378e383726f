// The grid cells' checks and calculators over real work tables: the RRA
// tax, the savings lines carried into the declaration, the dependant
// number of a payment, the dependants' age warnings, the code look-ups, the
// rural result abroad, the upkeep list, the instalments and the heirs'
// shares.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "../../system_fixture.hpp"
#include "common/globals.hpp"
#include "declaration/grids/capital_gain_instalments.hpp"
#include "declaration/grids/grid_catalogue.hpp"
#include "declaration/grids/grid_checks.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "tables/opening.hpp"
#include "tables/schemas.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {
namespace {

namespace tb = rt::table;
using rt::Value;
using Row = std::vector<std::pair<std::string, Value>>;

class GridChecks : public test_support::FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        tables::ws().set_deleted(true);
        set("CPF", Value("12345678909"));
    }
    // The work copy of declaration table `area - 20`, with these rows.
    tb::Table& work(int area, const std::vector<Row>& rows) {
        const std::string path = client + "work" + std::to_string(area) + ".dbf";
        tb::create_table(path, *tables::schema_of(area - 20));
        tb::OpenOptions own;
        own.exclusive = true;
        tb::Table& t = tables::ws().use_in(area, path, own);
        for (const auto& row : rows) {
            EXPECT_TRUE(t.append_blank());
            for (const auto& [field, v] : row) t.put(field, v);
        }
        t.commit();
        t.go_top();
        return t;
    }
    static void set(const char* name, Value v) { common::Global{name}.set(std::move(v)); }
    static double num(const char* name) { return common::Global{name}.number(); }
    bool showed(const char* utf8) const { return term->showed(utf8); }
};

rt::Date day(int y, int m, int d) { return rt::Date::from_ymd(y, m, d); }

Value pair(double first_quarter, double rest) {
    Value a = Value::array();
    a.as_array()->push_back(Value(first_quarter));
    a.as_array()->push_back(Value(rest));
    return a;
}

// The monthly and annual tables of 2011 as the declaration holds them.
void tax_tables() {
    const std::pair<const char*, Value> values[] = {
        {"NBASEME1", pair(1499.15, 1566.61)}, {"NBASEME2", pair(2246.75, 2347.85)},
        {"NBASEME3", pair(2995.70, 3130.51)}, {"NBASEME4", pair(3743.19, 3911.63)},
        {"NDEDUME1", pair(112.43, 117.49)},   {"NDEDUME2", pair(280.94, 293.58)},
        {"NDEDUME3", pair(505.62, 528.37)},   {"NDEDUME4", pair(692.78, 723.95)},
        {"NDEDUAN1", Value(1409.95)},         {"NDEDUAN2", Value(3523.01)},
        {"NDEDUAN3", Value(6340.47)},         {"NDEDUAN4", Value(8687.45)}};
    for (const auto& [name, v] : values) common::Global{name}.set(v);
}

TEST_F(GridChecks, RraTaxByTheMonthOfReceiptAndItsBand) {
    tax_tables();
    struct Case {
        double income, social, alimony, months;
        rt::Date received;
        double tax;
    };
    // March: 54,000.00 x 27.5 % - 12 x 692.78; May: the annual deduction
    // spread over the months: - 12 x 8,687.45 / 12; 3,000.00 a month in May
    // is the 15 % band: 5,400.00 - 3,523.01; seven months cut to cents;
    // 1,500.00 a month in January: 1,350.00 - 12 x 112.43.
    const Case cases[] = {{60000, 6000, 0, 12, day(2011, 3, 15), 6536.64},
                          {60000, 6000, 0, 12, day(2011, 5, 2), 6162.55},
                          {36000, 0, 0, 12, day(2011, 5, 2), 1876.99},
                          {21000, 0, 0, 7, day(2011, 6, 30), 1094.91},
                          {20000, 1000, 1000, 12, day(2011, 1, 10), 0.84},
                          {17000, 1000, 1000, 12, day(2011, 1, 10), 0.0}};
    for (const Case& c : cases) {
        tables::ws().close_all();
        tb::Table& t = work(22, {{{"I1_4", c.income}, {"I1_6", c.social}, {"I1_12", c.alimony},
                                  {"I1_21", c.months}, {"TIPOCR", "N"}, {"I1_20", 1.0}}});
        EXPECT_TRUE(CALC_RAA(0, 1, c.received));
        EXPECT_NEAR(t.get("I1_20").as_number(), c.tax, 0.001) << c.income << " in month " << c.received.month();
    }
}

TEST_F(GridChecks, RraRefusesMissingMonthsAndDatesAndClearsTheTaxForTheAdjustment) {
    tax_tables();
    struct Case {
        const char* answer;
        double months;
        int check;
        rt::Date received;
        bool accepted;
        const char* message;
    };
    const Case cases[] = {{"N", 0, 0, {}, true, nullptr},
                          {"N", 0, 1, day(2011, 3, 1), false, "É necessário informar a quantidade de meses"},
                          {"N", 12, 0, {}, false, "É necessário informar a data do recebimento"},
                          {"N", 12, 0, day(2010, 12, 1), false, "O ano do recebimento deve ser 2011"},
                          {"S", 12, 1, {}, true, nullptr}};
    for (const Case& c : cases) {
        tables::ws().close_all();
        tb::Table& t = work(22, {{{"I1_4", 50000.0}, {"I1_21", c.months}, {"TIPOCR", c.answer}, {"I1_20", 9.0}}});
        if (c.message) keys({rt::key::ENTER});
        EXPECT_EQ(CALC_RAA(0, c.check, c.received), c.accepted) << c.answer << " " << c.months;
        if (c.message) {
            EXPECT_TRUE(showed(c.message)) << c.message;
        }
        if (std::string(c.answer) == "S") {
            EXPECT_EQ(t.get("I1_20").as_number(), 0);
        }
    }
    keys({rt::key::ENTER});
    EXPECT_FALSE(VERAA(Value("X"), 0));
    EXPECT_TRUE(showed("Informe com S (sim) se deseja lançar"));
}

TEST_F(GridChecks, SavingsRowsAreCarriedIntoTheDeclarationLines) {
    work(34, {{{"DESCRICAO", "BANCO A"}, {"POUPANCA", 100.0}, {"OUTNT", 50.0}},
              {{"DESCRICAO", "FUNDO B"}, {"OUTTR", 20.0}},
              {{"DESCRICAO", "CDB C"}, {"OUTNT", 5.0}, {"OUTDP", 7.0}},
              {{"DESCRICAO", "PREV D"}, {"OUTDP", 3.0}, {"APLICACAO", 40.0}, {"PREJU", 2.0}}});
    set("I3_08", Value(999.0));
    EXPECT_TRUE(FCALPOUPA(1));
    const std::pair<const char*, double> lines[] = {{"I3_08", 100}, {"I4_04", 40}, {"PREJVEN1", 2},
                                                     {"I3_12", 55},  {"I4_05", 20}, {"I4_09", 10}};
    for (const auto& [line, value] : lines) EXPECT_DOUBLE_EQ(num(line), value) << line;
    EXPECT_EQ(common::Global{"I3_12D"}.text(), rt::PADR("BANCO A,CDB C", 60));
    EXPECT_EQ(common::Global{"I4_05D"}.text(), rt::PADR("FUNDO B", 60));
    EXPECT_EQ(common::Global{"I4_09D"}.text(), rt::PADR("PREV D", 60));
}

TEST_F(GridChecks, SavingsAsksBeforeClearingATypedLine) {
    struct Case {
        int mode;
        int answer;   // key for the question; 0: none asked
        bool result;
        double savings_after;
    };
    const Case cases[] = {{0, 'N', false, 500}, {0, 'S', true, 0}, {1, 0, true, 0}};
    for (const Case& c : cases) {
        tables::ws().close_all();
        term->snapshots.clear();
        work(34, {{{"DESCRICAO", "FUNDO"}, {"APLICACAO", 10.0}, {"OUTTR", 4.0}}});
        set("I3_08", Value(500.0));
        set("I4_04", Value(77.0));
        if (c.answer) keys({c.answer});
        EXPECT_EQ(FCALPOUPA(c.mode), c.result) << "mode " << c.mode;
        EXPECT_EQ(num("I3_08"), c.savings_after);
        EXPECT_EQ(num("I4_04"), c.result ? 10 : 77);
        EXPECT_EQ(showed("Já existe valor lançado na Poupanca! Zera o valor?"), c.answer != 0);
    }
}

TEST_F(GridChecks, PaymentDependantNumbers) {
    work(23, {{{"NRODEPEN", 1.0}, {"NOMEDEPEN", "ANA"}, {"CODIDEPEN", 21.0}},
              {{"NRODEPEN", 2.0}, {"NOMEDEPEN", "BRUNO"}, {"CODIDEPEN", 98.0}, {"CPFDEPEN", "11144477735"}},
              {{"NRODEPEN", 3.0}, {"NOMEDEPEN", "CARLA"}, {"CODIDEPEN", 99.0}}});
    tb::Table& payments = work(26, {{{"I6_3", 0.0}}});
    struct Case {
        int code, number, phase, dependants, alimony;
        bool accepted;
        const char* message;
    };
    const Case cases[] = {
        {10, 1, 2, 0, 0, false, nullptr},
        {39, 1, 2, 2, 1, false, nullptr},
        {30, 2, 2, 2, 1, false, "Não existe alimentando no Brasil com esse número."},
        {34, 3, 2, 2, 1, false, "ou o código 34 não está correto!"},
        {10, 7, 2, 2, 1, false, "Não existe dependente ou alimentando com esse Nro."},
        {10, 7, 1, 2, 1, true, nullptr},
        {10, 0, 2, 2, 1, true, "ou deixe com 0 se a despesa foi do titular"},
        {30, 0, 1, 2, 1, true, "Obrigatório informar o Nro do Alimentando"},
        {10, 3, 2, 2, 1, true, nullptr},
        {31, 2, 2, 0, 1, true, nullptr}};
    for (const Case& c : cases) {
        payments.put("I6_3", Value(c.code));
        payments.commit();
        set("QTD_DEP", Value(c.dependants));
        set("DESPALIM", Value(c.alimony));
        term->snapshots.clear();
        if (c.message) keys({rt::key::ENTER});
        EXPECT_EQ(CONF_DEP(c.number, c.phase), c.accepted) << "code " << c.code << " number " << c.number;
        if (c.message) {
            EXPECT_TRUE(showed(c.message)) << c.message;
        } else {
            EXPECT_TRUE(term->snapshots.empty()) << "code " << c.code << " number " << c.number;
        }
    }
    EXPECT_EQ(rt::TRIM(payments.get("I6_1").as_string()), "BRUNO");
    EXPECT_EQ(rt::TRIM(payments.get("I6_2").as_string()), "111.444.777-35");
}

TEST_F(GridChecks, DependantAgeWarnings) {
    tb::Table& t = work(23, {{{"CODIDEPEN", 21.0}}});
    const char* const over = "ATENÇÃO! Ou o código está errado ou essa pessoa ";
    const char* const student = "universitário ou escola técnica deve ser  21";
    const char* const too_old = "ATENÇÃO! Utrapassou a idade de ser dependente.";
    struct Case {
        int code;
        rt::Date birth;
        const char* warning;
    };
    const Case cases[] = {{21, day(1988, 5, 1), over},   {21, day(1989, 5, 1), nullptr}, {24, day(1970, 1, 1), over},
                          {22, day(1991, 2, 3), student}, {22, day(1985, 2, 3), too_old}, {25, day(1986, 2, 3), nullptr},
                          {41, day(1960, 1, 1), nullptr}, {21, {}, nullptr}};
    for (const Case& c : cases) {
        t.put("CODIDEPEN", Value(c.code));
        t.commit();
        term->snapshots.clear();
        if (c.warning) keys({rt::key::ENTER});
        EXPECT_TRUE(TES_MES(c.birth));
        if (c.warning) {
            EXPECT_TRUE(showed(c.warning)) << c.code << " " << c.birth.year();
        } else {
            EXPECT_TRUE(term->snapshots.empty()) << c.code << " " << c.birth.year();
        }
    }
}

// Two people of the dependants' list never share a CPF: their income rows
// are found, and deleted, by it. Heirs hold theirs elsewhere.
TEST_F(GridChecks, ADependantsCpfHeldByAnotherPersonIsRefused) {
    tb::Table& t = work(23, {{{"CODIDEPEN", 21.0}, {"CPFDEPEN", "34567891228"}},
                             {{"CODIDEPEN", 22.0}, {"CPFDEPEN", "11144477735"}},
                             {{"CODIDEPEN", 99.0}, {"CPFDEPEN", "52998224725"}},
                             {{"CODIDEPEN", 100.0}, {"CPFDEPEN", "12345678909"}}});
    set("OPCIR_1", Value(41));
    const GridColumn cpf = grid_description(3)->columns.at(4);
    const struct { std::uint32_t row; const char* typed; bool accepted; } cases[] = {
        {2, "11144477735", true}, {2, "34567891228", false}, {2, "52998224725", false},
        {2, "12345678909", true}, {2, "           ", true},  {5, "34567891228", false}};   // 5: the empty line
    for (const auto& c : cases) {
        t.go_to(c.row);
        term->snapshots.clear();
        if (!c.accepted) keys({rt::key::ENTER});
        Value typed(c.typed);
        EXPECT_EQ(cpf.hook(typed), c.accepted) << c.row << " " << c.typed;
        EXPECT_EQ(showed("CPF digitado já consta na relação dos dependentes"), !c.accepted) << c.typed;
        EXPECT_EQ(t.eof() ? 5u : t.recno(), c.row) << "the grid's row is kept";
    }
}

TEST_F(GridChecks, CodeLookUps) {
    set("OPCIR_1", Value(42));
    keys({rt::key::ENTER});
    EXPECT_EQ(TES_COD(Value(5), 3).as_number(), 99);
    EXPECT_TRUE(showed("Informe com 99 se alimentando no Brasil "));
    EXPECT_EQ(TES_COD(Value(98), 3).as_number(), 98);
    set("OPCIR_1", Value(41));
    term->snapshots.clear();
    // The description stays under the cell without waiting for a key.
    keys({rt::key::ENTER});
    EXPECT_EQ(TES_COD(Value(1), 22).as_number(), 1);
    std::string screen;
    for (int r = 0; r < 25; ++r) screen += term->text(r);
    EXPECT_NE(screen.find("Prédio residencial"), std::string::npos);
    EXPECT_EQ(term->pending(), 1u);
    term->read_key(0);
    keys({rt::key::ESC});   // the pick list of an unknown code, left unchosen
    EXPECT_FALSE(TES_COD(Value(77), 22).as_bool());
    EXPECT_EQ(tables::ws().table(46), nullptr);
    set("DESPALIM", Value(0));
    keys({rt::key::ENTER});
    EXPECT_EQ(TES_COD(Value(31), 4).as_number(), 0);
    EXPECT_TRUE(showed("Para lançar a pensão precisa antes cadastrar o alimentando"));
    keys({rt::key::ENTER, rt::key::ENTER});
    EXPECT_EQ(TES_PAIS(Value("X"), 1).as_string(), " ");
    EXPECT_EQ(TES_PAIS(Value("S"), 1).as_string(), "S");
    EXPECT_EQ(TES_PAIS(Value(" "), 1).as_string(), " ");
}

TEST_F(GridChecks, ChecksThatRefuseAfterTheirMessage) {
    keys({rt::key::ENTER, rt::key::ENTER, rt::key::ENTER});
    EXPECT_FALSE(TROCA_NAO(Value("X")));
    EXPECT_TRUE(showed("Digite (S)im ou (N)ão "));
    EXPECT_TRUE(TROCA_NAO(Value("N")));
    EXPECT_TRUE(VAL_PART(100));
    EXPECT_FALSE(VAL_PART(100.5));
    EXPECT_TRUE(showed("Confira a participação digitada. Essa não pode!"));
    EXPECT_FALSE(ANEXHER(Value("X"), 1, 2));
    EXPECT_TRUE(ANEXHER(Value("N"), 1, 2));
}

TEST_F(GridChecks, ForeignRuralResultInDollarsAndTheTwentyPercentOption) {
    set("NVALDOLAR", Value(1.8758));
    tb::Table& t = work(36, {{{"RECEXT", 10000.0}, {"DESEXT", 4000.0}}, {{"RESUS", 50.0}}});
    EXPECT_EQ(CALUCRO(2, 10), 2);
    EXPECT_EQ(t.get("VALUSE").as_number(), 2);
    EXPECT_EQ(t.get("RESUS").as_number(), 3000);
    EXPECT_EQ(t.get("OPC20US").as_number(), 1000);
    EXPECT_EQ(t.get("OPC20RS").as_number(), 1875.80);
    EXPECT_NE(term->text(18).find("3.050,00"), std::string::npos);
    CALUCRO(0, 10);
    EXPECT_EQ(t.get("RESUS").as_number(), 0);
}

TEST_F(GridChecks, UpkeepListFromTheAssets) {
    ASSERT_TRUE(tables::ABERTURA(46));
    tb::Table& codes = tables::ws().current();
    ASSERT_TRUE(codes.seek(Value(11)));
    ASSERT_TRUE(codes.rlock());
    codes.put("DESPBEM", Value("C"));
    codes.commit();
    tables::ws().close(46);
    tb::Table& assets = work(24, {{{"I7_1", 1.0}, {"I7_2", "APARTAMENTO NA RUA DAS FLORES 100"}, {"I7_5", 11.0},
                                   {"I7_4", 120000.0}},
                                  {{"I7_1", 2.0}, {"I7_2", "TERRENO"}, {"I7_5", 1.0}},
                                  {{"I7_1", 0.0}, {"I7_5", 11.0}, {"I7_4", 60000.0}},
                                  {{"I7_1", 3.0}, {"I7_2", "CARRO"}, {"I7_5", 21.0}, {"I7_4", 30000.0}}});
    tb::Table& upkeep = work(30, {{{"VALODESP", 5.0}}});
    assets.go_to(4);
    BUSCA_DESP();
    EXPECT_EQ(assets.recno(), 4u);
    std::vector<std::pair<std::string, double>> rows;
    for (upkeep.go_top(); !upkeep.eof(); upkeep.skip())
        rows.emplace_back(rt::TRIM(upkeep.get("DESCRITEM").as_string()), upkeep.get("VALODESP").as_number());
    const std::vector<std::pair<std::string, double>> expected = {{"APARTAMENTO NA RUA DAS FL", 1000}, {"TERRENO", 500}};
    EXPECT_EQ(rows, expected);
}

TEST_F(GridChecks, InstalmentRowAndTotals) {
    struct Case {
        int kind, participation;
        const char* exempt;
        const char* taxable;
        const char* tax;
    };
    const Case cases[] = {{1, 0, "N", "500,00", "75,00"}, {3, 3, "N", "500,00", "100,00"}, {1, 0, "S", "", ""}};
    for (const Case& c : cases) {
        Value m = Value::array();
        for (int r = 0; r < 13; ++r) {
            Value row = Value::array();
            for (int k = 0; k < 6; ++k) row.as_array()->push_back(Value(std::string(14, ' ')));
            m.as_array()->push_back(row);
        }
        (*m.at(2).as_array())[3] = Value("      1.000,00");
        (*m.at(5).as_array())[3] = Value("        200,00");
        set("REC_GANHO", m);
        set("PER_TRI", Value(50.0));
        set("TIPO_BEM", Value(c.kind));
        set("TIPOPART", Value(c.participation));
        set("PEQ_VALOR", Value(c.exempt));
        FX_GANHO(2);
        EXPECT_EQ(rt::ALLTRIM(m.at(2).at(1).as_string()), c.taxable);
        EXPECT_EQ(rt::ALLTRIM(m.at(2).at(2).as_string()), c.tax);
        EXPECT_EQ(rt::ALLTRIM(m.at(13).at(4).as_string()), "1.200,00");
    }
}

TEST_F(GridChecks, HeirsSharesFollowTheRegisteredHeirsAndKeepTheirPercentages) {
    work(23, {{{"NOMEDEPEN", "ANA"}, {"CODIDEPEN", 100.0}, {"CPFHERDE", "111.444.777-35"}},
              {{"NOMEDEPEN", "DEP"}, {"CODIDEPEN", 21.0}},
              {{"NOMEDEPEN", "BIA"}, {"CODIDEPEN", 100.0}, {"CPFHERDE", "529.982.247-25"}}});
    tb::Table& shares = work(40, {{{"REFEREN", 7.0}, {"CPFHERDE", "111.444.777-35"}, {"PERCENT", 60.0}},
                                  {{"REFEREN", 7.0}, {"CPFHERDE", "000.000.001-91"}, {"PERCENT", 40.0}},
                                  {{"REFEREN", 8.0}, {"CPFHERDE", "111.444.777-35"}, {"PERCENT", 100.0}}});
    work(24, {{{"I7_6", 7.0}}});
    EXPECT_TRUE(ANEXHER(Value("S"), 7, 2));
    std::vector<std::pair<std::string, double>> rows;
    for (shares.go_top(); !shares.eof(); shares.skip())
        rows.emplace_back(rt::TRIM(shares.get("CPFHERDE").as_string()) + "@" +
                              std::to_string(static_cast<int>(shares.get("REFEREN").as_number())),
                          shares.get("PERCENT").as_number());
    const std::vector<std::pair<std::string, double>> expected = {
        {"111.444.777-35@7", 60}, {"111.444.777-35@8", 100}, {"529.982.247-25@7", 0}};
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(tables::ws().selected(), 24);
}

TEST_F(GridChecks, RuralCodesAreChosenFromTheirBarsAndSituationsAskForTheCashBook) {
    tb::Table& t = work(36, {{}});
    keys({'9', '4', '8', '3'});   // keys off the bar are ignored
    EXPECT_EQ(VAL_COD(0, 3), 4);
    EXPECT_EQ(VAL_COD(5, 1), 13);
    EXPECT_EQ(VAL_COD(19, 1), 19);
    EXPECT_EQ(t.get("I2R_05").as_number(), 4);
    EXPECT_EQ(t.get("I2R_07").as_number(), 19);
    set("SO_TOTAL", Value(false));
    set("TIPOCR", Value(" "));
    keys({rt::key::ENTER, 'N', 'S'});
    EXPECT_EQ(TES_SIT(7, 35), 0);
    EXPECT_TRUE(showed("4 - Aquisição a prazo"));
    EXPECT_EQ(TES_SIT(2, 35), 2);
    EXPECT_EQ(common::Global{"TIPOCR"}.text(), " ");
    EXPECT_EQ(TES_SIT(3, 35), 3);
    EXPECT_TRUE(showed("Lança essa Alienação a prazo no livro caixa?"));
    EXPECT_EQ(common::Global{"TIPOCR"}.text(), "C");
}

TEST_F(GridChecks, PropertyFormNumbersTheAssetsWithoutANumber) {
    set("DECFINAL", Value("S"));
    tb::Table& t = work(24, {{{"I7_5", 21.0}}, {{"I7_6", 5.0}}, {{"I7_5", 11.0}}});
    work(23, {});
    keys({'X', rt::key::ENTER, rt::key::ENTER, rt::key::ESC});   // a wrong answer, then leave
    VEJA_IMOV();
    EXPECT_TRUE(showed("o percentual de cada herdeiro"));
    std::vector<double> numbers;
    for (t.go_top(); !t.eof(); t.skip()) numbers.push_back(t.get("I7_6").as_number());
    EXPECT_EQ(numbers, (std::vector<double>{6, 5, 7}));
}

}  // namespace
}  // namespace qv::declaration::grids
