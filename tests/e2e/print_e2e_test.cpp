// A taxpayer registered through the declaration item and then printed from
// the print menu into the "NAO DOS" file of the work folder.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "e2e/declaration_e2e.hpp"

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
    s.keys("Escape");
    ASSERT_TRUE(s.wait_for("Terminar", 5s)) << s.screen_text();
    // The print bar, its first item, and the taxpayer the prompt offers.
    for (int i = 0; i < 3; ++i) s.keys("Right");
    ASSERT_TRUE(s.wait_for("imp Não Dos", 5s)) << s.screen_text();
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("F1 Ordem CPF", 5s)) << s.screen_text();
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

}  // namespace
