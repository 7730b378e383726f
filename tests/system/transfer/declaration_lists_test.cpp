#include "system/transfer/transfer_fixture.hpp"

#include <regex>

#include "system/transfer/structure_check.hpp"
#include "transfer/asset_groups.hpp"

namespace qv::transfer::testing {
namespace {

class DeclarationListsTest : public TransferTest {
protected:
    void people() {
        add_row(23, {{"NRODEPEN", 1}, {"NOMEDEPEN", "Maria Silva"}, {"CODIDEPEN", 21},
                     {"DATADEPEN", rt::Date::from_ymd(2005, 2, 1)}, {"CPFDEPEN", "11144477735"}, {"SAIUJUNT", "N"}});
        add_row(23, {{"NRODEPEN", 2}, {"NOMEDEPEN", "Pedro Souza"}, {"CODIDEPEN", 97},
                     {"DATADEPEN", rt::Date::from_ymd(2000, 10, 10)}, {"CPFDEPEN", "22233344405"}, {"SAIUJUNT", "S"}});
        add_row(23, {{"NRODEPEN", 3}, {"NOMEDEPEN", "Ana Lima"}, {"CODIDEPEN", 98}, {"CPFDEPEN", "33344455566"}});
        add_row(23, {{"NRODEPEN", 4}, {"NOMEDEPEN", "Herdeiro Um"}, {"CODIDEPEN", 100}, {"CPFHERDE", "444.555.666-77"}});
        add_row(23, {{"NRODEPEN", 5}, {"CODIDEPEN", 21}, {"CPFDEPEN", "55566677788"}});
    }
    static void payment(const char* name, const char* number, int code, double paid, double not_deductible = 0,
                        int person = 0, const char* nit = "") {
        add_row(26, {{"I6_1", name}, {"I6_2", number}, {"I6_3", code}, {"I6_4", paid}, {"I6_5", not_deductible},
                     {"I6_6", person}, {"I6_7", nit}});
    }
    void payments() {
        payment("Escola A.B.C.", "11.222.333/0001-81", 1, 3000, 0, 1);
        payment("Clinica", "12345678909", 10, 500, 100);
        payment("Ana Lima", "33344455566", 30, 1200, 0, 3);
        payment("Maria Empregada", "123.45678.90-1", 50, 800, 50, 0, "98765432100");
        payment("Locadora", "11222333000181", 95, 2400, 0, 9);
        payment("Partido X", "00111222000133", 98, 100);
        payment("", "", 1, 999);
        payment("Sem codigo", "", 0, 50);
    }
    void assets() {
        add_row(24, {{"I7_1", 1}, {"I7_2", "Casa na praia"}, {"I7_5", 11}, {"I7_6", 1}, {"ENDEIMO", "Rua A"},
                     {"NUMIMO", "5"}, {"CEPIMO", "88000000"}, {"MUNICIMO", "Florianópolis"_cp}, {"UFIMO", "SC"},
                     {"CODMIMO", "8105"}, {"REGISTRO", "S"}, {"UNIDADE", "N"}, {"MATRICU", "123"}, {"LIVRORG", "2"},
                     {"CARTORIO", "1º Oficio"_cp}, {"AREAIMO", 250.5}, {"I7_7", "N"}});
        add_row(24, {{"I7_2", "continuação"_cp}});
        add_row(24, {{"I7_2", "valores"}, {"I7_3", 100000.0}, {"I7_4", 120000.0}});
        add_row(24, {{"I7_1", 2}, {"I7_2", "Conta no exterior"}, {"I7_3", 5000.0}, {"I7_4", 6000.0}, {"I7_7", "S"},
                     {"I7_8", "249"}});
        set_all({{"I13_39", 105000.0}, {"I13_40", 126000.0}});
    }
    void estate() {
        set_all({{"DECFINAL", "S"}, {"ANOOBITO", 2011}, {"CPFCONJU", "98765432100"}, {"I13_1C", 1000.0},
                 {"CPFINVENT", "11122233396"}, {"NOMINVENT", "Inventariante José"_cp}, {"ENDINVENT", "Rua B, 20"},
                 {"COMARCA", "Brasília"_cp}, {"VARACIVIL", "3a"}, {"NROPROCES", "0001234-56.2011"}, {"DECJUDI", "S"},
                 {"UFPROCES", "DF"}, {"DATAPARTI", rt::Date::from_ymd(2011, 6, 5)}, {"DATADECIS", rt::Date()},
                 {"DATASAIDA", rt::Date()}, {"CNPJCARTO", "12345678000195"},
                 {"DATALAVRA", rt::Date::from_ymd(2011, 7, 7)}, {"FOLHCARTO", 12}, {"LIVRCARTO", 3},
                 {"MUNICARTO", "Brasília"_cp}, {"NOMECARTO", "Cartório do 1º Ofício"_cp}});
        add_row(24, {{"I7_1", 1}, {"I7_2", "Apartamento"}, {"I7_3", 80000.0}, {"I7_4", 80000.0}, {"I7_5", 11},
                     {"I7_6", 7}, {"UNIDADE", "S"}});
        set_all({{"I13_39", 80000.0}, {"I13_40", 80000.0}});
        add_row(40, {{"REFEREN", 7}, {"CPFHERDE", "444.555.666-77"}, {"NOMEDEPEN", "Herdeiro Um"}, {"PERCENT", 60.0}});
        add_row(40, {{"REFEREN", 8}, {"CPFHERDE", "999.999.999-99"}, {"NOMEDEPEN", "Outro"}, {"PERCENT", 100.0}});
        add_row(40, {{"REFEREN", 7}, {"CPFHERDE", "555.666.777-88"}, {"NOMEDEPEN", "Herdeira Dois"}, {"PERCENT", 40.0}});
    }
    // The numbers of an attribute over every element that has it.
    static double sum_of(const std::vector<Tag>& tags, std::string_view element, std::string_view attribute) {
        double total = 0;
        for (const Tag& t : tags)
            if (t.name == element && t.value(attribute) != "<missing>")
                total += std::stod(std::regex_replace(std::regex_replace(t.value(attribute), std::regex("\\."), ""),
                                                      std::regex(","), "."));
        return total;
    }
};

TEST_F(DeclarationListsTest, PeoplePaymentsAndAssetsAreWrittenByteForByte) {
    simple_declaration();
    people();
    payments();
    assets();
    keys({rt::key::ENTER});   // the notice on the payment without a code
    const std::string doc = document();
    for (const std::string& fragment : golden_fragments("people_payments_assets.xml"))
        EXPECT_NE(doc.find(fragment), std::string::npos) << fragment;
    EXPECT_TRUE(term->showed("Pagamentos Efetuados!"));
    EXPECT_TRUE(well_formed(doc));
    EXPECT_EQ(structure_problems(doc, false), std::vector<std::string>{});
    EXPECT_NE(doc.find("<doacoes tipoItens=\"serpro.ppgd.irpf.eleicoes.Doacao\" totalDoacoes=\"100,00\"><item "
                       "cnpj=\"00111222000133\" nome=\"Partido X\" valor=\"100,00\"/></doacoes>"),
              std::string::npos);
    EXPECT_NE(doc.find("totalDoacoesCampanhasEleitorais=\"100,00\""), std::string::npos);
}

TEST_F(DeclarationListsTest, EstateIsWrittenByteForByte) {
    simple_declaration();
    estate();
    const std::string doc = document();
    for (const std::string& fragment : golden_fragments("estate.xml"))
        EXPECT_NE(doc.find(fragment), std::string::npos) << fragment;
    EXPECT_TRUE(well_formed(doc));
    EXPECT_EQ(structure_problems(doc, false), std::vector<std::string>{});
}

TEST_F(DeclarationListsTest, HeaderTotalsAreTheSumsOfTheirItems) {
    simple_declaration();
    people();
    add_row(32, {{"CPFdepen", "11144477735"}, {"I2_101", 300.0}, {"I2_407", 30.0}, {"I2_512", 20.0}, {"I2_612", 25.0}});
    add_row(32, {{"CPFdepen", "22233344405"}, {"I2_206", 1000.0}});
    add_row(22, {{"I1_1", "P"}, {"I1_4", 200.0}, {"I1_404", 200.0}});
    const std::vector<Tag> tags = start_tags(document());
    const std::vector<std::pair<const char*, const char*>> month_columns = {
        {"totalDarfPago", "darfPago"}, {"totalDependentes", "dependentes"}, {"totalExterior", "exterior"},
        {"totalPessoaFisica", "pessoaFisica"}, {"totalPrevidencia", "previdencia"}};
    for (const auto& [total, column] : month_columns) {
        double months = 0, header = 0;
        for (const Tag& t : tags) {
            if (t.depth == 1 && t.name == "rendPFTitular") header = sum_of({t}, t.name, total);
            if (t.depth == 2 && t.value("mes") != "<missing>") months += sum_of({t}, t.name, column);
        }
        EXPECT_DOUBLE_EQ(header, months) << total;
    }
    // Two dependants proper (one without a name), 150,69 each in March, the
    // one month with income.
    EXPECT_NE(document().find("<marco carneLeao=\"150,00\" darfPago=\"150,00\" dependentes=\"301,38\""), std::string::npos);
    EXPECT_NE(document().find("<abril carneLeao=\"0,00\" darfPago=\"0,00\" dependentes=\"0,00\""), std::string::npos);
    EXPECT_DOUBLE_EQ(sum_of(tags, "rendPFDependente", "totalPessoaFisica"), 300 + 0);
    EXPECT_DOUBLE_EQ(sum_of(tags, "rendimentos", "totalExterior"), 1000);
    EXPECT_DOUBLE_EQ(sum_of(tags, "rendimentos", "totalDarfPago"), 25);
    EXPECT_DOUBLE_EQ(sum_of(tags, "rendPFDependente", "totalPrevidencia"), 30);
}

TEST_F(DeclarationListsTest, TaxComputationFollowsQuotasDebitAndTheDay) {
    struct Case {
        const char* debit;
        int quotas;
        rt::Date day;
        const char* bank_part;
    };
    const Case cases[] = {
        {"S", 3, rt::Date::from_ymd(2012, 3, 31),
         "debitoAutomatico=\"autorizado\" banco=\"001\" agencia=\"1234\" dvAgencia=\"5\" contaCredito=\"98 765 x\" "
         "dvContaCredito=\"12\" saldoImpostoPagar=\"900,00\" indicadorPrimeiraQuota=\"1\" numQuotas=\"3\""},
        {"S", 3, rt::Date::from_ymd(2012, 4, 1), "indicadorPrimeiraQuota=\"0\" numQuotas=\"3\""},
        {"N", 3, rt::Date::from_ymd(2012, 3, 1),
         "debitoAutomatico=\"N\" banco=\"\" agencia=\"\" dvAgencia=\"\" contaCredito=\"\" dvContaCredito=\"\" "
         "saldoImpostoPagar=\"900,00\" indicadorPrimeiraQuota=\"0\""},
        {"X", 1, rt::Date::from_ymd(2012, 3, 1), "impostoRestituir=\"0,00\" saldoImpostoPagar=\"900,00\" indicadorPrimeiraQuota=\"0\" numQuotas=\"1\""},
    };
    simple_declaration();
    set_all({{"I13_38", 0.0}, {"I13_36", 900.0}, {"CONTACO", "98.765/x     12"}});
    for (const Case& c : cases) {
        set_all({{"DEBITAUT", c.debit}, {"QTD_QUOTA", c.quotas}});
        rt::set_clock(c.day, 0);
        const std::string doc = document();
        EXPECT_NE(doc.find(c.bank_part), std::string::npos) << c.debit << c.quotas;
        EXPECT_NE(doc.find("resultadoDeclaracao=\"IAP\""), std::string::npos);
    }
}

TEST_F(DeclarationListsTest, SimplifiedDiscountStopsAtItsCap) {
    simple_declaration();
    for (const auto& [income, discount] : {std::pair{100000.0, "13.916,36"}, std::pair{50000.0, "10.000,00"}}) {
        set("I13_08", income);
        EXPECT_NE(document().find(std::string("descontoSimplificado=\"") + discount + "\""), std::string::npos);
    }
}

TEST(AssetGroups, RowsTakeTheirGroupsCode) {
    struct Case {
        std::vector<GroupRow> rows;
        std::vector<int> codes;
    };
    const Case cases[] = {
        // Spread over three rows, the values on the last: the first row's code.
        {{{1, 1, 11, false}, {2, 0, 0, false}, {3, 0, 0, true}}, {11, 11, 11}},
        // A row with a value and no code stands alone under the default.
        {{{1, 1, 0, true}, {2, 2, 12, true}}, {99, 12}},
        // No code found before the next item: the last row's code.
        {{{1, 1, 0, false}, {2, 0, 21, false}, {3, 2, 0, true}}, {21, 21, 99}},
        // Ending on a row with a value keeps the empty code.
        {{{1, 1, 0, false}, {2, 0, 0, true}, {3, 0, 31, true}}, {0, 0, 31}},
        // No code anywhere up to the end.
        {{{1, 1, 0, false}, {2, 0, 0, false}}, {99, 99}},
    };
    for (const Case& c : cases) {
        std::vector<int> codes;
        for (const GroupedRow& r : group_rows(c.rows, 99)) codes.push_back(r.code);
        EXPECT_EQ(codes, c.codes);
    }
}

}  // namespace
}  // namespace qv::transfer::testing

namespace qv::transfer::testing {
namespace {

using DeclarationIncomeTest = TransferTest;

TEST_F(DeclarationIncomeTest, DependantsSuspendedCumulativeAndExemptIncomeAreWrittenByteForByte) {
    simple_declaration();
    set_all({{"I3_05", 700.0}, {"I3_16", 300.0}});
    add_row(23, {{"NRODEPEN", 1}, {"NOMEDEPEN", "Ana Lima"}, {"CODIDEPEN", 98}, {"CPFDEPEN", "33344455566"}});
    tables::ws().table(22)->go_top();
    tables::ws().table(22)->put("I1_15", rt::Value(700.0));
    add_row(22, {{"I1_1", "D"}, {"I1_2", "Loja Dep"}, {"I1_3", "22333444000155"}, {"I1_4", 10000.0},
                 {"I1_5", 500.0}, {"I1_6", 1100.0}, {"I1_7", 800.0}, {"I1_8", "11144477735"}, {"I1_9", 300.0},
                 {"I1_10", 40.0}, {"I1_13", 25.0}, {"I1_19", 2000.0}, {"I1_20", 150.0}});
    add_row(22, {{"I1_1", "A"}, {"I1_2", "INSS"}, {"I1_3", "29979036000140"}, {"I1_4", 12000.0}, {"I1_5", 600.0},
                 {"I1_6", 100.0}, {"I1_11", "S"}, {"TIPOCR", "S"}, {"DT_LC", rt::Date::from_ymd(2011, 7, 20)},
                 {"I1_12", 1000.0}, {"I1_21", 14.0}, {"I1_22", "33344455566"}});
    add_row(32, {{"CPFdepen", "11144477735"}});
    const std::string doc = document();
    for (const std::string& fragment : golden_fragments("income.xml"))
        EXPECT_NE(doc.find(fragment), std::string::npos) << fragment;
    EXPECT_TRUE(well_formed(doc));
    EXPECT_EQ(structure_problems(doc, false), std::vector<std::string>{});
    // The walk over the sources leaves the dependants' totals behind.
    EXPECT_EQ(declaration::amount("NISENDEP"), 300.0);
    EXPECT_EQ(declaration::amount("NTRIFDEP"), 40.0);
    EXPECT_EQ(declaration::amount("NMENDEP"), 25.0);
    EXPECT_EQ(declaration::amount("I4_07"), 800.0);
}

}  // namespace
}  // namespace qv::transfer::testing
