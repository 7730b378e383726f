// The cash books, the rural pages and the annotations printed into a file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "printing/print_run.hpp"
#include "printing/print_target.hpp"
#include "printing/report_routines.hpp"
#include "runtime/core/date.hpp"
#include "runtime/os/print_device.hpp"
#include "system/declaration/declaration_io_fixture.hpp"

namespace qv::printing {
namespace {

using declaration::testing::DeclarationIoTest;
using declaration::testing::kCpfA;
using declaration::testing::kCpfB;

class TaxpayerReports : public DeclarationIoTest {
protected:
    void SetUp() override {
        DeclarationIoTest::SetUp();
        register_report_routines();
        for (const auto& [name, value] : std::initializer_list<std::pair<const char*, rt::Value>>{
                 {"NOMEIMP", rt::Value("GENERICA")}, {"NROLPT", rt::Value(0)}, {"NROCOM", rt::Value(0)},
                 {"SAIDAPR", rt::Value("RELAT")}, {"LOCIMPR", rt::Value("L")}, {"ARQ_IMP", rt::Value(" ")},
                 {"QUECON", rt::Value(1)}, {"QUEIMP", rt::Value(10)}, {"QUEPAG", rt::Value(1)},
                 {"QUEMOD", rt::Value(1)}, {"NRO_VIAS", rt::Value(1)}, {"TEM_LASER", rt::Value(0)},
                 {"STRING0", rt::Value("")}, {"MES_INIC", rt::Value(1)}, {"MES_FINAL", rt::Value(12)},
                 {"AVANCA_PAG", rt::Value("S")}, {"CALC_SALD", rt::Value("N")}, {"IMPR_RESU", rt::Value("N")},
                 {"CAN_IMP", rt::Value(false)}})
            rt::variables().set(name, value);
        add_row(9, kCpfA, {{"NOMECONTR", rt::Value("Contribuinte A")}, {"TEMRURAL", rt::Value("S")},
                           {"ESTATUS", rt::Value(0)}, {"TELCELU", rt::Value("99887766")}});
    }
    void TearDown() override {
        rt::os::printer().close();
        set_device(Device::Screen);
        DeclarationIoTest::TearDown();
    }
    static rt::Value day(int d, int m) { return rt::Value(rt::Date::from_ymd(2011, m, d)); }
    static void book_entry(int d, int m, const char* what, double value, const char* kind) {
        add_row(2, kCpfA, {{"I1_1", rt::Value("L")}, {"I1_2", rt::Value(what)}, {"I1_4", rt::Value(value)},
                           {"DT_LC", day(d, m)}, {"TIPOCR", rt::Value(kind)}});
    }
    std::string print(int queimp) {
        rt::variables().set("QUEIMP", rt::Value(queimp));
        choose(kCpfA);
        IMPRESSAO();
        rt::os::printer().close();
        std::ifstream in(work + "RELAT.TXT", std::ios::binary);
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
    static bool has_line(const std::string& out, const std::string& wanted) {
        std::istringstream in(out);
        for (std::string l; std::getline(in, l);)
            if (l == wanted + "\r" || l == "\f" + wanted + "\r") return true;
        return false;
    }
};

TEST_F(TaxpayerReports, FiveMonthsOnFivePagesWithBothTerms) {
    for (int m = 1; m <= 5; ++m) book_entry(10, m, "Consulta", 100.0 * m, " ");
    const std::string out = print(10);
    expect_in_order(out, {"Livro Caixa de Contribuinte A", "Ref. Jan/11 Pag. 002", "10/01/11", "Consulta", "100,00",
                          "Totais do Mes", "Saldo do Mes", "Saldo Acumulado", "\f", "Ref. Fev/11 Pag. 003", "200,00",
                          "Saldo Acumulado", "300,00", "Pag. 004", "Pag. 005", "Ref. Mai/11 Pag. 006", "1.500,00",
                          "LIVRO CAIXA (Lei Numero 9.250/95 , art. 18)         Pag. 001",
                          "T E R M O   D E   A B E R T U R A",
                          "Este livro contem 7 folhas numeradas sequencialmente de 1 a 7 e",
                          "servira para o lancamento das receitas e despesas de trabalho nao assalariado,",
                          "no ano calendario 2011, de que trata o artigo 18 da Lei numero 9.250/95,",
                          "do contribuinte abaixo identificado:", "Contribuinte A", "CPF nro 111.111.111-11",
                          std::string(50, '_'), "Pag. 007", "T E R M O   D E   E N C E R R A M E N T O",
                          "Este livro contem 7 folhas numeradas sequencialmente de 1 a 7 e",
                          "no ano calendario 2011", "serviu para o lancamento das receitas e despesas de trabalho"});
    EXPECT_EQ(out.find("Pag. 008"), std::string::npos);
    // The fill of a month's page: one entry below the four heading rows,
    // so it starts at row 5 with steps of int(45 / 45) = 1 column.
    EXPECT_TRUE(has_line(out, "--------  --"));
    EXPECT_TRUE(has_line(out, std::string(11, ' ') + "--"));
    EXPECT_TRUE(has_line(out, std::string(48, ' ') + "--"));
}

TEST_F(TaxpayerReports, ADeficitMonthAndTheBalanceOfEarlierMonths) {
    book_entry(5, 1, "Honorarios", 1000.0, " ");
    book_entry(7, 2, "Aluguel sala", 300.0, "D");
    book_entry(3, 3, "Consulta", 100.0, " ");
    book_entry(9, 3, "Material", 250.0, "D");
    book_entry(0, 0, "Sem data", 999.0, " ");
    rt::variables().set("QUECON", rt::Value(3));
    rt::variables().set("MES_INIC", rt::Value(3));
    rt::variables().set("MES_FINAL", rt::Value(3));
    rt::variables().set("CALC_SALD", rt::Value("S"));
    const std::string out = print(10);
    // 1.000,00 - 300,00 before March; March ends 150,00 short.
    expect_in_order(out, {"Ref. Mar/11 Pag. 001", "01/03/11", "Saldo Anterior", "700,00", "03/03/11", "100,00",
                          "09/03/11", "250,00", "Totais do Mes", "100,00", "250,00", "Deficit do Mes", "150,00",
                          "Saldo Acumulado", "550,00"});
    for (const char* absent : {"Honorarios", "Aluguel sala", "Sem data", "999,00", "T E R M O"})
        EXPECT_EQ(out.find(absent), std::string::npos) << absent;
}

TEST_F(TaxpayerReports, TheRuralBookTakesEachFarmsShare) {
    add_row(16, kCpfA, {{"ATV_BRASIL", rt::Value("S")}, {"I2R_01", rt::Value("Sitio Um")}, {"I2R_04", rt::Value(50.0)}});
    add_row(16, kCpfA, {{"ATV_BRASIL", rt::Value("S")}, {"I2R_01", rt::Value("Sitio Dois")}, {"I2R_04", rt::Value(100.0)}});
    add_row(19, kCpfA, {{"ATV_BRASIL", rt::Value("S")}, {"DT_LC", day(2, 4)}, {"DESCR", rt::Value("Venda de milho")},
                        {"VALOR", rt::Value(1234.00)}, {"NROIMO", rt::Value(1)}, {"TIPOCR", rt::Value("R")}});
    add_row(19, kCpfA, {{"ATV_BRASIL", rt::Value("S")}, {"DT_LC", day(1, 4)}, {"DESCR", rt::Value("Adubo")},
                        {"VALOR", rt::Value(80.0)}, {"NROIMO", rt::Value(0)}, {"TIPOCR", rt::Value("D")}});
    add_row(19, kCpfA, {{"ATV_BRASIL", rt::Value("S")}, {"DT_LC", day(3, 4)}, {"DESCR", rt::Value("Semente")},
                        {"VALOR", rt::Value(40.0)}, {"NROIMO", rt::Value(7)}, {"TIPOCR", rt::Value("D")}});
    const std::string out = print(4);
    expect_in_order(out, {"01/04/11", "Adubo", "80,00", "02/04/11", "Venda de milho", "617,00", "03/04/11",
                          "Semente", "40,00", "Totais do Mes", "617,00", "120,00", "Saldo do Mes", "497,00",
                          "Este livro contem 3 folhas",
                          "servira para o lancamento das receitas e despesas na atividade rural,"});
    EXPECT_EQ(out.find("1.234,00"), std::string::npos);
}

TEST_F(TaxpayerReports, RuralPagesOnlyForTheActivitiesTheTaxpayerHas) {
    add_row(15, kCpfA, {{"ATV_BRASIL", rt::Value("N")}, {"I4R_01", rt::Value(2000.0)}, {"I7_1B", rt::Value(100)},
                        {"I7_2B", rt::Value(10)}, {"I7_3B", rt::Value(20)}, {"I7_4B", rt::Value(5)},
                        {"I7_5B", rt::Value(30)}});
    add_row(16, kCpfA, {{"ATV_BRASIL", rt::Value("N")}, {"I2R_01", rt::Value("Rancho")}, {"CODPAIS", rt::Value("249")},
                        {"RECEXT", rt::Value(5000.0)}, {"DESEXT", rt::Value(1000.0)}, {"RESUS", rt::Value(2000.0)}});
    add_row(17, kCpfA, {{"ATV_BRASIL", rt::Value("N")}, {"CODIGO", rt::Value(10)}, {"I8R_1", rt::Value("Trator")},
                        {"I8R_2", rt::Value(45000.0)}});
    rt::variables().set("QUEPAG", rt::Value(1));
    const std::string out = print(3);
    EXPECT_EQ(out.find("ATIVIDADE RURAL - BRASIL"), std::string::npos);
    expect_in_order(out, {"ATIVIDADE RURAL - EXTERIOR", "DADOS E IDENTIFICACAO DA ATIVIDADE E DO IMOVEL EXPLORADO",
                          "Rancho", "RECEITAS E DESPESAS", "249", "5.000,00", "1.000,00", "4.000,00", "2.000,00",
                          "TOTAL", "2.000,00", "Resultado I em US$", "RESULTADO NAO-TRIBUTAVEL", "\f",
                          "ATIVIDADE RURAL - EXTERIOR", "MOVIMENTACAO DO REBANHO", "BOVINOS/BUFALINOS", "100,00",
                          "10,00", "20,00", "5,00", "30,00", "95,00", "SUINOS", "BENS DA ATIVIDADE RURAL", "Trator",
                          "45.000,00", "DIVIDAS VINCULADAS A ATIVIDADE RURAL", "Sem informacoes"});
}

// Both rural pages of an activity in Brazil: the farm with its area and
// registry number, the months of receipts and expenses with their totals,
// the results, the herd's final stock, and the rural assets and debts, a
// long description going on under its line. A farm abroad is not among them.
TEST_F(TaxpayerReports, TheRuralPagesOfBrazilWithEveryBlockFilled) {
    add_row(15, kCpfA, {{"ATV_BRASIL", rt::Value("S")}, {"I3_01OR", rt::Value(7000.0)}, {"I3_01OD", rt::Value(1500.0)},
                        {"I3_06OR", rt::Value(3000.0)}, {"I3_06OD", rt::Value(500.0)}, {"I4R_01", rt::Value(10000.0)},
                        {"I4R_02", rt::Value(2000.0)}, {"I4R_03", rt::Value(8000.0)}, {"I4R_04", rt::Value(1000.0)},
                        {"I4R_05", rt::Value(7000.0)}, {"I4R_06", rt::Value(2000.0)}, {"I4R_07", rt::Value(2000.0)},
                        {"I7_1S", rt::Value(40)}, {"I7_3S", rt::Value(12)}, {"I7_5S", rt::Value(30)}});
    add_row(16, kCpfA, {{"ATV_BRASIL", rt::Value("S")}, {"I2R_07", rt::Value(1)}, {"I2R_04", rt::Value(50.0)},
                        {"I2R_05", rt::Value(1)}, {"I2R_01", rt::Value("SITIO BOA VISTA")},
                        {"I2R_06", rt::Value("CAMPINAS SP")}, {"I2R_02", rt::Value(25.5)}, {"I2R_03", rt::Value("12345678")}});
    add_row(16, kCpfA, {{"ATV_BRASIL", rt::Value("N")}, {"I2R_01", rt::Value("RANCHO")}});
    add_row(17, kCpfA, {{"ATV_BRASIL", rt::Value("S")}, {"CODIGO", rt::Value(10)}, {"I8R_1", rt::Value("TRATOR")},
                        {"I8R_2", rt::Value(45000.0)}});
    const std::string debt = "FINANCIAMENTO DO TRATOR" + std::string(67, '.') + "QUITADO EM 2015";
    add_row(18, kCpfA, {{"ATV_BRASIL", rt::Value("S")}, {"ITEM", rt::Value(1)}, {"I9R_1", rt::Value(debt)},
                        {"I9R_2", rt::Value(30000.0)}, {"I9R_3", rt::Value(20000.0)}});
    rt::variables().set("QUEPAG", rt::Value(1));
    const std::string out = print(3);
    expect_in_order(out, {"ATIVIDADE RURAL - BRASIL", "AREA(ha)    Nro S.R.F", "01", "50,00", "1", "SITIO BOA VISTA",
                          "25,5", "12345678", "CAMPINAS SP", "RECEITAS E DESPESAS", " Janeiro", "7.000,00", "1.500,00",
                          " Junho", "3.000,00", "500,00", " TOTAL", "10.000,00", "2.000,00", "Receita Bruta Total",
                          "10.000,00", "Despesas de custeio e investimentos", "2.000,00", "Resultado I ", "8.000,00",
                          "Prejuizo de Exercicio Anterior", "1.000,00", "Resultado apos a comp. de prejuizo", "7.000,00",
                          "Opcao pelo Arbitramento sobre Receita Bruta ", "2.000,00", "RESULTADO TRIBUTAVEL", "2.000,00",
                          "\f", "ATIVIDADE RURAL - BRASIL", "MOVIMENTACAO DO REBANHO", "SUINOS", "40,00", "12,00",
                          "30,00", "22,00", "CAPRINOS", "BENS DA ATIVIDADE RURAL", "010", "TRATOR", "45.000,00",
                          "DIVIDAS VINCULADAS A ATIVIDADE RURAL", "001   FINANCIAMENTO DO TRATOR", "30.000,00",
                          "20.000,00", "\r\n      QUITADO EM 2015\f"});
    for (const char* absent : {"RANCHO", "EXTERIOR", "Sem informacoes"})
        EXPECT_EQ(out.find(absent), std::string::npos) << absent;
}

// The front end asks the register, not what the taxpayer printed before
// left in memory, whether the one taxpayer chosen has rural activity.
TEST_F(TaxpayerReports, TheRuralDocumentsOfOneTaxpayerFollowTheRegister) {
    add_row(9, kCpfB, {{"NOMECONTR", rt::Value("Contribuinte B")}, {"TEMRURAL", rt::Value("N")}});
    add_row(15, kCpfA, {{"ATV_BRASIL", rt::Value("S")}, {"I4R_01", rt::Value(2000.0)}});
    book_entry(10, 3, "Venda de milho", 900.0, "R");
    struct Case {
        int queimp;
        const char* cpf;
        const char* in_memory;
        const char* refusal;   // empty: printed
    } cases[] = {
        {3, kCpfA.c_str(), "", ""},
        {3, kCpfB.c_str(), "S", "Contribuinte sem atividade rural"},
        {4, kCpfA.c_str(), "N", ""},
        {4, kCpfB.c_str(), "S", "Sem atividade rural para o Livro caixa"},
    };
    for (const auto& c : cases) {
        term->snapshots.clear();
        rt::variables().set("QUEIMP", rt::Value(c.queimp));
        rt::variables().set("TEMRURAL", rt::Value(c.in_memory));
        rt::variables().set("ARQ_IMP", rt::Value(" "));
        std::filesystem::remove(work + "RELAT.TXT");
        choose(c.cpf);
        keys({rt::key::ENTER, 'N', 'N'});   // all months, no summary
        FAZIMP();
        rt::os::printer().close();
        const bool printed = std::filesystem::exists(work + "RELAT.TXT");
        EXPECT_EQ(printed, *c.refusal == '\0') << c.queimp << " " << c.cpf;
        if (*c.refusal != '\0') {
            EXPECT_TRUE(term->showed(c.refusal)) << c.queimp << " " << c.cpf;
        }
    }
}

TEST_F(TaxpayerReports, AnnotationsUnderTheirHeadingPageAfterPage) {
    for (int n = 1; n <= 70; ++n) add_row(11, kCpfA, {{"OBSERV", rt::Value("Anotacao " + std::to_string(n))}});
    const std::string out = print(9);
    expect_in_order(out, {"CPF: 111.111.111-11", "Nome: Contribuinte A", "Situacao da declaracao 0",
                          "Celular 9988-7766", "Anotacao 1\r", "Anotacao 55\r", "\f", "CPF: 111.111.111-11",
                          "Anotacao 56\r", "Anotacao 70\r", "\f"});
}

TEST_F(TaxpayerReports, OneMonthOfTheRuralBookEndsWithTheYearsSummary) {
    add_row(15, kCpfA, {{"ATV_BRASIL", rt::Value("S")}, {"I3_03OR", rt::Value(1000.0)}, {"I3_03OD", rt::Value(400.0)}});
    add_row(19, kCpfA, {{"ATV_BRASIL", rt::Value("S")}, {"DT_LC", day(2, 3)}, {"DESCR", rt::Value("Venda de gado")},
                        {"VALOR", rt::Value(1000.0)}, {"TIPOCR", rt::Value("R")}});
    add_row(19, kCpfA, {{"ATV_BRASIL", rt::Value("S")}, {"DT_LC", day(2, 4)}, {"DESCR", rt::Value("Racao")},
                        {"VALOR", rt::Value(400.0)}, {"TIPOCR", rt::Value("D")}});
    rt::variables().set("MES_INIC", rt::Value(3));
    rt::variables().set("MES_FINAL", rt::Value(3));
    rt::variables().set("IMPR_RESU", rt::Value("S"));
    keys({'N'});   // no other months
    const std::string out = print(4);
    expect_in_order(out, {"Ref. Mar/11 Pag. 001", "Venda de gado", "1.000,00", "Totais do Mes", "\f",
                          "ATIVIDADE RURAL - BRASIL", " MES", "Janeiro", "Marco", "1.000,00", "400,00", "TOTAL",
                          "1.000,00", "400,00", "\f"});
    EXPECT_EQ(out.find("Racao"), std::string::npos);
    EXPECT_EQ(out.find("T E R M O"), std::string::npos);
}

}  // namespace
}  // namespace qv::printing
