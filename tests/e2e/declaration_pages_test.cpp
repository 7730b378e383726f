// A declaration keyed as a clerk keys it, touching every kind of page:
// identification with rural activity in Brazil, income from a company, the
// exempt income, the spouse, the rural months, result and herd, the tax and
// the balance; saved, the program started again, and every value and total
// found back where it was.
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

    // Keys, then what the screen must come to show.
    static void step(TmuxSession& s, const std::string& keys, const char* shown) {
        if (!keys.empty()) s.keys(keys);
        ASSERT_TRUE(s.wait_for(shown, 5s)) << "waiting for " << shown << "\n" << s.screen_text();
    }
    static void type(TmuxSession& s, const std::string& text, const char* shown) {
        s.text(text);
        ASSERT_TRUE(s.wait_for(shown, 5s)) << "waiting for " << shown << "\n" << s.screen_text();
    }
    static void to_menu(TmuxSession& s) {
        s.keys("Escape");
        ASSERT_TRUE(s.wait_gone("1=PJ 2=PF", 5s)) << s.screen_text();
    }
    // The bovines' row: 50 at the start, 5 bought, 10 sold, 45 at the end,
    // each under its column.
    static std::string herd_row() {
        return "Bovinos e bufalinos" + std::string(15, ' ') + "50" + std::string(7, ' ') + "5" + std::string(22, ' ') +
               "10" + std::string(6, ' ') + "45";
    }
    // The pages that hold the values, each with what it must show.
    static void check_pages(TmuxSession& s) {
        step(s, "F6", "MARIA DA SILVA");
        step(s, "", "61 anos 9 meses");
        to_menu(s);
        step(s, "F1", "60.000,00");
        step(s, "", "Rec. Fonte     5.000,00");
        to_menu(s);
        step(s, "F3", "1.000,00");
        to_menu(s);
        step(s, "M-n", "Informação do Cônjugue");
        step(s, "i", "Resultado                    18.500,00");
        to_menu(s);
        step(s, "F12", "IDENTIFICAÇÃO DA ATIVIDADE");
        step(s, "Tab", "Totais                  30.000,00      10.000,00");
        step(s, "Tab", "APURAÇÃO DO RESULTADO");
        step(s, "", "20.000,00");
        step(s, "Tab", herd_row().c_str());
        to_menu(s);
        // 66,000.00 less 13,200.00: 52,800.00 at 27.5 % less 8,687.45.
        step(s, "F7", "12.TOTAL DO IMPOSTO DEVIDO                            5.832,55");
        to_menu(s);
        step(s, "F10", "Outras receitas               1.000,00");
        to_menu(s);
    }
};

TEST_F(E2eDeclarationPages, EveryPageKeyedIsFoundBackAfterARestart) {
    {
        auto s = start();
        open_declaration(*s, true);
        // Identification: rural activity in Brazil, the name, the age at once.
        step(*s, "Enter", "IDENTIFICAÇÃO");
        type(*s, "S", "Ativ. rural: S/N  S");
        type(*s, "S", "Brasil    S");
        ASSERT_TRUE(s->wait_gone("Salvando IMP", 5s)) << s->screen_text();
        type(*s, "MARIA DA SILVA", "MARIA DA SILVA");
        s->keys("Enter");
        type(*s, "15031950", "61 anos 9 meses");
        to_menu(*s);
        // A company's income with its withholding and social security.
        step(*s, "F1", "RENDIMENTOS TRIBUTÁVEIS E ISENTOS");
        s->keys("Enter");
        type(*s, "EMPRESA ABC LTDA", "EMPRESA ABC LTDA");
        s->keys("Enter");
        s->text("60000");
        step(*s, "Enter", "60.000,00");
        s->text("6600");
        step(*s, "Enter", "6.600,00");
        s->text("5000");
        step(*s, "Enter", "Rec. Fonte     5.000,00");
        to_menu(*s);
        // Exempt income.
        step(*s, "F3", "RENDIMENTOS ISENTOS");
        s->text("1000");
        step(*s, "Enter", "1.000,00");
        to_menu(*s);
        // The spouse's values typed by hand.
        step(*s, "M-n", "Informação do Cônjugue");
        step(*s, "i", "Informações do Cônjuge");
        type(*s, "12345678909", "123.456.789-09");
        type(*s, "N", "Auto N");
        type(*s, "S", "Somente deve-se marcar valores aqui");
        s->keys("Enter");
        ASSERT_TRUE(s->wait_gone("Somente deve-se marcar valores aqui", 5s)) << s->screen_text();
        s->text("20000");
        step(*s, "Enter", "20.000,00");
        s->text("1500");
        step(*s, "Enter", "Resultado                    18.500,00");
        to_menu(*s);
        // The rural months as totals, the result, the herd.
        step(*s, "F12", "IDENTIFICAÇÃO DA ATIVIDADE");
        step(*s, "Tab", "RECEITAS E DESPESAS MENSAIS");
        step(*s, "M-a", "Alt A muda p/L. Caixa");
        s->text("30000");
        step(*s, "Enter", "30.000,00");
        s->text("10000");
        step(*s, "Enter", "Totais                  30.000,00      10.000,00");
        step(*s, "Tab", "APURAÇÃO DO RESULTADO");
        step(*s, "", "20.000,00");
        step(*s, "Tab", "MOVIMENTAÇÃO DO REBANHO");
        for (const char* n : {"50", "5", "", "", "10"}) {
            s->text(n);
            s->keys("Enter");
        }
        ASSERT_TRUE(s->wait_for(herd_row(), 5s)) << s->screen_text();
        to_menu(*s);
        step(*s, "F7", "5.832,55");
        to_menu(*s);
        // The balance: other resources typed.
        step(*s, "F10", "BALANÇO");
        s->keys("Enter");
        s->text("1000");
        step(*s, "Enter", "Outras receitas               1.000,00");
        to_menu(*s);
        check_pages(*s);
        save_and_leave(*s);
    }
    auto s = start();
    open_declaration(*s, false);
    check_pages(*s);
    save_and_leave(*s);
    EXPECT_FALSE(std::filesystem::exists(prog / "Error.log"));
}

}  // namespace
