// The print front end and the printed declaration: which sheets a document
// prints and in what order, and a worked declaration printed into a file.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "printing/precheck_advice.hpp"
#include "printing/print_groups.hpp"
#include "printing/print_run.hpp"
#include "printing/print_target.hpp"
#include "runtime/os/print_device.hpp"
#include "tables/locks.hpp"
#include "system/declaration/declaration_io_fixture.hpp"

namespace qv::printing {
namespace {

using declaration::testing::DeclarationIoTest;
using declaration::testing::kCpfA;
using declaration::testing::kCpfB;

TEST(PrintSheets, DocumentsAndPageSetsChooseTheirSheets) {
    struct Case {
        int queimp, quepag, first, last;
    } cases[] = {
        {1, 1, 1, 6}, {2, 2, 1, 6}, {1, 3, 1, 4}, {1, 4, 1, 4}, {1, 5, 1, 1}, {1, 6, 2, 2}, {1, 7, 3, 3},
        {1, 8, 4, 4}, {1, 9, 4, 4}, {1, 10, 5, 5}, {3, 1, 14, 15}, {3, 2, 14, 14}, {3, 3, 15, 15},
        {4, 1, 10, 10}, {10, 1, 10, 10}, {6, 1, 6, 6}, {9, 1, 9, 9}, {11, 1, 11, 11}, {13, 1, 12, 12},
        {14, 1, 13, 13}, {15, 1, 16, 16}, {12, 1, 0, 0},
    };
    for (const auto& c : cases) {
        const SheetRange r = sheet_range(c.queimp, c.quepag);
        EXPECT_EQ(r.first, c.first) << c.queimp << "/" << c.quepag;
        EXPECT_EQ(r.last, c.last) << c.queimp << "/" << c.quepag;
    }
    // Three copies of "Só IR Sem a Malha" come out collated.
    EXPECT_EQ(sheet_order(sheet_range(1, 4), 3), (std::vector<int>{1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4}));
    EXPECT_TRUE(sheet_order(sheet_range(12, 1), 2).empty());
}

TEST(PrecheckAdvice, TheReserveAgainstTheThreshold) {
    const std::string low = "Atencao. O valor esta inferior aos 10.00% ,estabelecido.";
    const std::string high = "O valor da reserva de  30.00% da receita esta alto.";
    const std::string medical = "Despesas medicas c/ % alto. A Receita pode chamar p/mostrar os recibos.";
    const std::string cash = "ATENCAO!  ESSA DECLARACAO ESTA COM PROBLEMAS DE CAIXA. VERIFIQUE O MOTIVO";
    const std::string keep = "Recomenda-se lancar as despesas para a manutencao do patrimonio.";
    const std::string personal = "Recomenda-se lancar despesas nao declaradas nos gastos pessoais.";
    const std::string living = "Recomenda-se lancar despesas nao declaradas nos gastos para viver.";
    const std::string use = "Use dinheiro em poder do contribuinte. Pode precisar nas proximas declaracoes";
    struct Case {
        CashFigures f;
        std::vector<std::string> advice;
    } cases[] = {
        // A reserve of 5 % under the threshold of 10: no medical test.
        {{100000, 95000, 90000, 0, 0, true, 10}, {low}},
        {{100000, 70000, 26000, 0, 0, false, 10}, {high, personal, medical}},
        {{100000, 70000, 25000, 0, 0, true, 10}, {high, keep, personal}},
        {{100000, 70000, 0, 500, 800, true, 10}, {high, use}},
        {{100000, 70000, 0, 500, 0, true, 10}, {high, living}},
        // No receipts at all: the deficit advice.
        {{0, 0, 0, 0, 0, false, 10}, {cash, "ENTREGA-LA NESSAS CONDICOES PODE CAUSAR-LHE PROBLEMAS FUTUROS."}},
        {{100000, 120000, 0, 0, 0, false, 10}, {cash, "ENTREGA-LA NESSAS CONDICOES PODE CAUSAR-LHE PROBLEMAS FUTUROS."}},
    };
    for (const auto& c : cases) EXPECT_EQ(precheck_advice(c.f), c.advice) << c.f.receipts << "/" << c.f.outgoings;
    EXPECT_DOUBLE_EQ(reserve_index({100000, 95000}), 5.0);
    EXPECT_DOUBLE_EQ(reserve_index({}), 0.0);
}

class DeclarationPrintout : public DeclarationIoTest {
protected:
    void SetUp() override {
        DeclarationIoTest::SetUp();
        auto& v = rt::variables();
        for (const auto& [name, value] : std::initializer_list<std::pair<const char*, rt::Value>>{
                 {"NOMEIMP", rt::Value("GENERICA")}, {"NROLPT", rt::Value(0)}, {"NROCOM", rt::Value(0)},
                 {"SAIDAPR", rt::Value("DECLARA")}, {"LOCIMPR", rt::Value("L")}, {"ARQ_IMP", rt::Value(" ")},
                 {"QUECON", rt::Value(1)}, {"QUEIMP", rt::Value(1)}, {"QUEPAG", rt::Value(4)},
                 {"QUEMOD", rt::Value(1)}, {"NRO_VIAS", rt::Value(1)}, {"TEM_LASER", rt::Value(0)},
                 {"STRING0", rt::Value("")}})
            v.set(name, value);
        for (const auto& cpf : {kCpfA, kCpfB}) {
            const std::string who = cpf == kCpfA ? "A" : "B";
            add_row(9, cpf, {{"NOMECONTR", rt::Value("Contribuinte " + who)}, {"USAPADRAO", rt::Value("N")}});
            add_row(1, cpf, {{"I13_01", rt::Value(3000.0)}, {"I13_27", rt::Value(150.0)}, {"I3_01", rt::Value(1234.56)}});
            add_row(2, cpf, {{"I1_1", rt::Value("J")}, {"I1_2", rt::Value("Fonte 1 " + who)}, {"I1_4", rt::Value(1000.0)}});
            add_row(2, cpf, {{"I1_1", rt::Value("J")}, {"I1_2", rt::Value("Fonte 2 " + who)}, {"I1_4", rt::Value(2000.0)}});
            add_row(4, cpf, {{"I7_0", rt::Value(10)}, {"I7_5", rt::Value(11)}, {"I7_2", rt::Value(std::string(100, 'x') + "Casa " + who)},
                             {"I7_4", rt::Value(50000.0)}});
            add_row(6, cpf, {{"I6_3", rt::Value(10)}, {"I6_1", rt::Value("Medico " + who)}, {"I6_4", rt::Value(300.0)}});
        }
    }
    void TearDown() override {
        rt::os::printer().close();
        set_device(Device::Screen);
        DeclarationIoTest::TearDown();
    }
    std::string printed() {
        rt::os::printer().close();
        std::ifstream in(work + "DECLARA.TXT", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Positions of the texts in the printed file, in the order given.
    static void expect_in_order(const std::string& out, std::initializer_list<std::string> texts) {
        std::size_t at = 0;
        for (const auto& t : texts) {
            const std::size_t found = out.find(t, at);
            ASSERT_NE(found, std::string::npos) << "missing or out of order: " << t;
            at = found + t.size();
        }
    }
};

TEST_F(DeclarationPrintout, OneTaxpayerPrintsPagesOneToFourIntoTheFile) {
    choose(kCpfA);
    FAZIMP();
    const std::string out = printed();
    expect_in_order(out, {"Nome: Contribuinte A", "DECLARACAO DE AJUSTE ANUAL", "IDENTIFICACAO DO CONTRIBUINTE",
                          "DEPENDENTES ", "Sem informacoes", "PESSOAS JURIDICAS PELO TITULAR", "Fonte 1 A", "Fonte 2 A",
                          "TOTAIS", "3.000,00", "PELOS DEPENDENTES", "Sem informacoes", "P. FISICAS E EXTERIOR PELO TITULAR",
                          "\f", "RENDIMENTOS ISENTOS E NAO-TRIBUTAVEIS", "01.Bolsa", "1.234,56", "EXCLUSIVA /DEFINITIVA",
                          "PAGAMENTOS E DOACOES EFETUADOS ", "Medico A", "300,00", "\f", "DECLARACAO DE BENS E DIREITOS",
                          "0001 11", std::string(90, 'x'), "50.000,00", "\r\n", "xxxxxxxxxxCasa A", "TOTAL ", "DIVIDAS E ONUS REAIS",
                          "\f", "RESUMO", "---- RENDIMENTOS TRIBUTAVEIS", "Rec.P.Juridica Titular", "3.000,00",
                          "Imposto Retido Titular", "150,00", "INFORMACOES BANCARIAS", " B A L A N C O", "Total das RECEITAS", "\f"});
    EXPECT_EQ(out.find("Contribuinte B"), std::string::npos);
    EXPECT_EQ(out.find("Fonte 1 B"), std::string::npos);
    // Lines end in CR LF: no bare line feed.
    for (std::size_t i = out.find('\n'); i != std::string::npos; i = out.find('\n', i + 1)) ASSERT_EQ(out[i - 1], '\r');
}

TEST_F(DeclarationPrintout, CopiesOfEveryMarkedTaxpayerComeOutCollated) {
    rt::variables().set("QUECON", rt::Value(3));
    rt::variables().set("QUEPAG", rt::Value(9));   // the summary alone
    rt::variables().set("NRO_VIAS", rt::Value(2));
    ASSERT_TRUE(tables::ABERTURA(9));
    FAZIMP();
    const std::string out = printed();
    expect_in_order(out, {"Contribuinte A", "RESUMO", "Contribuinte A", "RESUMO", "Contribuinte B", "RESUMO",
                          "Contribuinte B", "RESUMO"});
    // "Resumo s/Balanço" prints the summary without the balance.
    EXPECT_NE(out.find("EVOLUCAO PATRIMONIAL"), std::string::npos);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\f'), 4);
}

TEST_F(DeclarationPrintout, ThePreCheckListComparesReceiptsWithOutgoings) {
    add_row(9, "88888888888", {{"NOMECONTR", rt::Value("Contribuinte C")}, {"USAPADRAO", rt::Value("N")}});
    add_row(1, "88888888888", {{"I13_08", rt::Value(100000.0)}, {"DESPDECLA", rt::Value(95000.0)},
                               {"INDALERTA", rt::Value(10)}});
    rt::variables().set("QUEPAG", rt::Value(10));   // "Só a Malha fina"
    choose("88888888888");
    FAZIMP();
    const std::string out = printed();
    expect_in_order(out, {"Contribuinte C", "CALCULO DA MALHA FINA IR PESSOA FISICA 2012/2011", "Rendimentos tributaveis",
                          "100.000,00", "100.00", "TOTAL DAS RECEITAS", "100.000,00", "Pagamentos Declarados", "95.000,00",
                          "95.00", "TOTAL DOS GASTOS", "RESERVA", "5.000,00", "5.00",
                          "Atencao. O valor esta inferior aos 10.00% ,estabelecido.", "\f"});
    EXPECT_EQ(out.find("Despesas medicas c/"), std::string::npos);

    // "Resumo c/Balanço" ends the summary with the balance instead.
    rt::variables().set("QUEPAG", rt::Value(8));
    rt::variables().set("ARQ_IMP", rt::Value(" "));
    choose("88888888888");
    FAZIMP();
    const std::string summary = printed();
    expect_in_order(summary, {"RESUMO", " B A L A N C O", "Total das RECEITAS......", "100.000,00",
                              "Total das DESPESAS.....", "95.000,00", "Saldo  .......", "5.000,00"});
    EXPECT_EQ(summary.find("EVOLUCAO PATRIMONIAL"), std::string::npos);
}

TEST_F(DeclarationPrintout, AGroupFileKeepsTheMarkedTaxpayers) {
    const std::vector<std::string> marked{"33333333333", "55555555555", "77777777777"};
    for (const char* cpf : {"33333333333", "44444444444", "55555555555", "66666666666", "77777777777"})
        add_row(9, cpf, {{"IMPRE", rt::Value(std::find(marked.begin(), marked.end(), cpf) != marked.end() ? "S" : " ")}});
    const std::string file = prog + "FAMILIA.grp";
    ASSERT_TRUE(write_group(file));
    std::ifstream in(file, std::ios::binary);
    const std::string text(std::istreambuf_iterator<char>(in), {});
    EXPECT_EQ(text.size(), 45u);
    EXPECT_EQ(text.substr(0, 15), "\"33333333333\"\r\n");
    // Other marks are set meanwhile; reading the group puts its own back.
    auto& reg = tables::ws().current(9);
    tables::ws().select(9);
    ASSERT_TRUE(tables::FIL_LOCK());
    for (reg.go_top(); !reg.eof(); reg.skip(1)) reg.put("IMPRE", rt::Value("S"));
    reg.unlock();
    ASSERT_TRUE(read_group(file));
    std::vector<std::string> now;
    for (reg.go_top(); !reg.eof(); reg.skip(1))
        if (rt::TRIM(reg.get("IMPRE").as_string()) == "S") now.push_back(rt::TRIM(reg.get("CPF").as_string()));
    std::sort(now.begin(), now.end());
    EXPECT_EQ(now, marked);
    EXPECT_FALSE(read_group(prog + "NADA.grp"));
}

TEST_F(DeclarationPrintout, AListGoingOnCarriesItsRunningTotals) {
    for (int n = 1; n <= 70; ++n)
        add_row(4, kCpfA, {{"I7_0", rt::Value(20 + n)}, {"I7_5", rt::Value(11)}, {"I7_2", rt::Value("Lote " + std::to_string(100 + n))},
                           {"I7_3", rt::Value(10.0)}, {"I7_4", rt::Value(1000.0)}});
    rt::variables().set("QUEPAG", rt::Value(7));   // assets and debts
    rt::variables().set("CSOBENS", rt::Value("S"));
    choose(kCpfA);
    IMPRESSAO();   // past the question of which assets
    const std::string out = printed();
    const std::size_t subtotal = out.find("SUBTOTAL");
    ASSERT_NE(subtotal, std::string::npos);
    // The first page's lots (10,00 and 1.000,00 each), summed from their count.
    int lots = 0;
    for (std::size_t at = out.find("Lote 1"); at < subtotal; at = out.find("Lote 1", at + 1)) ++lots;
    ASSERT_GT(lots, 10);
    const std::string page = out.substr(subtotal, out.find('\f', subtotal) - subtotal);
    EXPECT_NE(page.find(std::to_string(lots * 10) + ",00"), std::string::npos) << page;
    // The worked declaration's house of 50.000,00 comes first.
    EXPECT_NE(page.find(std::to_string(50 + lots) + ".000,00"), std::string::npos) << page;
    // The next page repeats the list's title, and the list ends with its totals.
    const std::string rest = out.substr(subtotal);
    expect_in_order(rest, {"\f", "Nome: Contribuinte A", "DECLARACAO DE BENS E DIREITOS", "ITEM COD DISCRIMINACAO", "Lote 170",
                           "TOTAL ", "700,00", "120.000,00"});
}

}  // namespace
}  // namespace qv::printing
