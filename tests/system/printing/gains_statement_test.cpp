// The capital-gains and variable-income statements: the figures of a
// real-estate gain worked by hand, and the statements printed into a file.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "printing/gains_statement.hpp"
#include "printing/print_run.hpp"
#include "printing/print_target.hpp"
#include "printing/report_routines.hpp"
#include "runtime/os/print_device.hpp"
#include "system/declaration/declaration_io_fixture.hpp"

namespace qv::printing {
namespace {

using declaration::testing::DeclarationIoTest;
using declaration::testing::kCpfA;

TEST(RealEstateGain, FiguresWorkedByHand) {
    struct Case {
        RealEstateInput in;
        double cost, result1, result2, result3, result4, fr1, fr2, tax, exempt;
    } cases[] = {
        // An exchange with cash payment: p = 100.000 / 400.000 = 0,25.
        {{100000, 300000, 0, 0, 0, 0, 0, true, false}, 75000, 25000, 25000, 25000, 25000, 0, 0, 3750, 0},
        // Reduction 30.000, FR1 27.000 (10 % of 270.000), FR2 24.300 (10 % of 243.000).
        {{500000, 200000, 30000, 27000, 24300, 0, 0, false, false}, 200000, 300000, 270000, 243000, 218700, 10, 10,
         32805, 81300},
        // Half reinvested in a home: 218.700 / 2 = 109.350 exempt more.
        {{500000, 200000, 30000, 27000, 24300, 50, 0, false, false}, 200000, 300000, 270000, 243000, 218700, 10, 10,
         16402.50, 190650},
        // The small-value exemption: results 2 and 3 are 0, no tax, the stored exempt amount.
        {{30000, 10000, 0, 0, 0, 0, 20000, false, true}, 10000, 20000, 0, 0, 0, 0, 0, 0, 20000},
        // A third of 100,00 cut to cents, never rounded: 15 % of 33,33 is 4,99.
        {{133.33, 100, 0, 0, 0, 0, 0, false, false}, 100, 33.33, 33.33, 33.33, 33.33, 0, 0, 4.99, 0},
    };
    for (const auto& c : cases) {
        const RealEstateFigures f = real_estate_figures(c.in);
        EXPECT_NEAR(f.cost, c.cost, 0.005) << c.in.sale;
        EXPECT_NEAR(f.result1, c.result1, 0.005) << c.in.sale;
        EXPECT_NEAR(f.result2, c.result2, 0.005) << c.in.sale;
        EXPECT_NEAR(f.result3, c.result3, 0.005) << c.in.sale;
        EXPECT_NEAR(f.result4, c.result4, 0.005) << c.in.sale;
        EXPECT_NEAR(f.fr1_percent, c.fr1, 1e-6) << c.in.sale;
        EXPECT_NEAR(f.fr2_percent, c.fr2, 1e-6) << c.in.sale;
        EXPECT_NEAR(f.tax, c.tax, 0.001) << c.in.sale;
        EXPECT_NEAR(f.exempt, c.exempt, 0.005) << c.in.sale;
    }
}

class GainsPrintout : public DeclarationIoTest {
protected:
    void SetUp() override {
        DeclarationIoTest::SetUp();
        register_report_routines();
        for (const auto& [name, value] : std::initializer_list<std::pair<const char*, rt::Value>>{
                 {"NOMEIMP", rt::Value("GENERICA")}, {"NROLPT", rt::Value(0)}, {"NROCOM", rt::Value(0)},
                 {"SAIDAPR", rt::Value("GANHOS")}, {"LOCIMPR", rt::Value("L")}, {"ARQ_IMP", rt::Value(" ")},
                 {"QUECON", rt::Value(3)}, {"QUEPAG", rt::Value(1)}, {"QUEMOD", rt::Value(1)},
                 {"NRO_VIAS", rt::Value(1)}, {"TEM_LASER", rt::Value(0)}, {"STRING0", rt::Value("")},
                 {"CAN_IMP", rt::Value(false)}})
            rt::variables().set(name, value);
        add_row(9, kCpfA, {{"NOMECONTR", rt::Value("Contribuinte A")}});
    }
    void TearDown() override {
        rt::os::printer().close();
        set_device(Device::Screen);
        DeclarationIoTest::TearDown();
    }
    std::string print(int queimp) {
        rt::variables().set("QUEIMP", rt::Value(queimp));
        choose(kCpfA);
        IMPRESSAO();
        rt::os::printer().close();
        std::ifstream in(work + "GANHOS.TXT", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void expect_in_order(const std::string& out, std::initializer_list<std::string> texts) {
        std::size_t at = 0;
        for (const auto& t : texts) {
            const std::size_t found = out.find(t, at);
            ASSERT_NE(found, std::string::npos) << "missing or out of order: " << t << "\n" << out;
            at = found + t.size();
        }
    }
};

TEST_F(GainsPrintout, AnExchangeAndASmallSaleOfRealEstate) {
    add_row(7, kCpfA, {{"BEM_NRO", rt::Value(1)}, {"TIPO_BEM", rt::Value(1)}, {"ESPC_BEM", rt::Value("Casa na praia")},
                       {"NATUOPER", rt::Value("permuta com torna ")}, {"VAL_ALI", rt::Value(100000.0)},
                       {"CUS_ATUAL", rt::Value(300000.0)}, {"VAL_TRIBU", rt::Value(25000.0)}, {"VEN_PRAZO", rt::Value("N")}});
    add_row(7, kCpfA, {{"BEM_NRO", rt::Value(2)}, {"TIPO_BEM", rt::Value(1)}, {"ESPC_BEM", rt::Value("Terreno")},
                       {"VAL_ALI", rt::Value(30000.0)}, {"CUS_ATUAL", rt::Value(10000.0)}, {"PEQ_VALOR", rt::Value("S")},
                       {"VAL_NAOTRI", rt::Value(20000.0)}});
    const std::string out = print(6);
    expect_in_order(out, {"Nome: Contribuinte A", "GANHOS DE CAPITAL", "DEMONSTRATIVO DA APURACAO DOS GANHOS DE CAPITAL N.01",
                          "BENS IMOVEIS", "DADOS DO IMOVEL", "Casa na praia", "PERGUNTAS",
                          "A alienacao foi a prazo/prestacao", "Nao", "IDENTIFICACAO DO ADQUIRENTE",
                          "CUSTO DE AQUISICAO", "Valor da alienacao", "100.000,00", "Custo de aquisicao", "75.000,00",
                          "Ganho de capital - Resultado 1", "25.000,00", "APURACAO DO GANHO DE CAPITAL",
                          "Ganho de Capital resultado 5", "25.000,00", "CALCULO DO IMPOSTO", "Imposto devido ", "15%",
                          "3.750,00", "\f", "N.02", "Terreno", "Ganho de capital - Resultado 2", "Ganho de capital - Resultado 3",
                          "Imposto devido ", "(Zero devido aos dados digitados)", "Rendimento isento e nao-tributavel",
                          "20.000,00", "\f"});
}

TEST_F(GainsPrintout, SharesSoldInTwoSalesAndInstalments) {
    add_row(7, kCpfA, {{"BEM_NRO", rt::Value(3)}, {"TIPO_BEM", rt::Value(3)}, {"TIPOPART", rt::Value(1)},
                       {"NOME_SOCIE", rt::Value("Fabrica SA")}, {"VAL_ALI", rt::Value(9000.0)},
                       {"CUS_ATUAL", rt::Value(3000.0)}, {"VAL_TRIBU", rt::Value(6000.0)},
                       {"VAL_IMPOSV", rt::Value(900.0)}, {"VAL_PARTE", rt::Value(100.0)}});
    for (double moved : {-100.0, -200.0})
        add_row(8, kCpfA, {{"BEM_NRO", rt::Value(3)}, {"TIPO_OPER", rt::Value(3)}, {"MOV_ACAO", rt::Value(moved)},
                           {"CM_PONDER", rt::Value(10.0)}});
    const std::string out = print(6);
    expect_in_order(out, {"PARTICIPACAO SOCIETARIA", "DADOS DA PARTICIPACAO", "Fabrica SA", "Acoes",
                          "APURACAO DO CUSTO AQUISICAO", "100", "10,0000", "1.000,00", "200", "10,0000", "2.000,00",
                          "300", "3.000,00", "Ganho de capital - Resultado 1", "6.000,00", "Imposto devido ", "900,00",
                          "Imposto Renda retido (lei 11.033)", "100,00", "Imposto devido apos compensacao", "800,00"});
}

TEST_F(GainsPrintout, VariableIncomeMonthByMonthAndTheFunds) {
    const auto row = [](const char* column, int line, int month, double v) {
        add_row(7, kCpfA, {{"TIPO_BEM", rt::Value(4)}, {"DAY_TRADE", rt::Value(column)}, {"RVAR_NRO", rt::Value(line)},
                           {"REC_MES" + rt::STRZERO(month, 2), rt::Value(v)}});
    };
    row("1", 1, 3, 1500.0);
    row("2", 1, 3, 700.0);
    row("3", 5, 2, 300.0);
    const std::string out = print(7);
    expect_in_order(out, {"APURACAO DE GANHOS OU PERDAS E DO IMPOSTO NA RENDA VARIAVEL", "GANHOS LIQUIDOS OU PERDAS EM JANEIRO",
                          "Sem informacoes", "GANHOS LIQUIDOS OU PERDAS EM FEVEREIRO", "Sem informacoes", "\f",
                          "GANHOS LIQUIDOS OU PERDAS EM MARCO", "OPERACOES COMUNS   OPERACOES DAY-TRADE",
                          "Mercado a Vista - Acoes", "1.500,00", "700,00", "Aliquota do imposto", "15%", "20%",
                          "CONSOLIDACAO DO MES", "Imposto pago", "GANHOS LIQUIDOS OU PERDAS EM ABRIL", "Sem informacoes",
                          "NO FUNDO DE INVESTIMENTO IMOBILIARIO", "MES", "JANEIRO", "FEVEREIRO", "Imposto                (20%)",
                          "300,00", "NOVEMBRO", "DEZEMBRO"});
}

// A saved statement keeps the month's consolidation under both kinds of
// operation: each line is printed once, not added up.
TEST_F(GainsPrintout, TheConsolidationSavedUnderBothKindsIsPrintedOnce) {
    const auto row = [](const char* column, int line, double v) {
        add_row(7, kCpfA, {{"TIPO_BEM", rt::Value(4)}, {"DAY_TRADE", rt::Value(column)}, {"RVAR_NRO", rt::Value(line)},
                           {"REC_MES01", rt::Value(v)}});
    };
    row("1", 1, 1000.0);
    for (const char* column : {"1", "2"}) {
        row(column, 18, 150.0);
        row(column, 20, 150.0);
        row(column, 22, 14.0);
    }
    row("1", 27, 136.0);
    row("2", 21, 9.0);   // the day trade's own withholding, not saved again yet
    const std::string out = print(7);
    expect_in_order(out, {"CONSOLIDACAO DO MES", "Total do Imposto devido                       150,00",
                          "IR fonte de day trade do mes                    9,00",
                          "IR fonte de day trade mes anterior             14,00", "Imposto a pagar                               136,00"});
}

TEST_F(GainsPrintout, OneGainChosenByNumberWithItsCostPartsAndInstalments) {
    add_row(7, kCpfA, {{"BEM_NRO", rt::Value(4)}, {"TIPO_BEM", rt::Value(1)}, {"ESPC_BEM", rt::Value("Predio")},
                       {"VAL_ALI", rt::Value(200000.0)}, {"PARCOMPRA", rt::Value("S")}, {"VEN_PRAZO", rt::Value("S")},
                       {"REC_MES03", rt::Value(50000.0)}, {"VAL_TRI03", rt::Value(25000.0)}, {"IMP_DEV03", rt::Value(3750.0)},
                       {"VAL_RECOL", rt::Value(50000.0)}, {"VAL_IMPOSP", rt::Value(3750.0)}, {"VAL_TRIBU", rt::Value(100000.0)}});
    add_row(8, kCpfA, {{"BEM_NRO", rt::Value(4)}, {"DATA_CUST", rt::Value(rt::Date::from_ymd(2000, 1, 10))},
                       {"VALOR_CUST", rt::Value(25000.0)}});
    add_row(8, kCpfA, {{"BEM_NRO", rt::Value(4)}, {"DATA_CUST", rt::Value(rt::Date::from_ymd(2005, 6, 10))},
                       {"VALOR_CUST", rt::Value(75000.0)}});
    rt::variables().set("QUECON", rt::Value(1));
    // Gain 9 does not exist: the message, a key, then gain 4, then Esc.
    keys({'9', 13, ' ', '4', 13, 27});
    const std::string out = print(6);
    expect_in_order(out, {"N.04", "DESDOBRAMENTO DO CUSTO DE AQUISICAO", "2000/01", "25.000,00", "0.250000", "2005/06",
                          "75.000,00", "0.750000", "Total........", "100.000,00", "CUSTO DE AQUISICAO",
                          "200.000,00", "100.000,00", "Ganho de capital - Resultado 1", "100.000,00",
                          "APURACAO DE GANHOS", "0.250000", "25.000,00", "0.750000", "75.000,00",
                          "CALCULO DO IMPOSTO A PRAZO           CODIGO RECOLHIMENTO - 4600", "03", "50.000,00",
                          "25.000,00", "3.750,00", "CONSOLIDACAO", "Valores Totais", "200.000,00", "15.000,00",
                          "Valores  em 2011", "50.000,00", "3.750,00", "Diferido p/ 2012", "150.000,00", "11.250,00"});
    EXPECT_EQ(out.find("N.01"), std::string::npos);
}

}  // namespace
}  // namespace qv::printing
