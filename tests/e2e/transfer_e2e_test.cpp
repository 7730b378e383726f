// A declaration sent from the menu "Env Receita" into the tax program's
// folder: its file in the CPF folder and its item in the program's index.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "e2e/tmux_session.hpp"
#include "system/transfer/structure_check.hpp"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

class E2eTransfer : public ::testing::Test {
protected:
    void SetUp() override {
        if (!qv::e2e::tmux_available()) GTEST_SKIP() << "tmux is not installed";
        root = fs::temp_directory_path() / ("qv_e2e_transfer_" + std::to_string(getpid()));
        fs::remove_all(root);
        prog = root / "prog";
        home = root / "home";
        fs::create_directories(prog);
        fs::create_directories(home);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    std::unique_ptr<qv::e2e::TmuxSession> start() {
        return std::make_unique<qv::e2e::TmuxSession>(
            std::string(QV_BINARY_DIR) + "/qv2012v", prog.string(),
            std::vector<std::string>{"DQV2012=" + prog.string() + "/", "TERMINAL=01", "HOME=" + home.string()});
    }
    static std::string read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // A new taxpayer registered and saved through the declaration item,
    // from the main menu back to it.
    static void register_taxpayer(qv::e2e::TmuxSession& s, const std::string& cpf) {
        s.keys("Enter");
        ASSERT_TRUE(s.wait_for("F1 Nome F2 CPF F3 Stat", 5s)) << s.screen_text();
        s.text(cpf);
        ASSERT_TRUE(s.wait_for("Inclui?", 5s)) << s.screen_text();
        s.keys("Enter");
        ASSERT_TRUE(s.wait_for("P.Jur", 5s)) << s.screen_text();
        s.keys("M-t");
        ASSERT_TRUE(s.wait_for("F1 Nome F2 CPF F3 Stat", 5s)) << s.screen_text();
        s.keys("Escape");
        ASSERT_TRUE(s.wait_for("Terminar", 5s)) << s.screen_text();
    }
    // Where a new terminal's settings put the tax program's declarations.
    fs::path tax_program_folder() const { return home / "ProgramasRFB/IRPF2012/aplicacao/dados"; }
    fs::path root, prog, home;
};

TEST_F(E2eTransfer, OneTaxpayerFromTheMenuReachesTheTaxProgramFolder) {
    auto s = start();
    ASSERT_TRUE(s->wait_for("Declaração", 20s)) << s->screen_text();
    register_taxpayer(*s, "11144477735");
    if (HasFatalFailure()) return;

    // Env Receita, "Somente um contribuinte".
    s->keys("M-e");
    ASSERT_TRUE(s->wait_for("Somente um contribuinte", 5s)) << s->screen_text();
    s->keys("Enter");
    ASSERT_TRUE(s->wait_for("Evite o envio", 5s)) << s->screen_text();
    s->keys("Enter");
    ASSERT_TRUE(s->wait_for("F1 Nome F2 CPF F3 Stat", 5s)) << s->screen_text();
    s->text("11144477735");
    ASSERT_TRUE(s->wait_for("foi transferida para o programa da receita", 20s)) << s->screen_text();
    s->keys("Enter");

    const fs::path dados = tax_program_folder();
    const std::string declaration = read(dados / "11144477735" / "11144477735.XML");
    EXPECT_TRUE(declaration.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<classe ")) << declaration;
    EXPECT_TRUE(declaration.ends_with("</classe>"));
    EXPECT_EQ(qv::transfer::testing::structure_problems(declaration), std::vector<std::string>{});
    const std::string index = read(dados / "iddeclaracoes.xml");
    EXPECT_NE(index.find("<item cpf=\"111.444.777-35\""), std::string::npos) << index;
    EXPECT_TRUE(index.ends_with("</classe>")) << index;
    EXPECT_FALSE(fs::exists(prog / "Error.log"));
}

// "Todos os CPFs da pasta atual" sends every taxpayer of the folder: the
// walk keeps the work copies open from one declaration to the next, and each
// file still names its own taxpayer.
TEST_F(E2eTransfer, EveryTaxpayerOfTheFolderIsSentByTheWalk) {
    auto s = start();
    ASSERT_TRUE(s->wait_for("Declaração", 20s)) << s->screen_text();
    const std::vector<std::string> cpfs{"11144477735", "52998224725"};
    for (const std::string& cpf : cpfs) {
        register_taxpayer(*s, cpf);
        if (HasFatalFailure()) return;
    }
    s->keys("M-e");
    ASSERT_TRUE(s->wait_for("Todos os CPFs da pasta atual", 5s)) << s->screen_text();
    s->keys("t");
    ASSERT_TRUE(s->wait_for("Evite enviar", 5s)) << s->screen_text();
    s->keys("Enter");

    const fs::path dados = tax_program_folder();
    const auto sent = [&] {
        const std::string index = read(dados / "iddeclaracoes.xml");
        return index.find("cpf=\"529.982.247-25\"") != std::string::npos &&
               index.find("cpf=\"111.444.777-35\"") != std::string::npos;
    };
    for (int i = 0; i < 200 && !sent(); ++i) std::this_thread::sleep_for(100ms);
    ASSERT_TRUE(sent()) << s->screen_text();
    for (const std::string& cpf : cpfs) {
        SCOPED_TRACE(cpf);
        const std::string declaration = read(dados / cpf / (cpf + ".XML"));
        const std::string shown = cpf.substr(0, 3) + "." + cpf.substr(3, 3) + "." + cpf.substr(6, 3) + "-" + cpf.substr(9);
        EXPECT_NE(declaration.find("cpf=\"" + shown + "\""), std::string::npos);
        EXPECT_EQ(qv::transfer::testing::structure_problems(declaration), std::vector<std::string>{});
    }
    EXPECT_FALSE(fs::exists(prog / "Error.log"));
}

}  // namespace
