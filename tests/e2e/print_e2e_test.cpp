// A taxpayer registered through the declaration item, or imported and never
// opened, printed from the print menu into the "NAO DOS" file of the work
// folder.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "e2e/converter_steps.hpp"
#include "e2e/declaration_e2e.hpp"
#include "system/converter/declaration_writer.hpp"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

class E2ePrint : public qv::e2e::DeclarationE2eTest {
protected:
    E2ePrint() : DeclarationE2eTest("qv_e2e_print_") {}
    std::string printed_once_complete(std::string_view last, std::chrono::seconds limit) const {
        std::string text;
        for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;) {
            std::ifstream in(prog / "NAO-DOS.TXT", std::ios::binary);
            text.assign(std::istreambuf_iterator<char>(in), {});
            if (text.find(last) != std::string::npos) return text;
            std::this_thread::sleep_for(100ms);
        }
        return text;
    }
    // From the CPF prompt to the print bar's first item, whose own taxpayer
    // prompt opens.
    static void open_print_prompt(qv::e2e::TmuxSession& s) {
        s.keys("Escape");
        ASSERT_TRUE(s.wait_for("Terminar", 5s)) << s.screen_text();
        for (int i = 0; i < 3; ++i) s.keys("Right");
        ASSERT_TRUE(s.wait_for("imp Não Dos", 5s)) << s.screen_text();
        s.keys("Enter");
        ASSERT_TRUE(s.wait_for("F1 Ordem CPF", 5s)) << s.screen_text();
    }
};

TEST_F(E2ePrint, TheWholeDeclarationGoesToTheFileFromTheMenu) {
    auto session = start();
    qv::e2e::TmuxSession& s = *session;
    open_declaration(s, true);
    s.keys("F6");
    ASSERT_TRUE(s.wait_for("IDENTIFICAÇÃO", 5s)) << s.screen_text();
    s.keys("Enter");
    s.text("MARIA DA SILVA");
    s.keys("Enter");
    s.keys("Escape");
    ASSERT_TRUE(s.wait_for("P.Jur", 5s)) << s.screen_text();
    s.keys("M-t");
    ASSERT_TRUE(s.wait_for("F1 Nome F2 CPF F3 Stat", 5s)) << s.screen_text();
    // The print bar, its first item, and the taxpayer the prompt offers.
    open_print_prompt(s);
    if (HasFatalFailure()) return;
    s.keys("Enter");
    const std::string out = printed_once_complete("ENTREGA-LA NESSAS CONDICOES", 20s);
    std::size_t at = 0;
    for (const char* wanted : {"Nome: MARIA DA SILVA", "CPF: 111.444.777-35", "IDENTIFICACAO DO CONTRIBUINTE",
                               "RENDIMENTOS ISENTOS E NAO-TRIBUTAVEIS", "\f", "DECLARACAO DE BENS E DIREITOS", "\f",
                               "RESUMO", " B A L A N C O", "\f", "ESSA DECLARACAO ESTA COM PROBLEMAS DE CAIXA"}) {
        at = out.find(wanted, at);
        ASSERT_NE(at, std::string::npos) << wanted << "\n" << s.screen_text();
    }
    // The whole declaration asks nothing about gains: they follow its pages.
    EXPECT_FALSE(s.wait_for("Nro. do ganho de capital", 1s)) << s.screen_text();
    EXPECT_FALSE(fs::exists(prog / "Error.log"));
}

// Imported from the tax program's file and printed without being opened:
// the summary, the balance and the flat's gain carry the figures its pages
// show (worked by hand in the system test of the imported declarations).
TEST_F(E2ePrint, AnImportedDeclarationPrintsItsFiguresWithoutBeingOpened) {
    using qv::test_support::Record;
    const fs::path source = root / "receita";
    fs::create_directories(source);
    std::ofstream(source / "bia.DEC", std::ios::binary) << qv::test_support::declaration_text({
        qv::test_support::header(2012), qv::test_support::identification("12345678909", "BIA APARTAMENTO"),
        Record("21").at(14, "12345678000195").at(28, "EMPRESA").num(88, 100, 6318000).num(127, 139, 900000),
        Record("60").at(14, "01").at(16, "APARTAMENTO").at(168, "10032000"),
        Record("63").at(14, "1").at(15, "01").at(76, "20052011").num(85, 97, 50000000).num(98, 110, 30000000)
            .at(230, "N").at(231, "N").at(233, "S")});
    auto session = start();
    qv::e2e::TmuxSession& s = *session;
    qv::e2e::import_declarations(s, source.string(), prog.string(), "BIA");
    if (HasFatalFailure()) return;
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("F1 Nome F2 CPF F3 Stat", 5s)) << s.screen_text();
    open_print_prompt(s);
    if (HasFatalFailure()) return;
    s.text("12345678909");
    const std::string out = printed_once_complete("Rendimento isento e nao-tributavel", 20s);
    std::size_t at = 0;
    // The simplified model: 63.180,00 less 20 % is 50.544,00; 27,5 % of it
    // less 8.687,45 is 5.212,15, of the 9.000,00 withheld 3.787,85 comes back.
    for (const char* wanted : {"Nome: BIA APARTAMENTO", "RESUMO", "Base de calculo              50.544,00",
                               "IMPOSTO A RESTITUIR..         3.787,85", "Rend. trib. exclusiva        105.104,78",
                               "Saldo  .......               254.180,00", "APURACAO DO GANHO DE CAPITAL",
                               "67.636,17", "27.259,05", "15.765,71"}) {
        at = out.find(wanted, at);
        ASSERT_NE(at, std::string::npos) << wanted << "\n" << out << "\n" << s.screen_text();
    }
    EXPECT_EQ(out.find("PROBLEMAS DE CAIXA"), std::string::npos) << out;
    EXPECT_FALSE(fs::exists(prog / "Error.log"));
}

}  // namespace
