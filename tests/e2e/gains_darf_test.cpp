// A clerk's year of gains and slips: a sale of shares with its two
// movements and a real-estate sale received in two instalments are entered
// and computed, a month of stock-market gains and a month of carnê-leão are
// typed, and one slip of each kind is printed into the print file, whose
// figures are checked against the ones worked out by hand.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "e2e/declaration_e2e.hpp"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

class E2eGainsDarf : public qv::e2e::DeclarationE2eTest {
protected:
    E2eGainsDarf() : DeclarationE2eTest("qv_e2e_gdarf_") {}
};

using qv::e2e::TmuxSession;

void type(TmuxSession& s, const std::string& text, bool enter = true) {
    s.text(text);
    if (enter) s.keys("Enter");
}

// The gains bar, from the income bar: its menu opens on the real estate.
void gains_bar(TmuxSession& s) {
    for (int i = 0; i < 7; ++i) s.keys("Right");
    ASSERT_TRUE(s.wait_for("G.Cap.Bens Imóveis", 5s)) << s.screen_text();
}

TEST_F(E2eGainsDarf, SharesAndAnInstalmentSaleAreTaxedAndEverySlipKindIsPrinted) {
    auto session = start();
    TmuxSession& s = *session;
    open_declaration(s, true);
    if (HasFatalFailure()) return;
    ASSERT_TRUE(s.wait_for("Identificação", 5s)) << s.screen_text();
    for (int i = 0; i < 5; ++i) s.keys("Left");
    ASSERT_TRUE(s.wait_for("Rendimento do Titular", 5s)) << s.screen_text();
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("Fonte pagadora", 5s)) << s.screen_text();
    type(s, "EMPRESA");
    type(s, "50000");
    s.keys("Escape");
    ASSERT_TRUE(s.wait_for("Rendimento do Titular", 5s)) << s.screen_text();

    // Shares: sold for 50.000,00, bought for 30.000,00 (the balance and the
    // sale are the two movements).
    gains_bar(s);
    if (HasFatalFailure()) return;
    s.keys("Down");
    s.keys("Down");
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("Nome da Sociedade", 5s)) << s.screen_text();
    s.keys("IC");
    ASSERT_TRUE(s.wait_for("Tipo (1 Ações", 5s)) << s.screen_text();
    s.text("1");   // the kind fills its one place
    EXPECT_TRUE(s.wait_for("Alíquota: 15", 5s)) << s.screen_text();
    type(s, "11144477735");
    type(s, "COMPRADOR");
    type(s, "15062011", false);
    type(s, "EMPRESA X");
    type(s, "11222333000181", false);
    type(s, "SP", false);
    type(s, "SÃO PAULO");   // the company's city is one of the state's towns
    type(s, "50000");
    for (int i = 0; i < 3; ++i) s.keys("Enter");   // cash sale, nothing withheld, nothing paid
    ASSERT_TRUE(s.wait_for("Ação P.Nominativa", 5s)) << s.screen_text();
    for (int i = 0; i < 3; ++i) s.keys("Right");
    type(s, "1000");
    type(s, "30000");
    s.text("1");   // kind and movement fill their one place each
    s.text("3");
    type(s, "15062011", false);
    type(s, "1000");
    ASSERT_TRUE(s.wait_for("15/06/2011", 5s)) << s.screen_text();
    s.keys("Escape");
    ASSERT_TRUE(s.wait_for("20.000,00", 5s)) << s.screen_text();
    EXPECT_TRUE(s.wait_for("3.000,00", 5s)) << s.screen_text();
    s.keys("Escape");
    ASSERT_TRUE(s.wait_for("Totais........", 5s)) << s.screen_text();
    EXPECT_TRUE(s.wait_for("3.000,00", 5s)) << s.screen_text();

    // A house bought for 200.000,00 in 2000 and sold for 300.000,00 in May
    // 2011, received in May and August: the taxable gain of 52.552,40 is
    // taken half in each month, 26.276,20 and its tax 3.941,43.
    s.keys("Escape");
    ASSERT_TRUE(s.wait_for("G.Cap.Bens Imóveis", 5s)) << s.screen_text();
    s.keys("Home");
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("Descrição do Bem", 5s)) << s.screen_text();
    s.keys("IC");
    ASSERT_TRUE(s.wait_for("Item do bem:", 5s)) << s.screen_text();
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("Informando 0", 5s)) << s.screen_text();
    s.keys("Enter");
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("Digite o nro da opera", 5s)) << s.screen_text();
    type(s, "1", false);
    type(s, "11144477735");
    type(s, "COMPRADOR");
    type(s, "CASA");
    type(s, "10032000", false);
    type(s, "20052011", false);
    type(s, "RUA");
    ASSERT_TRUE(s.wait_for("Tipo: Rua", 5s)) << s.screen_text();
    type(s, "DAS FLORES");
    for (int i = 0; i < 6; ++i) s.keys("Enter");
    type(s, "300000");
    ASSERT_TRUE(s.wait_for("Se for o caso responda", 5s)) << s.screen_text();
    s.keys("Right");
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("Vai ser usado ?", 5s)) << s.screen_text();
    s.keys("Right");
    s.keys("Enter");
    type(s, "200000");
    s.keys("Enter");
    type(s, "S", false);
    ASSERT_TRUE(s.wait_for("Val. Recebido", 5s)) << s.screen_text();
    for (int i = 0; i < 4; ++i) s.keys("Down");
    type(s, "150000");
    s.keys("Left");
    for (int i = 0; i < 3; ++i) s.keys("Down");
    type(s, "150000");
    ASSERT_TRUE(s.wait_for("300.000,00", 5s)) << s.screen_text();
    EXPECT_TRUE(s.wait_for("26.276,20", 5s)) << s.screen_text();
    EXPECT_TRUE(s.wait_for("3.941,43", 5s)) << s.screen_text();
    EXPECT_TRUE(s.wait_for("7.882,86", 5s)) << s.screen_text();
    s.keys("Escape");
    ASSERT_TRUE(s.wait_for("52.552,40", 5s)) << s.screen_text();
    s.keys("Escape");
    ASSERT_TRUE(s.wait_for("Totais........", 5s)) << s.screen_text();
    EXPECT_TRUE(s.wait_for("7.882,86", 5s)) << s.screen_text();
    s.keys("Escape");
    ASSERT_TRUE(s.wait_for("G.Cap.Bens Imóveis", 5s)) << s.screen_text();

    // Stock market, common operations: 10.000,00 gained in January, whose
    // 15 % is 1.500,00 to pay.
    s.keys("Home");
    for (int i = 0; i < 3; ++i) s.keys("Down");
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("Mercado/Ativo em Operacao Comum", 5s)) << s.screen_text();
    type(s, "10000");
    ASSERT_TRUE(s.wait_for("1.500,00", 5s)) << s.screen_text();
    s.keys("Escape");
    ASSERT_TRUE(s.wait_for("G.Cap.Bens Imóveis", 5s)) << s.screen_text();

    // Carnê-leão, the totals only: 5.000,00 from a natural person in March,
    // 27,5 % less 692,78 = 682,22 due.
    for (int i = 0; i < 6; ++i) s.keys("Left");
    ASSERT_TRUE(s.wait_for("Rendimento do Titular", 5s)) << s.screen_text();
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("Dep+Pre+Pen", 5s)) << s.screen_text();
    s.keys("M-a");
    ASSERT_TRUE(s.wait_for("APENAS para um", 5s)) << s.screen_text();
    s.keys("Enter");
    s.keys("Down");
    s.keys("Down");
    type(s, "5000");
    s.keys("C-End");   // the carnê-leão due is in the last columns
    ASSERT_TRUE(s.wait_for("682,22", 5s)) << s.screen_text();
    // March unpaid is corrected past the SELIC table's last month: the
    // sheet names the months missing when it is left.
    s.keys("Escape");
    ASSERT_TRUE(s.wait_for("Faltam na tabela da Selic as taxas de", 5s)) << s.screen_text();
    s.keys("Enter");
    ASSERT_TRUE(s.wait_gone("Faltam na tabela da Selic", 5s)) << s.screen_text();
    ASSERT_TRUE(s.wait_for("Rendimento do Titular", 5s)) << s.screen_text();

    // Saved, the declaration's slips are printed from the print menu.
    s.keys("Escape");
    ASSERT_TRUE(s.wait_for("P.Jur", 5s)) << s.screen_text();
    s.keys("M-t");
    ASSERT_TRUE(s.wait_for("F1 Nome F2 CPF F3 Stat", 10s)) << s.screen_text();
    s.keys("Escape");
    ASSERT_TRUE(s.wait_for("Terminar", 5s)) << s.screen_text();
    s.keys("Right");
    s.keys("Right");
    ASSERT_TRUE(s.wait_for("1-IRenda modo Receita", 5s)) << s.screen_text();
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("Darfes", 5s)) << s.screen_text();
    for (int i = 0; i < 4; ++i) s.keys("Down");
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("1-Darfes", 5s)) << s.screen_text();
    s.keys("Right");
    ASSERT_TRUE(s.wait_for("imp Não Dos", 5s)) << s.screen_text();
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("F1 Ordem CPF", 5s)) << s.screen_text();
    s.text("11144477735");

    // Each slip goes to the print file before the next kind is asked for.
    const auto printed = [this] {
        std::ifstream in(prog / "NAO-DOS.TXT", std::ios::binary);
        return std::string{std::istreambuf_iterator<char>(in), {}};
    };
    struct Slip {
        int kind;                          // row of the kind's menu, from 0
        const char* number;                // quota or month; "" for none asked
        const char* seen;                  // on the form once loaded
        const char* paid;                  // the payment date typed
        bool late;                         // the first working day is then asked
        std::vector<std::string> figures;  // on the printed slip
    };
    const Slip slips[] = {
        {0, "", "Pagto. da quota 1 de", "30042012", false, {"0211|", "Pagto. da quota 1 de", "30/04/2012"}},
        // Carnê-leão of March, paid on its due date.
        {1, "3", "Carne Leao do mes de Marco", "29042011", false,
         {"0190|", "Rendimentos....... R$      5.000,00", "Imposto........... R$        682,22",
          "10-Valor Total                682,22"}},
        // The house's August instalment paid 10 days after the first working
        // day: 3,30 % fine and 1 % interest on 3.941,43.
        {2, "8", "Ganho de capital em Agosto", "13102011", true,
         {"4600|", "Base de calculo.....R$    26.276,20", "Imposto.............R$     3.941,43",
          "08-Valor da Multa             130,06", "09-Valor dos juros             39,41",
          "10-Valor Total              4.110,90"}},
        // The stock market's January, paid on its due date.
        {3, "1", "Ganho em R. variavel Janeiro", "28022011", false,
         {"6015|", "Base de calculo.....R$    10.000,00", "Imposto.............R$     1.500,00",
          "10-Valor Total              1.500,00"}},
        // Filed three months late: the minimum fine.
        {4, "1", "Multa pelo atraso na entrega", "31072012", true,
         {"5320|", "03 meses de atraso", "Valor da multa........       165,74", "10-Valor Total                165,74"}},
    };
    for (const Slip& slip : slips) {
        SCOPED_TRACE(slip.seen);
        ASSERT_TRUE(s.wait_for("0211  I.Renda", 10s)) << s.screen_text();
        s.keys("Home");   // the list opens on the kind printed last
        for (int i = 0; i < slip.kind; ++i) s.keys("Down");
        s.keys("Enter");
        if (slip.kind < 4) {
            ASSERT_TRUE(s.wait_for("Só uma", 5s)) << s.screen_text();
            s.keys("Enter");
        }
        ASSERT_TRUE(s.wait_for(slip.kind == 0 ? "Quota:" : "Mes:", 5s)) << s.screen_text();
        if (*slip.number) s.text(slip.number);
        s.keys("Enter");
        ASSERT_TRUE(s.wait_for(slip.seen, 5s)) << s.screen_text();
        s.keys("Enter");   // the due date stays
        s.text(slip.paid);
        if (slip.late) s.keys("Enter");
        ASSERT_TRUE(s.wait_for("Confirma a alteração ?", 5s)) << s.screen_text();
        s.keys("Enter");
        ASSERT_TRUE(s.wait_for("Outro tipo de DARF?", 10s)) << s.screen_text();
        const std::string slip_text = printed();
        for (const std::string& figure : slip.figures)
            EXPECT_NE(slip_text.find(figure), std::string::npos) << figure << "\n" << slip_text;
        s.keys("Enter");
    }
    // A free slip: its code, dates, principal and a line of text typed; it
    // starts blank after the other kinds.
    ASSERT_TRUE(s.wait_for("0211  I.Renda", 10s)) << s.screen_text();
    s.keys("Home");
    for (int i = 0; i < 5; ++i) s.keys("Down");
    s.keys("Enter");
    s.keys("Enter");   // the period stays 31/12/2011
    s.text("1234");
    s.text("30042012");
    s.text("30042012");
    type(s, "250");
    type(s, "ALUGUEL DE ABRIL");
    for (int i = 0; i < 5; ++i) s.keys("Enter");
    ASSERT_TRUE(s.wait_for("Confirma a alteração ?", 5s)) << s.screen_text();
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("Outro tipo de DARF?", 10s)) << s.screen_text();
    const std::string free_slip = printed();
    for (const char* figure : {"1234|", "| ALUGUEL DE ABRIL        ", "07-Valor do principal         250,00"})
        EXPECT_NE(free_slip.find(figure), std::string::npos) << figure << "\n" << free_slip;
    EXPECT_EQ(free_slip.find("Multa minima"), std::string::npos) << free_slip;
    s.keys("Right");
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("imp Não Dos", 5s)) << s.screen_text();
    EXPECT_FALSE(fs::exists(prog / "Error.log"));
}

}  // namespace
