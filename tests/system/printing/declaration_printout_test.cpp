// The print front end and the printed declaration: which sheets a document
// prints and in what order, and a worked declaration printed into a file.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "common/messages.hpp"
#include "common/windows.hpp"
#include "declaration/entry/frame_painter.hpp"
#include "office/letter_document.hpp"
#include "office/letters_editor.hpp"
#include "printing/office_report_routines.hpp"
#include "printing/report_routines.hpp"
#include "printing/precheck_advice.hpp"
#include "printing/print_groups.hpp"
#include "printing/print_run.hpp"
#include "printing/print_target.hpp"
#include "runtime/core/date.hpp"
#include "runtime/os/print_device.hpp"
#include "runtime/screen/keys.hpp"
#include "tables/locks.hpp"
#include "system/declaration/declaration_io_fixture.hpp"
#include "system/declaration/grids/grid_fixture.hpp"

namespace qv::printing {
namespace {

using declaration::testing::DeclarationIoTest;
using declaration::testing::Fields;
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
    void printer_type(const char* name, const std::string& normal, const std::string& condensed, int laser) {
        auto& v = rt::variables();
        v.set("NOMEIMP", rt::Value(name));
        v.set("STRING0", rt::Value(normal));
        v.set("STRING1", rt::Value(condensed));
        v.set("TEM_LASER", rt::Value(laser));
    }
    // The pages of the printout, split at the form feeds.
    static std::vector<std::string> pages(const std::string& out) {
        std::vector<std::string> all;
        std::size_t from = 0;
        for (std::size_t ff = out.find('\f'); ff != std::string::npos; from = ff + 1, ff = out.find('\f', from))
            all.push_back(out.substr(from, ff - from));
        all.push_back(out.substr(from));
        return all;
    }
    // The amount printed after a label on its line ("" when it is blank).
    static std::string amount_beside(const std::string& out, std::string_view label) {
        const std::size_t at = out.find(label);
        if (at == std::string::npos) return "<no line " + std::string(label) + ">";
        const std::size_t from = out.find_first_not_of(' ', at + label.size());
        std::size_t to = from;
        while (to < out.size() && std::string_view("0123456789.,-").find(out[to]) != std::string_view::npos) ++to;
        return out.substr(from, to - from);
    }
    // Positions of the texts in the printed file, in the order given.
    static void expect_in_order(const std::string& out, const std::vector<std::string>& texts) {
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

// The taxpayer chosen at the prompt, its box goes before the document's own
// dialog (the payment slip's) is drawn: nothing of the box shows beside it.
TEST_F(DeclarationPrintout, ThePromptsBoxIsGoneWhenTheDocumentsDialogOpens) {
    rt::variables().set("QUEIMP", rt::Value(5));
    choose(kCpfA);
    declaration::taxpayer_box();
    std::string when_asked;
    const declaration::grids::StandIn slip("PREP_DARF", [&](std::span<const rt::Value>) {
        for (int r = 0; r < 25; ++r) when_asked += term->text(r) + "\n";
        return rt::Value(false);
    });
    FAZIMP();
    EXPECT_EQ(when_asked.find("Contribuinte "), std::string::npos) << when_asked;
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
    // The income as its lines keep it: the printout works out the total again.
    add_row(1, "88888888888", {{"I13_01", rt::Value(100000.0)}, {"DESPDECLA", rt::Value(95000.0)},
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

rt::Value day(int d, int m) { return rt::Value(rt::Date::from_ymd(2011, m, d)); }

// The lines of a printout wider than the 80 columns of normal pitch that a
// printer with these sequences prints at normal pitch.
std::vector<std::string> wide_at_normal_pitch(const std::string& out, const std::string& normal, const std::string& condensed) {
    std::vector<std::string> wrong;
    bool condensed_on = false;
    std::string line;
    const auto end_line = [&] {
        const std::size_t last = line.find_last_not_of(' ');
        if (last != std::string::npos && last + 1 > 80 && !condensed_on) wrong.push_back(line);
        line.clear();
    };
    for (std::size_t i = 0; i < out.size();) {
        if (out.compare(i, condensed.size(), condensed) == 0) {
            condensed_on = true;
            i += condensed.size();
        } else if (out.compare(i, normal.size(), normal) == 0) {
            condensed_on = false;
            i += normal.size();
        } else if (out[i] == '\x1B') {   // the laser page set-up: escape, group, up to its capital
            for (i += 2; i < out.size() && !(out[i] >= 'A' && out[i] <= 'Z'); ++i) {
            }
            ++i;
        } else if (out[i] == '\r' || out[i] == '\n' || out[i] == '\f') {
            end_line();
            ++i;
        } else {
            line += out[i++];
        }
    }
    end_line();
    return wrong;
}

TEST_F(DeclarationPrintout, WideTablesArePrintedAtTheCondensedPitch) {
    add_row(6, kCpfA, {{"I6_3", rt::Value(2)}, {"I6_1", rt::Value("Escola")}, {"I6_2", rt::Value("12345678000199")},
                             {"I6_4", rt::Value(900.0)}, {"I6_5", rt::Value(100.0)}});
    struct Case {
        const char* type;
        std::string normal, condensed;
        int laser;
    } cases[] = {
        {"MATRICIAL ESCP", "\x12", "\x0F", 0},
        {"LASER PCL", "\x1B(s10H", "\x1B(s16.67H", 6},
    };
    rt::variables().set("QUEPAG", rt::Value(1));
    for (const auto& c : cases) {
        printer_type(c.type, c.normal, c.condensed, c.laser);
        rt::variables().set("ARQ_IMP", rt::Value(" "));
        choose(kCpfA);
        FAZIMP();
        const std::string out = printed();
        // The income table starts condensed at its wide separator.
        EXPECT_NE(out.find(c.condensed + std::string(132, '-') + "\r\nNOME DA FONTE PAGADORA"), std::string::npos) << c.type;
        const std::vector<std::string> wrong = wide_at_normal_pitch(out, c.normal, c.condensed);
        EXPECT_TRUE(wrong.empty()) << c.type << ": " << wrong.size() << " lines, the first: " << (wrong.empty() ? "" : wrong[0]);
        // Every page's heading is back at the normal pitch.
        EXPECT_NE(out.find(c.normal + std::string(79, '-') + "\r\nNome: Contribuinte A"), std::string::npos) << c.type;
    }
}

TEST_F(DeclarationPrintout, TheBalanceNamesItsLinesInWholeWordsAndTheCepIsMasked) {
    const std::string cpf = "88888888888";
    add_row(9, cpf, {{"NOMECONTR", rt::Value("Contribuinte C")}, {"USAPADRAO", rt::Value("S")}, {"SO_SIMPLES", rt::Value("S")},
                     {"CEP", rt::Value("01310100")}, {"UF", rt::Value("SP")}});
    add_row(1, cpf, {{"I13_08", rt::Value(100000.0)}});
    rt::variables().set("QUEPAG", rt::Value(5));   // the income page
    choose(cpf);
    FAZIMP();
    EXPECT_NE(printed().find("CEP: 01310-100"), std::string::npos);
    rt::variables().set("QUEPAG", rt::Value(8));   // the summary with the balance
    rt::variables().set("ARQ_IMP", rt::Value(" "));
    choose(cpf);
    FAZIMP();
    const std::string out = printed();
    // Receipts on the left, outgoings on the right, row by row.
    expect_in_order(out, {" B A L A N C O", "Rendimentos tributaveis", "Total do abatimento", "Impostos anos anteriores",
                          "Rend. trib. exclusiva", "Emprestimos ativ. rural", "Total das RECEITAS"});
    for (const char* cut : {"Rendimentos tributacao e", "Impostos de anos anterio", "Emprestimos da atividade"})
        EXPECT_EQ(out.find(cut), std::string::npos) << cut;
}

TEST_F(DeclarationPrintout, AWholeDeclarationAndWhatFollowsItHaveNoEmptyPage) {
    choose(kCpfA);
    ASSERT_TRUE(tables::REC_LOCK(1));
    tables::ws().current(9).put("TEMRURAL", rt::Value("S"));
    tables::ws().current(9).unlock();
    add_row(7, kCpfA, {{"BEM_NRO", rt::Value(1)}, {"TIPO_BEM", rt::Value(1)}, {"ESPC_BEM", rt::Value("Terreno no centro")},
                       {"VAL_ALI", rt::Value(80000.0)}, {"CUS_ATUAL", rt::Value(50000.0)}, {"VAL_TRIBU", rt::Value(30000.0)}});
    add_row(7, kCpfA, {{"TIPO_BEM", rt::Value(4)}, {"DAY_TRADE", rt::Value("1")}, {"RVAR_NRO", rt::Value(1)},
                       {"REC_MES05", rt::Value(2500.0)}});
    add_row(11, kCpfA, {{"OBSERV", rt::Value("Trazer recibos do dentista")}});
    add_row(15, kCpfA, {{"ATV_BRASIL", rt::Value("S")}, {"I3_02OR", rt::Value(8000.0)}, {"I3_02OD", rt::Value(3000.0)},
                        {"I4R_01", rt::Value(8000.0)}, {"I4R_02", rt::Value(3000.0)}, {"I4R_03", rt::Value(5000.0)},
                        {"I7_1B", rt::Value(40)}, {"I7_3B", rt::Value(12)}, {"I7_5B", rt::Value(10)}});
    add_row(16, kCpfA, {{"ATV_BRASIL", rt::Value("S")}, {"I2R_01", rt::Value("Fazenda Boa Vista")}, {"I2R_04", rt::Value(100.0)},
                        {"I2R_02", rt::Value(120.5)}, {"I2R_07", rt::Value(1)}});
    add_row(17, kCpfA, {{"ATV_BRASIL", rt::Value("S")}, {"CODIGO", rt::Value(10)}, {"I8R_1", rt::Value("Trator")},
                        {"I8R_2", rt::Value(45000.0)}});
    register_report_routines();
    rt::variables().set("QUEPAG", rt::Value(1));
    choose(kCpfA);
    FAZIMP();
    const std::string out = printed();
    expect_in_order(out, {"CALCULO DA MALHA FINA", "DEMONSTRATIVO DA APURACAO DOS GANHOS DE CAPITAL N.01", "Terreno no centro",
                          "GANHOS LIQUIDOS OU PERDAS EM MAIO", "2.500,00", "Trazer recibos do dentista",
                          "ATIVIDADE RURAL - BRASIL", "Fazenda Boa Vista", "120,5", "Fevereiro", "8.000,00", "3.000,00",
                          "Resultado I ", "5.000,00", "MOVIMENTACAO DO REBANHO", "BOVINOS/BUFALINOS", "40,00", "12,00",
                          "10,00", "42,00", "BENS DA ATIVIDADE RURAL", "Trator", "45.000,00"});
    const std::vector<std::string> all = pages(out);
    for (std::size_t n = 0; n + 1 < all.size(); ++n)
        EXPECT_NE(all[n].find_first_not_of(" \r\n"), std::string::npos) << "page " << n + 1 << " of " << all.size() << " is empty";
}

// Whatever the length of the income before them, the exempt and the
// exclusive income blocks keep every page within its 60 lines.
TEST_F(DeclarationPrintout, EveryPageOfTheWholeDeclarationKeepsItsSixtyLines) {
    rt::variables().set("QUEPAG", rt::Value(1));
    for (int sources = 0; sources < 16; ++sources) {
        if (sources > 0)
            add_row(2, kCpfA, {{"I1_1", rt::Value("J")}, {"I1_2", rt::Value("Fonte extra " + std::to_string(sources))},
                               {"I1_4", rt::Value(100.0)}});
        choose(kCpfA);
        FAZIMP();
        const std::vector<std::string> all = pages(printed());
        for (std::size_t n = 0; n < all.size(); ++n) {
            const auto lines = std::count(all[n].begin(), all[n].end(), '\n');
            EXPECT_LE(lines, 60) << sources << " more sources: page " << n + 1 << "\n" << all[n];
        }
    }
}

// The hint of the letter's name stands alone on the status line, over the
// taxpayer prompt's help, and goes once the name is given: what is asked
// next (the e-mail's password) is not taken for a letter.
TEST_F(DeclarationPrintout, TheLetterHintLeavesTheStatusLineOnceTheLetterIsNamed) {
    std::ofstream(prog + "aviso.txt") << "Prezado(a)";
    for (const bool found : {true, false}) {
        common::MENS(0, "F1 Ordem CPF  F2 Ordem Nome F7 Pastas CPF em branco permite digitar o nome");
        term->snapshots.clear();
        keys({found ? 'A' : 'X', 'V', 'I', 'S', 'O', rt::key::ENTER});
        if (!found) keys({rt::key::ENTER});   // "Carta não encontrada!"
        EXPECT_EQ(PEGA_CARTA(), found);
        EXPECT_TRUE(term->showed("Tecle F1 para ver as cartas disponíveis"));
        EXPECT_FALSE(term->showed("permite digitar")) << term->all_snapshots();
        EXPECT_EQ(term->text(24).find("Tecle F1"), std::string::npos) << term->text(24);
    }
}

TEST_F(DeclarationPrintout, EachTaxpayersLetterIsASheetOfItsOwn) {
    office::register_letter_routines();
    // Saved from the editor as "aviso", asked for as "AVISO".
    office::LetterDoc doc = office::ABRTXT("aviso");
    doc.format = {0, 0, 60, 20, 2, 0};
    doc.text = "Prezado(a) \xAE" "Nome\xAF,\r\nsegue a sua declaracao.\r\n\r\n\r\nAtenciosamente";
    doc.modified = true;
    ASSERT_TRUE(office::EDITWRITE(doc));
    ASSERT_TRUE(exists(client + "aviso.txt"));   // the data folder's letter
    rt::variables().set("QUEIMP", rt::Value(8));
    rt::variables().set("QUECON", rt::Value(3));
    ASSERT_TRUE(tables::ABERTURA(9));
    keys({'A', 'V', 'I', 'S', 'O', rt::key::ENTER});
    FAZIMP();
    EXPECT_FALSE(term->showed("Carta não encontrada!"));
    const std::string out = printed();
    const std::vector<std::string> all = pages(out);
    ASSERT_GE(all.size(), 2u) << out;
    EXPECT_EQ(all[0], "\r\n\r\nPrezado(a) Contribuinte A,\r\nsegue a sua declaracao.\r\n\r\n\r\nAtenciosamente");
    EXPECT_EQ(all[1], "\r\n\r\nPrezado(a) Contribuinte B,\r\nsegue a sua declaracao.\r\n\r\n\r\nAtenciosamente");
}

TEST_F(DeclarationPrintout, TheRunLeavesTheScreenAsItFoundIt) {
    // The text windows as the program's start-up defines them: the whole screen.
    for (int id = 1; id <= 10; ++id) common::DEFINEJAN(id, 48, 112, 7, 1, 1, 25, 80, 0);
    rt::at_say(5, 10, "menu principal");
    rt::variables().set("QUECON", rt::Value(3));
    rt::variables().set("QUEPAG", rt::Value(10));   // the pre-check list: a sheet with a progress message
    SELECIONA();
    EXPECT_NE(printed().find("MALHA FINA"), std::string::npos);
    for (int r = 0; r < 25; ++r) {
        const std::string row = term->text(r);
        for (const char* left : {"Separando", "Imprimindo", "Contribuinte A", "Contribuinte B"})
            EXPECT_EQ(row.find(left), std::string::npos) << "row " << r << ": " << row;
    }
    EXPECT_NE(term->text(5).find("menu principal"), std::string::npos);
}

// The marking keys of the list of taxpayers go with the list: the
// questions of the print that follows stand alone on the screen.
TEST_F(DeclarationPrintout, TheListsMarkingHelpGoesWhenTheListIsLeft) {
    add_row(9, "33333333333", {{"NOMECONTR", rt::Value("Contribuinte C")}, {"IMPRE", rt::Value("S")}});
    register_office_report_routines();
    rt::variables().set("QUECON", rt::Value(2));
    rt::variables().set("QUEIMP", rt::Value(12));
    common::MENS(0, "Marque [S] nos nomes - Esc termina |Alt(+)Marca todos | ALT(-)Desmarca");
    term->snapshots.clear();
    keys({rt::key::ESC, '7'});   // the list left; the listing's order: cancel
    SELECIONA();
    ASSERT_TRUE(term->showed("Informe a ordem de impressão")) << term->all_snapshots();
    for (const std::string& screen : term->snapshots)
        if (screen.find("Informe a ordem") != std::string::npos) {
            EXPECT_EQ(screen.find("Marque [S]"), std::string::npos) << screen;
        }
}

TEST_F(DeclarationPrintout, DiskLabelsOfEveryTypeCarryEachTaxpayer) {
    add_row(9, "33333333333", {{"NOMECONTR", rt::Value("Contribuinte C")}});
    register_office_report_routines();
    const std::string pad7(7, ' ');
    struct Case {
        int type;
        std::vector<std::string> lines;
    } cases[] = {
        {2, {"Declaracao de ajuste anual 2012 - (Ano Base 2011)\r\nCPF : 111.111.111-11\r\nNome: CONTRIBUINTE A\r\n",
             "Nome: CONTRIBUINTE B", "Nome: CONTRIBUINTE C"}},
        {3, {"CPF : 111.111.111-11" + std::string(20, ' ') + "CPF : 222.222.222-22\r\n",
             "Nome: CONTRIBUINTE A" + std::string(20, ' ') + "Nome: CONTRIBUINTE B\r\n", "CPF : 333.333.333-33\r\n"}},
        {4, {"CPF : 111.111.111-11" + pad7 + "CPF : 222.222.222-22" + pad7 + "CPF : 333.333.333-33\r\n",
             "Nome: CONTRIBUINTE A" + pad7 + "Nome: CONTRIBUINTE B" + pad7 + "Nome: CONTRIBUINTE C"}},
    };
    rt::variables().set("QUEIMP", rt::Value(14));
    rt::variables().set("QUECON", rt::Value(3));
    for (const auto& c : cases) {
        rt::variables().set("QUEMOD", rt::Value(c.type));
        rt::variables().set("NLINE", rt::Value(0));
        rt::variables().set("ARQ_IMP", rt::Value(" "));
        ASSERT_TRUE(tables::ABERTURA(9));
        FAZIMP();
        expect_in_order(printed(), c.lines);
    }
}

TEST_F(DeclarationPrintout, IncomeReceivedCumulativelyShowsHowEachSourceWasTaxed) {
    add_row(2, kCpfA, {{"I1_1", rt::Value("A")}, {"I1_11", rt::Value("S")}, {"I1_2", rt::Value("Acumulado Titular")},
                       {"I1_3", rt::Value("12345678000199")}, {"I1_4", rt::Value(12000.0)}, {"I1_5", rt::Value(900.0)},
                       {"I1_6", rt::Value(1100.0)}, {"I1_12", rt::Value(500.0)}, {"TIPOCR", rt::Value("N")},
                       {"DT_LC", day(15, 3)}, {"I1_21", rt::Value(14.0)}, {"I1_20", rt::Value(777.77)}});
    add_row(2, kCpfA, {{"I1_1", rt::Value("A")}, {"I1_11", rt::Value("N")}, {"I1_8", rt::Value("33333333333")},
                       {"I1_2", rt::Value("Acumulado Dependente")}, {"I1_4", rt::Value(4000.0)}, {"TIPOCR", rt::Value("S")},
                       {"DT_LC", day(1, 8)}, {"I1_21", rt::Value(3.0)}});
    rt::variables().set("QUEPAG", rt::Value(6));   // exempt income and payments
    rt::variables().set("CSOPAG", rt::Value("N"));
    const std::string titular = "ACUMULADAMENTE DO TITULAR", dependants = "ACUMULADAMENTE DOS DEPENDENTES";
    choose(kCpfA);
    IMPRESSAO();
    const std::string out = printed();
    expect_in_order(out, {"EXIGIBILIDADE SUSPENSA", titular, "NOME DA FONTE PAGADORA", "Acumulado Titular", "12345678000199",
                          "12.000,00", "1.100,00", "900,00", "500,00", "Tributado Exclusiva", "Recebimento 15/03/2011",
                          "Nro. Meses", "14.0", "Imposto devido RRA", "777,77", "TOTAIS", "12.000,00", dependants,
                          "CPF do dependente: 333.333.333-33", "Acumulado Dependente", "4.000,00", "Tributado Ajuste",
                          "Recebimento 01/08/2011", "TOTAIS", "4.000,00", "PAGAMENTOS E DOACOES EFETUADOS "});
    // The tax due on it belongs to exclusive taxation only.
    EXPECT_EQ(out.find("Imposto devido RRA", out.find(dependants)), std::string::npos);
}

TEST_F(DeclarationPrintout, EstateAndDepartureDeclarationsIdentifyWhoAnswersForThem) {
    const Fields executor{{"CpfInvent", rt::Value("44444444444")}, {"NomInvent", rt::Value("Maria Inventariante")},
                          {"EndInvent", rt::Value("Rua do Inventario 10")}};
    struct Case { Fields record; std::vector<std::string> expected, absent; } cases[] = {
        {{{"DecFinal", rt::Value("S")}, {"DecJudi", rt::Value("S")}, {"nroProces", rt::Value("0001234-55")},
          {"VaraCivil", rt::Value("2a")}, {"Comarca", rt::Value("Campinas")}, {"UFProces", rt::Value("SP")},
          {"DataParti", day(10, 5)}, {"Datadecis", day(20, 6)}},
         {"DECLARACAO DE FINAL DE ESPOLIO", "IDENTIFICACAO DO CONTRIBUINTE", "UF: EX", "Pais: 249 Estados Unidos", "ZIP: 10001",
          "CPF do Meeiro: 777.777.777-77", "Retificadora? SIM", "Recibo da declaracao anterior: 1234567890-12", "ESPOLIO",
          "INDENTIFICACAO DO INTERESSADO COMO PODERES DE INVENTARIANTE", "CPF: 444.444.444-44", "Nome: Maria Inventariante",
          "Endereco: Rua do Inventario 10", "INFORMACOES SOBRE A DECISAO JUDICIAL", "Nro. do processo: 0001234-55",
          "Comarca: Campinas", "Data da decisao judicial: 10/05/2011",
          "Transito em julgado: 20/06/2011", "DEPENDENTES ", "HERDEIROS"},
         {"ESCRITURA PUBLICA", "PROCURADOR"}},
        {{{"DecFinal", rt::Value("S")}, {"DecJudi", rt::Value("N")}, {"CnpjCarto", rt::Value("12345678000199")},
          {"NomeCarto", rt::Value("Primeiro Tabelionato")}, {"DataLavra", day(1, 7)}, {"Livrcarto", rt::Value(12)},
          {"FolhCarto", rt::Value(345)}, {"MuniCarto", rt::Value("Santos")}, {"UFProces", rt::Value("SP")}},
         {"ESPOLIO", "INDENTIFICACAO DO INTERESSADO", "INFORMACOES SOBRE A ESCRITURA PUBLICA",
          "CNPJ do cartorio: 12.345.678/0001-99", "Data da lavratura: 01/07/2011", "Livro: 12", "Folha: 345", "DEPENDENTES "},
         {"DECISAO JUDICIAL", "PROCURADOR"}},
        {{{"DecSaida", rt::Value("S")}, {"DataSaida", day(30, 9)}, {"Datadecis", day(1, 2)}},
         {"DECLARACAO DE SAIDA DEFINITIVA", "CPF do Conjuge: 777.777.777-77", "SAIDA", "INDENTIFICACAO DO PROCURADOR",
          "Nome: Maria Inventariante", "Data da condicao de nao residente: 30/09/2011",
          "Data da condicao de residente:     01/02/2011", "DEPENDENTES "},
         {"ESPOLIO", "INVENTARIANTE", "HERDEIROS"}},
    };
    rt::variables().set("QUEPAG", rt::Value(5));   // the income page alone
    int n = 0;
    for (const auto& c : cases) {
        const std::string cpf = std::string(10, '5') + std::to_string(n++);
        Fields record = executor;
        record.insert(record.end(), c.record.begin(), c.record.end());
        add_row(9, cpf, {{"NOMECONTR", rt::Value("Contribuinte " + cpf)}, {"CPFCONJU", rt::Value("77777777777")},
                         {"UF", rt::Value("EX")}, {"CODPAIS", rt::Value("249")}, {"CEP", rt::Value("10001")}, {"RETIFICA", rt::Value("S")},
                         {"NRORECIBO", rt::Value("123456789012")}});
        add_row(1, cpf, record);
        rt::variables().set("ARQ_IMP", rt::Value(" "));
        choose(cpf);
        FAZIMP();
        const std::string out = printed();
        expect_in_order(out, c.expected);
        for (const auto& t : c.absent) EXPECT_EQ(out.find(t), std::string::npos) << "case " << n << ": " << t;
    }
}

TEST_F(DeclarationPrintout, AssetsNameTheirCountryAndAnEstatesPropertiesTheirRegistry) {
    const std::string cpf = "66666666666";
    add_row(9, cpf, {{"NOMECONTR", rt::Value("Espolio de Fulano")}});
    add_row(1, cpf, {{"DecFinal", rt::Value("S")}, {"DecJudi", rt::Value("S")}});
    add_row(4, cpf, {{"I7_0", rt::Value(10)}, {"I7_5", rt::Value(11)}, {"I7_2", rt::Value("Apartamento")},
                     {"I7_4", rt::Value(300000.0)}, {"ENDEIMO", rt::Value("Rua das Flores")}, {"NUMIMO", rt::Value("100")},
                     {"COMPIMO", rt::Value("Apto 3")}, {"BAIRIMO", rt::Value("Centro")}, {"UFIMO", rt::Value("SP")},
                     {"MUNICIMO", rt::Value("Campinas")}, {"CEPIMO", rt::Value("13000000")}, {"REGISTRO", rt::Value("S")},
                     {"MATRICU", rt::Value("4567")}, {"LIVRORG", rt::Value("Livro 2")}, {"AREAIMO", rt::Value(250.0)},
                     {"UNIDADE", rt::Value("S")}, {"CARTORIO", rt::Value("1o Oficio")}});
    // The apartment's description goes on over two more rows.
    add_row(4, cpf, {{"I7_0", rt::Value(11)}, {"I7_2", rt::Value(std::string(90, 'y'))}});
    add_row(4, cpf, {{"I7_0", rt::Value(12)}, {"I7_2", rt::Value("fim da descricao")}});
    add_row(4, cpf, {{"I7_0", rt::Value(20)}, {"I7_5", rt::Value(12)}, {"I7_2", rt::Value("Sitio")},
                     {"I7_4", rt::Value(90000.0)}, {"REGISTRO", rt::Value("N")}, {"UNIDADE", rt::Value("N")}});
    add_row(4, cpf, {{"I7_0", rt::Value(30)}, {"I7_5", rt::Value(61)}, {"I7_2", rt::Value("Conta no exterior")},
                     {"I7_8", rt::Value("249")}, {"I7_7", rt::Value("S")}, {"I7_4", rt::Value(1000.0)}});
    rt::variables().set("QUEPAG", rt::Value(7));
    rt::variables().set("CSOBENS", rt::Value("S"));
    choose(cpf);
    IMPRESSAO();
    const std::string out = printed();
    expect_in_order(out, {"DECLARACAO DE BENS E DIREITOS", "Data Partilha", "Val. Transf. ",
                          "0001 11 Apartamento " + std::string(78, 'y'), "300.000,00",
                          "\r\n        " + std::string(12, 'y') + " fim da descricao\r\n", "PAIS: BRASIL",
                          "LOGRADOURO: Rua das Flores", "NRO.: 100", "COMPL.: Apto 3", "BAIRRO: Centro", "UF: SP",
                          "MUNICIPIO: Campinas", "CEP: 13000-000", "REGISTRADO NO CARTORIO? Sim",
                          "MATRICULA: 4567", "REGISTRO: Livro 2", "AREA: 250,0 m2", "NOME: 1o Oficio", "0002 12 Sitio",
                          "PAIS: BRASIL", "LOGRADOURO:", "REGISTRADO NO CARTORIO? Nao", "Conta no exterior",
                          "PAIS: Estados Unidos", "TOTAL ", "391.000,00", "DECLARACAO DE ESPOLIO "});
    // An unregistered property has no registry lines; a bank account no address.
    EXPECT_EQ(out.substr(out.find("Sitio"), out.find("Conta no") - out.find("Sitio")).find("MATRICULA"), std::string::npos);
    EXPECT_EQ(out.find("LOGRADOURO", out.find("Conta no exterior")), std::string::npos);
}

TEST_F(DeclarationPrintout, DocumentsAskTheirQuestionsBeforePrinting) {
    auto& v = rt::variables();
    register_office_report_routines();
    // The access report of one user, named in lower case.
    v.set("QUEIMP", rt::Value(15));
    v.set("CNOMEUSU", rt::Value(std::string(22, ' ')));
    keys({'N', 'a', 'n', 'a', rt::key::ENTER});
    choose(kCpfA);
    FAZIMP();
    EXPECT_EQ(rt::TRIM(v.get("CNOMEUSU").as_string()), "ANA");
    EXPECT_NE(printed().find("feita por ANA"), std::string::npos);

    // Annotations of a status range; Esc at the range abandons the run.
    v.set("QUEIMP", rt::Value(9));
    v.set("QUECON", rt::Value(3));
    keys({'N', '3', rt::key::ENTER, '5', rt::key::ENTER});
    FAZIMP();
    EXPECT_EQ(v.get("STAT_INIC").as_number(), 3);
    EXPECT_EQ(v.get("STAT_FINAL").as_number(), 5);
    keys({'S'});
    FAZIMP();
    EXPECT_EQ(v.get("STAT_INIC").as_number(), 0);   // every status, none included

    // Who signs the income statement.
    v.set("QUEIMP", rt::Value(13));
    v.set("CNOMERES", rt::Value(""));
    keys({'J', 'o', 'a', 'o', rt::key::ENTER});
    FAZIMP();
    EXPECT_EQ(v.get("CNOMERES").as_string(), "Joao");

    // The pre-printed slip's vertical offset.
    v.set("QUEIMP", rt::Value(5));
    v.set("QUEMOD", rt::Value(3));
    keys({'7', rt::key::ENTER});
    FAZIMP();
    EXPECT_EQ(v.get("NDESLOC").as_number(), 7);
}

TEST_F(DeclarationPrintout, LabelSheetsSettleTheirGeometryBeforePrinting) {
    auto& v = rt::variables();
    v.set("QUEIMP", rt::Value(14));
    struct Case { const char* printer; int mode; std::initializer_list<int> typed; int margin, top, lines; } cases[] = {
        {"GENERICA", 1, {}, 0, 0, 9},
        {"GENERICA", 2, {}, 0, 0, 6},
        // Fewer than five lines a label are raised to five.
        {"NAO DOS", 1, {'3', rt::key::ENTER, '2', rt::key::ENTER, '4', rt::key::ENTER}, 3, 2, 5},
        // Two digits fill the answer and go on by themselves.
        {"NAO DOS", 2, {'1', '2', '0', rt::key::ENTER, '8', rt::key::ENTER}, 12, 0, 8},
    };
    for (const auto& c : cases) {
        v.set("NOMEIMP", rt::Value(c.printer));
        v.set("QUEMOD", rt::Value(c.mode));
        for (const char* name : {"NMARG_ETI", "NTOPO_ETI", "NLINE"}) v.set(name, rt::Value(40));
        keys(c.typed);
        FOLHA(13);
        const std::vector<double> got{v.get("NMARG_ETI").as_number(), v.get("NTOPO_ETI").as_number(), v.get("NLINE").as_number()};
        EXPECT_EQ(got, (std::vector<double>{double(c.margin), double(c.top), double(c.lines)})) << c.printer << c.mode;
    }
}


// Every value stands beside its own label: the spouse's in both layouts, and
// the exempt lines in the order of their values.
TEST_F(DeclarationPrintout, TheSpousesAndTheExemptValuesStandBesideTheirLabels) {
    const std::string cpf = "88888888888";
    add_row(9, cpf, {{"NOMECONTR", rt::Value("Contribuinte C")}, {"CPFCONJU", rt::Value("23456789173")},
                     {"CONJPAD", rt::Value("S")}, {"I13_1C", rt::Value(30000.0)}, {"I13_4C", rt::Value(2000.0)},
                     {"I13_2C", rt::Value(1000.0)}, {"I13_3C", rt::Value(500.0)}});
    // The exempt lines as saved, the screen's lines 12 to 15 being I3_13,
    // I3_14, I3_15 and I3_12: 222 + 404 + 1,212 + 1,313 + 1,414 + 1,515.
    add_row(1, cpf, {{"I3_02", rt::Value(222.0)}, {"I3_04", rt::Value(404.0)}, {"I3_12", rt::Value(1212.0)},
                     {"I3_12D", rt::Value("DEVOLUCAO")}, {"I3_13", rt::Value(1313.0)}, {"I3_14", rt::Value(1414.0)},
                     {"I3_15", rt::Value(1515.0)}, {"I13_44", rt::Value(6080.0)}});
    rt::variables().set("QUEPAG", rt::Value(7));   // assets, debts and the spouse
    choose(cpf);
    keys({rt::key::ENTER});   // every asset
    FAZIMP();
    std::string out = printed();
    EXPECT_NE(out.find("CPF: 234.567.891-73"), std::string::npos);
    const std::vector<std::pair<std::string, std::string>> simplified{
        {"Base de calculo do imposto devido", "30.000,00"}, {"Imposto retido na Fonte", "2.000,00"},
        {"Carne-leao e imposto complementar", ""}, {"Rendimentos sujeitos a tributacao exclusiva (inclusive 13ro)", "500,00"}};
    for (const auto& [label, value] : simplified) EXPECT_EQ(amount_beside(out, label), value) << label;

    ASSERT_TRUE(tables::REC_LOCK(1));
    tables::ws().current(9).put("CONJPAD", rt::Value("N"));
    tables::ws().current(9).unlock();
    rt::variables().set("ARQ_IMP", rt::Value(" "));
    choose(cpf);
    keys({rt::key::ENTER});
    FAZIMP();
    out = printed();
    const std::vector<std::pair<std::string, std::string>> complete{
        {"Base de calculo", "30.000,00"}, {"Total do imposto pago", "2.000,00"},
        {"Rendimentos Isentos e nao-tributaveis", "1.000,00"}, {"Rendimentos sujeitos a tributacao exclusiva", "500,00"}};
    for (const auto& [label, value] : complete) EXPECT_EQ(amount_beside(out, label), value) << label;

    rt::variables().set("QUEPAG", rt::Value(6));   // exempt and exclusive income
    rt::variables().set("ARQ_IMP", rt::Value(" "));
    choose(cpf);
    keys({'N'});   // not the payments alone
    FAZIMP();
    out = printed();
    const std::vector<std::pair<std::string, std::string>> exempt{
        {"02.Capital de seguro de vida pago por morte ou invalidez", "222,00"},
        {"03.Indenizacoes por rescisao de contrato, PDV, acidente e FGTS", ""},
        {"04.Ganho de capital de bens de pequeno valor ou do unico imovel", "404,00"},
        {"12.Outros DEVOLUCAO", "1.212,00"},
        {"13.Imposto de anos anteriores compensado judicialmente", "1.313,00"},
        {"14.75% da remuneracao de servidor no exterior", "1.414,00"},
        {"15.Incorporacao de reservas ao capital/bonificacoes em acoes", "1.515,00"},
        {"TOTAL", "6.080,00"}};
    for (const auto& [label, value] : exempt) EXPECT_EQ(amount_beside(out, label), value) << label;
}

// The printed balance and the pre-check list carry the balance page's
// figures: the capital gain's tax counts with the income taxed at source.
TEST_F(DeclarationPrintout, TheBalancesLinesCarryTheBalancePagesFigures) {
    const std::string cpf = "88888888888";
    add_row(9, cpf, {{"NOMECONTR", rt::Value("Contribuinte C")}, {"USAPADRAO", rt::Value("N")}});
    // As the declaration was saved: a flat sold in the year for 180,000.00
    // with a taxable gain of 48,363.38 and its tax of 7,254.50 paid (the net
    // gain 41,108.88 and investments of 2,345.67 taxed at source); 30.00
    // withheld under the law on investment funds.
    add_row(1, cpf, {{"I13_45", rt::Value(43454.55)}, {"I13_46", rt::Value(7254.50)}, {"ENTRADGP", rt::Value(180000.0)},
                     {"ISENTNAO", rt::Value(48363.38)}, {"I13_48", rt::Value(30.0)}, {"INDALERTA", rt::Value(10)}});
    // Taxed at source 43,454.55 + 7,254.50 = 50,709.05. Receipts 50,709.05
    // + 180,000.00 - 48,363.38 = 182,345.67; outgoings 7,254.50 + 30.00.
    const std::vector<std::pair<std::string, std::string>> balance{
        {"Rend. trib. exclusiva", "50.709,05"}, {"Entradas ganho capital", "180.000,00"},
        {"Ded. ganhos isent./trib.", "-48.363,38"}, {"Imp. Lei 11.033 na fonte", "30,00"},
        {"Total das RECEITAS......", "182.345,67"}, {"Total das DESPESAS.....", "7.284,50"},
        {"Saldo  .......", "175.061,17"}};
    rt::variables().set("QUEPAG", rt::Value(8));   // the summary with the balance
    choose(cpf);
    FAZIMP();
    std::string out = printed();
    for (const auto& [label, value] : balance) EXPECT_EQ(amount_beside(out, label), value) << label;

    rt::variables().set("QUEPAG", rt::Value(10));   // the pre-check list
    rt::variables().set("ARQ_IMP", rt::Value(" "));
    choose(cpf);
    FAZIMP();
    out = printed();
    const std::vector<std::pair<std::string, std::string>> precheck{
        {"Rendimentos tributacao exclusiva ..........", "50.709,05"},
        {"Entradas de ganho de capital ..............", "180.000,00"},
        {"Imposto Lei 11.033 retido na fonte ........", "30,00"},
        {"      TOTAL DAS RECEITAS ..................", "182.345,67"},
        {"     TOTAL DOS GASTOS .....................", "7.284,50"}};
    for (const auto& [label, value] : precheck) EXPECT_EQ(amount_beside(out, label), value) << label;
}

}  // namespace
}  // namespace qv::printing
