// A declaration with tax to pay is imported, opened and saved, and the
// slip of its first quota is printed from the print menu into the print
// file of the terminal.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "e2e/converter_steps.hpp"
#include "e2e/tmux_session.hpp"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// A 2012 declaration of one taxpayer with 50.000,00 of salary and nothing withheld.
std::string declaration() {
    auto at = [](std::string line, int from, const std::string& value) {
        if (line.size() < from - 1 + value.size()) line.resize(from - 1 + value.size(), ' ');
        line.replace(from - 1, value.size(), value);
        return line;
    };
    const std::string header = at(at("IRPF    ", 9, "2012"), 165, "1234567890");
    const std::string id = at(at("16", 3, "11144477735"), 14, "MARIA DA SILVA");
    const std::string income = at(at(at("21", 14, "12345678000195"), 28, "EMPRESA"), 88, "0000005000000");
    return header + "\r\n" + id + "\r\n" + income + "\r\nT9\r\n";
}

class E2eDarf : public ::testing::Test {
protected:
    void SetUp() override {
        if (!qv::e2e::tmux_available()) GTEST_SKIP() << "tmux is not installed";
        fs::remove_all(root);
        for (const auto& d : {prog, home, source}) fs::create_directories(d);
        std::ofstream(source / "a.DEC", std::ios::binary) << declaration();
        // Installed as the README says: the print program beside the program.
        fs::copy_file(fs::path(QV_BINARY_DIR) / "qvprint", prog / "qvprint");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    // Opening and saving the declaration works out its tax and quotas.
    static void open_and_save(qv::e2e::TmuxSession& s) {
        s.keys("Enter");
        ASSERT_TRUE(s.wait_for("F1 Nome F2 CPF F3 Stat", 5s)) << s.screen_text();
        s.text("11144477735");
        ASSERT_TRUE(s.wait_for("P.Jur", 5s)) << s.screen_text();
        s.keys("M-t");
        ASSERT_TRUE(s.wait_for("F1 Nome F2 CPF F3 Stat", 10s)) << s.screen_text();
        s.keys("Escape");
        ASSERT_TRUE(s.wait_for("Terminar", 5s)) << s.screen_text();
    }

    fs::path root = fs::temp_directory_path() / ("qv_e2e_darf_" + std::to_string(getpid()));
    fs::path prog = root / "prog", home = root / "home", source = root / "receita";
};

TEST_F(E2eDarf, QuotaSlipReachesThePrintFile) {
    const char* path = std::getenv("PATH");
    qv::e2e::TmuxSession s(std::string(QV_BINARY_DIR) + "/qv2012v", prog.string(),
                           {"DQV2012=" + prog.string() + "/", "TERMINAL=01", "HOME=" + home.string(),
                            "PATH=" + std::string(QV_SOURCE_DIR) + "/tests/tools:" + (path ? path : ""),
                            "QV_LP_LOG=" + (root / "lp.log").string()});
    qv::e2e::import_declarations(s, source.string(), prog.string(), "MARIA DA SILVA");
    if (HasFatalFailure()) return;
    open_and_save(s);
    if (HasFatalFailure()) return;
    // Selecão > 1 (what to print) > Darfes.
    s.keys("Right");
    s.keys("Right");
    ASSERT_TRUE(s.wait_for("1-IRenda modo Receita", 5s)) << s.screen_text();
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("Darfes", 5s)) << s.screen_text();
    for (int i = 0; i < 4; ++i) s.keys("Down");
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("1-Darfes", 5s)) << s.screen_text();
    // Impressão > Impressão (the next pull-down), the taxpayer, then the slip dialog.
    s.keys("Right");
    ASSERT_TRUE(s.wait_for("imp Não Dos", 5s)) << s.screen_text();
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("F1 Ordem CPF", 5s)) << s.screen_text();
    s.text("11144477735");
    ASSERT_TRUE(s.wait_for("0211  I.Renda", 10s)) << s.screen_text();
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("Só uma", 5s)) << s.screen_text();
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("Quota:", 5s)) << s.screen_text();
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("Pagto. da quota 1 de", 5s)) << s.screen_text();
    bool asked = false;
    for (int field = 0; field < 4 && !asked; ++field) {
        s.keys("Enter");
        asked = s.wait_for("Confirma a alteração ?", 1s);
    }
    ASSERT_TRUE(asked) << s.screen_text();
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("Outro tipo de DARF?", 10s)) << s.screen_text();
    s.keys("Right");
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("imp Não Dos", 5s)) << s.screen_text();

    std::ifstream in(prog / "NAO-DOS.TXT", std::ios::binary);
    const std::string printed{std::istreambuf_iterator<char>(in), {}};
    EXPECT_NE(printed.find("D  A  R  F"), std::string::npos) << printed;
    EXPECT_NE(printed.find("111.444.777-35"), std::string::npos) << printed;
    EXPECT_NE(printed.find("Pagto. da quota 1 de"), std::string::npos) << printed;
    EXPECT_NE(printed.find("0211|"), std::string::npos) << printed;
    // The print program handed the slip to the printer.
    std::ifstream job(root / "lp.log.1", std::ios::binary);
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(job), {}).find("D  A  R  F"), std::string::npos);
    EXPECT_FALSE(fs::exists(prog / "Error.log"));
}

}  // namespace
