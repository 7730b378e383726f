// Declarations of the tax program imported by the converter, sent with
// "Todos os CPFs da pasta atual" before anyone opened them: each file's tax
// is the tax its declaration's tax page shows once opened.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "e2e/converter_steps.hpp"
#include "e2e/tmux_session.hpp"
#include "system/converter/declaration_writer.hpp"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using qv::test_support::Record;

namespace {

struct Taxpayer {
    std::string cpf, name;
    std::vector<Record> records;
};

// One employer: 63.180,00 with 9.000,00 withheld.
Record employer() {
    return Record("21").at(14, "12345678000195").at(28, "EMPRESA").num(88, 100, 6318000).num(127, 139, 900000);
}

std::vector<Taxpayer> taxpayers() {
    return {
        {"11144477735", "ANA SIMPLES", {employer()}},
        {"52998224725",
         "BRUNO DEPENDENTES",
         {employer(),
          Record("25").num(14, 18, 1).at(19, "21").at(21, "DORA").at(81, "01012000").at(89, "11111111111"),
          Record("25").num(14, 18, 3).at(19, "21").at(21, "EDU").at(81, "01012003").at(89, "22222222222"),
          Record("26").at(14, "01").num(16, 20, 3).at(21, "12345678000195").at(35, "ESCOLA").num(106, 118, 100000)
              .at(133, "D"),
          Record("26").at(14, "30").num(16, 20, 1).at(21, "33333333333").at(35, "CARLA").num(106, 118, 240000)
              .at(133, "A"),
          Record("35").at(14, "0").num(15, 19, 1).at(20, "CARLA").at(80, "01011990").at(88, "33333333333")}},
        // A flat sold in cash: the walk asks nothing about the cash of a
        // declaration whose gain it computes before sending.
        {"12345678909",
         "BIA GANHOS",
         {employer(), Record("60").at(14, "01").at(16, "APARTAMENTO").at(168, "10032000").at(178, "VENDA"),
          Record("63").at(14, "1").at(15, "01").at(76, "20052011").num(85, 97, 50000000).num(98, 110, 30000000)
              .at(230, "N").at(231, "N").at(233, "S")}},
        {"71428793860",
         "CARLOS RURAL",
         {employer(),
          Record("50").at(14, "0").at(15, "12345678").at(23, "SITIO BOA VISTA").num(138, 147, 1250)
              .num(148, 152, 10000).at(153, "1").at(154, "01"),
          Record("51").at(14, "0").num(15, 16, 3).num(17, 29, 50000).num(30, 42, 800000)}},
    };
}

std::string read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The tax (line 21) the complete model's page shows: its right column's
// second figure.
std::string tax_on_page(const std::string& screen) {
    // The figure beside the page's first "Imposto devido" label.
    std::smatch m;
    const std::regex tax(R"(Imposto devido +(\d{1,3}(\.\d{3})*,\d{2}))");
    return std::regex_search(screen, m, tax) ? m[1].str() : std::string("<no tax on the page>");
}

class E2eImportedTransfer : public ::testing::Test {
protected:
    void SetUp() override {
        if (!qv::e2e::tmux_available()) GTEST_SKIP() << "tmux is not installed";
        root = fs::temp_directory_path() / ("qv_e2e_imported_" + std::to_string(getpid()));
        fs::remove_all(root);
        prog = root / "prog";
        home = root / "home";
        source = root / "receita";
        for (const auto& d : {prog, home, source}) fs::create_directories(d);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    fs::path root, prog, home, source;
};

TEST_F(E2eImportedTransfer, EachFileCarriesTheTaxOfItsTaxPage) {
    const auto people = taxpayers();
    for (const Taxpayer& t : people) {
        std::vector<Record> records{qv::test_support::header(2012, "IRPF    ", ""),
                                    qv::test_support::identification(t.cpf, t.name).at(228, "SP").at(387, "S")};
        records.insert(records.end(), t.records.begin(), t.records.end());
        qv::test_support::write_file((source / (t.cpf + ".DEC")).string(), qv::test_support::declaration_text(records));
    }
    qv::e2e::TmuxSession s(std::string(QV_BINARY_DIR) + "/qv2012v", prog.string(),
                           {"DQV2012=" + prog.string() + "/", "TERMINAL=01", "HOME=" + home.string()});
    qv::e2e::import_declarations(s, source.string() + "/", prog.string() + "/", people.back().name);
    if (HasFatalFailure()) return;

    // Env Receita, "Todos os CPFs da pasta atual": nothing is asked on the way.
    s.keys("M-e");
    ASSERT_TRUE(s.wait_for("Todos os CPFs da pasta atual", 5s)) << s.screen_text();
    s.keys("t");
    ASSERT_TRUE(s.wait_for("Evite enviar", 5s)) << s.screen_text();
    s.keys("Enter");
    const fs::path dados = home / "ProgramasRFB/IRPF2012/aplicacao/dados";
    const auto all_sent = [&] {
        const std::string index = read(dados / "iddeclaracoes.xml");
        for (const Taxpayer& t : people)
            if (index.find(t.cpf.substr(0, 3) + "." + t.cpf.substr(3, 3)) == std::string::npos) return false;
        return true;
    };
    for (int i = 0; i < 300 && !all_sent(); ++i) std::this_thread::sleep_for(100ms);
    ASSERT_TRUE(all_sent()) << s.screen_text();
    // The walk ends on its menu, having asked nothing and with nothing to
    // list: the bar's pop-up open again, its first item's text below.
    ASSERT_TRUE(s.wait_for("Seleciona um CPF para transferir", 10s)) << s.screen_text();
    EXPECT_FALSE(s.wait_for("Avisos do envio", 300ms)) << s.screen_text();

    // Each declaration opened, its tax page beside its file: back along the
    // bar to "Declaração", the pop-ups following (an Esc would close them).
    bool on_declaration = false;
    for (int k = 0; k < 6 && !on_declaration; ++k) {
        s.keys("Left");
        on_declaration = s.wait_for("Inicia ou modifica uma declara", 1s);
    }
    ASSERT_TRUE(on_declaration) << s.screen_text();
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("F1 Nome F2 CPF F3 Stat", 5s)) << s.screen_text();
    for (const Taxpayer& t : people) {
        SCOPED_TRACE(t.cpf);
        s.text(t.cpf);
        ASSERT_TRUE(s.wait_for("P.Jur", 10s)) << s.screen_text();
        s.keys("Escape");
        s.keys("M-c");
        ASSERT_TRUE(s.wait_for("Balanco", 5s)) << s.screen_text();
        s.keys("Enter");
        ASSERT_TRUE(s.wait_for("MODELO COMPLETO", 5s)) << s.screen_text();
        const std::string file = read(dados / t.cpf / (t.cpf + ".XML"));
        std::smatch m;
        ASSERT_TRUE(std::regex_search(file, m, std::regex(R"re( imposto="([^"]*)")re"))) << file.substr(0, 200);
        // The page's figures are drawn after its frame: the file's tax is
        // waited for, then read beside its label.
        s.wait_for(m[1].str(), 5s);
        EXPECT_EQ(m[1].str(), tax_on_page(s.screen_text())) << s.screen_text();
        EXPECT_NE(m[1].str(), "0,00");
        s.keys("Escape");
        ASSERT_TRUE(s.wait_for("P.Jur", 5s)) << s.screen_text();
        s.keys("M-t");
        ASSERT_TRUE(s.wait_for("F1 Nome F2 CPF F3 Stat", 10s)) << s.screen_text();
    }
    EXPECT_FALSE(fs::exists(prog / "Error.log"));
}

}  // namespace
