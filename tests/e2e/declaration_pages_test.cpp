// A declaration keyed as a clerk keys it, touching every page: the
// identification with rural activity in Brazil, the income from a company
// and from natural persons by month, the titular's and a dependant's, the
// exempt and exclusive income, a dependant and a payment, assets and debts, the spouse, the rural months,
// result, herd, assets and debts, the variable income, the tax, the balance
// and the notes; saved, the program started again, and every value and
// total found back where it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "e2e/declaration_e2e.hpp"

using namespace std::chrono_literals;

namespace {

using qv::e2e::TmuxSession;

class E2eDeclarationPages : public qv::e2e::DeclarationE2eTest {
protected:
    E2eDeclarationPages() : DeclarationE2eTest("qv_e2e_pages_") {}

    static void type(TmuxSession& s, const std::string& text, const std::string& shown) {
        s.text(text);
        ASSERT_TRUE(s.wait_for(shown, 5s)) << "waiting for " << shown << "\n" << s.screen_text();
    }
    static void to_menu(TmuxSession& s) {
        s.keys("Escape");
        ASSERT_TRUE(s.wait_gone("1=PJ 2=PF", 5s)) << s.screen_text();
    }
    static std::string blanks(int n) { return std::string(static_cast<std::size_t>(n), ' '); }
    // The bovines' row: 50 at the start, 5 bought, 10 sold, 45 at the end,
    // each under its column.
    static std::string herd_row() {
        return "Bovinos e bufalinos" + blanks(15) + "50" + blanks(7) + "5" + blanks(22) + "10" + blanks(6) + "45";
    }

    // The pages that hold the values, each with what it must show.
    // `reopened`: the declaration was opened again, and the titular's sheet
    // first names the months the SELIC table lacks for its late January.
    static void check_pages(TmuxSession& s, bool reopened) {
        step(s, "F6", "MARIA DA SILVA");
        step(s, "", "61 anos  9 meses");
        step(s, "", "Brasil    S");
        to_menu(s);
        step(s, "F1", "EMPRESA ABC LTDA");
        step(s, "", "Pessoa Jurídica    60.000,00");
        step(s, "", "Rec. Fonte     5.000,00");
        step(s, "", "Prev./INSS     6.600,00");
        step(s, "", "P.Físi/Exterior     5.000,00");
        to_menu(s);
        // January's 5,000.00 in the sheet of totals and the year's total.
        if (reopened) step(s, "F2", "Os juros da coluna CL Corr. não incluem esses meses.");
        step(s, reopened ? "Enter" : "F2", "Preenchimento atual: 2)SÓ OS TOTAIS");
        step(s, "", "Janeiro  │   5.000,00");
        step(s, "", "Total    │   5.000,00");
        // The sheet left, its social security total asked and left too.
        step(s, "Escape", "Totais INSS");
        to_menu(s);
        // The dependant's own sheet, January's 2,000.00 beside the titular's.
        open_dependants_sheet(s);
        step(s, "", "Janeiro  │   2.000,00");
        step(s, "Escape", "Totais INSS");
        to_menu(s);
        step(s, "F3", "01.Bolsas de estudo e de pesquisa                                    1.000,00");
        // With the rural result's exempt part: 20,000.00 less the 6,000.00 taxed.
        step(s, "", "11.Parcela isenta da atividade rural                                14.000,00");
        step(s, "", "Total...        15.000,00");
        // The variable income's gain on the exclusive page, with the 13th salary.
        step(s, "Tab", "03.Ganhos de renda variável                                         10.000,00");
        step(s, "", "04.Rendimentos de aplicações financeiras                               250,00");
        step(s, "", "Total...        13.250,00");
        to_menu(s);
        step(s, "F4", "JOAO DA SILVA");
        step(s, "Tab", "RELAÇÃO DOS ALIMENTANDOS");
        step(s, "Tab", "DR CARLOS MEDICO");
        step(s, "", "2.000,00");
        to_menu(s);
        step(s, "F5", "CASA RESIDENCIAL");
        step(s, "", "Totais                                             100.000,00      120.000,00");
        step(s, "", "FINANCIAMENTO CASA");
        step(s, "", "Totais                                                              30.000,00");
        to_menu(s);
        step(s, "M-n", "Informação do Cônjugue");
        step(s, "i", "Resultado                    18.500,00");
        to_menu(s);
        step(s, "F12", "FAZENDA BOA VISTA");
        step(s, "Tab", "Totais                  30.000,00      10.000,00");
        step(s, "Tab", "APURAÇÃO DO RESULTADO");
        step(s, "", "07.Resultado tributável                                            6.000,00");
        step(s, "Tab", herd_row());
        step(s, "Tab", "TRATOR MF 275");
        step(s, "", "80.000,00");
        step(s, "Tab", "CUSTEIO AGRICOLA");
        step(s, "", "5.000,00      15.000,00");
        to_menu(s);
        step(s, "F9", "16.BASE DE CALCULO             │     10.000,00");
        step(s, "", "18.Imposto Operação comum (15%)│      1.500,00");
        to_menu(s);
        // 73,000.00 less 13,916.36 at 27.5 % less 8,687.45; paid 5,000.00
        // and the carnê-leão due of January: the titular's 682.22 and the
        // dependant's 2,000.00 at 7.5 % less 112.43, 37.57.
        step(s, "F7", "04.Rend. PF/Exterior Dependente                       2.000,00");
        step(s, "", "08.TOTAL DOS RENDIMENTOS TRIBUTÁVEIS                 73.000,00");
        step(s, "", "12.TOTAL DO IMPOSTO DEVIDO                            7.560,55");
        step(s, "", "15.Carnê Leão recolhido do titular+dependentes          719,79");
        step(s, "", "20.IMPOSTO A PAGAR                                    1.840,76");
        to_menu(s);
        step(s, "F10", "Outras receitas               1.000,00");
        step(s, "", "Ganho  Renda Variável(4)     10.000,00");
        step(s, "", "Renda oficial Cônjuge(5)     18.500,00");
        step(s, "", "Empréstimos          (7)     10.000,00");
        step(s, "", "Empréstimos Ativ.Rural       10.000,00");
        to_menu(s);
        step(s, "F11", "Status da declaração   3");
        step(s, "", "Celular 1234-5678");
        to_menu(s);
    }

    // The pages keyed in the order a clerk meets them.
    static void key_identification(TmuxSession& s) {
        step(s, "Enter", "IDENTIFICAÇÃO");
        type(s, "S", "Ativ. rural: S/N  S");
        type(s, "S", "Brasil    S");
        ASSERT_TRUE(s.wait_gone("Salvando IMP", 5s)) << s.screen_text();
        type(s, "MARIA DA SILVA", "MARIA DA SILVA");
        s.keys("Enter");
        type(s, "15031950", "61 anos  9 meses");
        to_menu(s);
    }
    static void key_legal_person(TmuxSession& s) {
        step(s, "F1", "RENDIMENTOS TRIBUTÁVEIS E ISENTOS");
        s.keys("Enter");
        enter(s, "EMPRESA ABC LTDA", "EMPRESA ABC LTDA");
        enter(s, "60000", "60.000,00");
        enter(s, "6600", "6.600,00");
        enter(s, "5000", "Rec. Fonte     5.000,00");
        enter(s, "3000", "13ro Salário        3.000,00");
        to_menu(s);
    }
    static void key_natural_person(TmuxSession& s) {
        step(s, "F2", "Preenchimento atual: 1)INDIVIDUAL");
        // The sheet of totals, its explanation read; January typed.
        step(s, "M-a", "Esse modo deve ser usado APENAS");
        step(s, "Enter", "Preenchimento atual: 2)SO OS TOTAIS");
        enter(s, "5000", "Total    │   5.000,00");
        // January unpaid is corrected up to this month's end, past the
        // SELIC table's last month: the sheet says so when it is left.
        step(s, "Escape", "Faltam na tabela da Selic as taxas de");
        // Leaving the sheet asks the social security total: none.
        step(s, "Enter", "Totais INSS");
        s.keys("Enter");
        ASSERT_TRUE(s.wait_gone("1=PJ 2=PF", 5s)) << s.screen_text();
    }
    static void key_exempt_and_exclusive(TmuxSession& s) {
        step(s, "F3", "RENDIMENTOS ISENTOS");
        enter(s, "1000", "1.000,00");
        step(s, "Tab", "TRIBUTAÇÃO EXCLUSIVA NA FONTE - Titular");
        enter(s, "250", "250,00");
        to_menu(s);
    }
    // Page 2 for the one dependant, chosen from the list.
    static void open_dependants_sheet(TmuxSession& s) {
        step(s, "M-f", "Rendimento do Dependente");
        step(s, "Down", "Rendimento do Dependente");
        step(s, "Enter", "529.982.247-25 JOAO DA SILVA");
        step(s, "Enter", "Preenchimento atual: 2)SÓ OS TOTAIS");
    }
    static void key_dependants_sheet(TmuxSession& s) {
        open_dependants_sheet(s);
        enter(s, "2000", "Total    │   2.000,00");
        step(s, "Escape", "Totais INSS");
        s.keys("Enter");
        ASSERT_TRUE(s.wait_gone("1=PJ 2=PF", 5s)) << s.screen_text();
    }
    static void key_dependant_and_payment(TmuxSession& s) {
        step(s, "F4", "RELAÇÃO DOS DEPENDENTES");
        enter(s, "JOAO DA SILVA", "JOAO DA SILVA");
        type(s, "21", "Filho(a) ou enteado(a)");   // a full code cell goes on by itself
        type(s, "10052005", "10/05/2005");
        type(s, "52998224725", "529.982.247-25");
        step(s, "Tab", "RELAÇÃO DOS ALIMENTANDOS");
        step(s, "Tab", "RELAÇÃO DOS PAGAMENTOS E DOAÇÕES EFETUADAS");
        enter(s, "DR CARLOS MEDICO", "DR CARLOS MEDICO");
        // A doctor's code fills its cell and goes on to the person it was
        // for, which is asked: the titular's 0.
        type(s, "10", "Médicos no Brasil");
        step(s, "Enter", "Informe o Nro do Dependente/Alimentando");
        s.keys("Enter");
        ASSERT_TRUE(s.wait_gone("Informe o Nro do Dependente/Alimentando", 5s)) << s.screen_text();
        // The number stays 0, and its check says again what 0 means.
        step(s, "Enter", "Informe o Nro do Dependente/Alimentando");
        s.keys("Enter");
        ASSERT_TRUE(s.wait_gone("Informe o Nro do Dependente/Alimentando", 5s)) << s.screen_text();
        type(s, "52998224725", "52998224725");
        step(s, "Enter", "529.982.247-25");
        enter(s, "2000", "2.000,00");
        to_menu(s);
    }
    static void key_assets_and_debts(TmuxSession& s) {
        step(s, "F5", "DECLARAÇÃO DE BENS");
        s.keys("Right");
        enter(s, "CASA RESIDENCIAL", "CASA RESIDENCIAL");
        enter(s, "100000", "100.000,00");
        enter(s, "120000", "Totais                                             100.000,00      120.000,00");
        step(s, "Tab", "DÍVIDAS E ONUS REAIS");
        s.keys("Right");
        enter(s, "FINANCIAMENTO CASA", "FINANCIAMENTO CASA");
        s.text("0");
        s.keys("Enter");
        enter(s, "30000", "Totais                                                              30.000,00");
        to_menu(s);
    }
    static void key_spouse(TmuxSession& s) {
        step(s, "M-n", "Informação do Cônjugue");
        step(s, "i", "Informações do Cônjuge");
        type(s, "12345678909", "123.456.789-09");
        type(s, "N", "Auto N");
        type(s, "S", "Somente deve-se marcar valores aqui");
        s.keys("Enter");
        ASSERT_TRUE(s.wait_gone("Somente deve-se marcar valores aqui", 5s)) << s.screen_text();
        enter(s, "20000", "20.000,00");
        enter(s, "1500", "Resultado                    18.500,00");
        to_menu(s);
    }
    // The properties, the months as totals, the result, the herd, the
    // activity's assets and debts.
    static void key_rural(TmuxSession& s) {
        step(s, "F12", "IDENTIFICAÇÃO DA ATIVIDADE");
        // Cattle raising, the whole property, its sole owner.
        enter(s, "11", "│11 │");
        enter(s, "100", "100.00");
        enter(s, "1", "100.00│1 ");
        enter(s, "FAZENDA BOA VISTA", "FAZENDA BOA VISTA");
        // A new activity's months are typed as totals.
        step(s, "Tab", "RECEITAS E DESPESAS MENSAIS");
        step(s, "", " Só Totais");
        step(s, "", "Alt A muda p/L. Caixa");
        enter(s, "30000", "30.000,00");
        enter(s, "10000", "Totais                  30.000,00      10.000,00");
        step(s, "Tab", "APURAÇÃO DO RESULTADO");
        step(s, "", "20.000,00");
        step(s, "Tab", "MOVIMENTAÇÃO DO REBANHO");
        for (const char* n : {"50", "5", "", "", "10"}) {
            s.text(n);
            s.keys("Enter");
        }
        ASSERT_TRUE(s.wait_for(herd_row(), 5s)) << s.screen_text();
        step(s, "Tab", "BENS DA ATIVIDADE RURAL");
        s.keys("Right");
        enter(s, "TRATOR MF 275", "TRATOR MF 275");
        enter(s, "2", "TRATOR MF 275                                        │ 2│");
        enter(s, "80000", "80.000,00");
        step(s, "Tab", "DÍVIDAS VINCULADAS");
        s.keys("Right");
        enter(s, "CUSTEIO AGRICOLA", "CUSTEIO AGRICOLA");
        enter(s, "5000", "5.000,00");
        enter(s, "15000", "5.000,00      15.000,00");
        to_menu(s);
    }
    static void key_variable_income(TmuxSession& s) {
        step(s, "F9", "RENDA VARIÁVEL");
        enter(s, "10000", "18.Imposto Operação comum (15%)│      1.500,00");
        to_menu(s);
    }
    static void key_balance_and_notes(TmuxSession& s) {
        step(s, "F10", "BALANÇO");
        s.keys("Enter");
        enter(s, "1000", "Outras receitas               1.000,00");
        to_menu(s);
        step(s, "F11", "ANOTAÇÕES E OBSERVAÇÕES");
        enter(s, "3", "Status da declaração   3");
        s.keys("Enter");
        type(s, "12345678", "Celular 1234-5678");
        to_menu(s);
    }
};

TEST_F(E2eDeclarationPages, EveryPageKeyedIsFoundBackAfterARestart) {
    {
        auto s = start();
        open_declaration(*s, true);
        key_identification(*s);
        key_legal_person(*s);
        key_natural_person(*s);
        key_exempt_and_exclusive(*s);
        key_dependant_and_payment(*s);
        key_dependants_sheet(*s);
        key_assets_and_debts(*s);
        key_spouse(*s);
        key_rural(*s);
        key_variable_income(*s);
        step(*s, "F8", "GANHO DE CAPITAL");
        to_menu(*s);
        step(*s, "F7", "7.560,55");
        to_menu(*s);
        key_balance_and_notes(*s);
        check_pages(*s, false);
        save_and_leave(*s);
    }
    auto s = start();
    open_declaration(*s, false);
    check_pages(*s, true);
    save_and_leave(*s);
    EXPECT_FALSE(std::filesystem::exists(prog / "Error.log"));
}

}  // namespace
