// A new taxpayer registered through the declaration item, the identification
// page filled, the declaration saved, and the program started again.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>

#include "e2e/tmux_session.hpp"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

class E2eDeclaration : public ::testing::Test {
protected:
    void SetUp() override {
        if (!qv::e2e::tmux_available()) GTEST_SKIP() << "tmux is not installed";
        root = fs::temp_directory_path() / ("qv_e2e_decl_" + std::to_string(getpid()));
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
    // Main menu item 11, then the CPF; the declaration menu opens.
    static void open_declaration(qv::e2e::TmuxSession& s, bool new_taxpayer) {
        ASSERT_TRUE(s.wait_for("Declaração", 20s)) << s.screen_text();
        s.keys("Enter");
        ASSERT_TRUE(s.wait_for("F1 Nome F2 CPF F3 Stat", 5s)) << s.screen_text();
        // The field ends by itself when its eleven digits are typed; a new
        // taxpayer is registered on "Sim".
        s.text("11144477735");
        if (new_taxpayer) {
            ASSERT_TRUE(s.wait_for("Inclui?", 5s)) << s.screen_text();
            s.keys("Enter");
        }
        ASSERT_TRUE(s.wait_for("P.Jur", 5s)) << s.screen_text();
    }
    // The identification item of the declaration menu.
    static void identification(qv::e2e::TmuxSession& s) {
        s.keys("F6");
        ASSERT_TRUE(s.wait_for("IDENTIFICAÇÃO", 5s)) << s.screen_text();
    }
    // Leaves the page, ends the declaration saving it, leaves the prompt and the program.
    static void save_and_leave(qv::e2e::TmuxSession& s) {
        s.keys("Escape");
        ASSERT_TRUE(s.wait_for("P.Jur", 5s)) << s.screen_text();
        s.keys("M-t");
        ASSERT_TRUE(s.wait_for("F1 Nome F2 CPF F3 Stat", 5s)) << s.screen_text();
        s.keys("Escape");
        ASSERT_TRUE(s.wait_for("Terminar", 5s)) << s.screen_text();
        s.keys("Left");
        ASSERT_TRUE(s.wait_for("Sair ", 5s)) << s.screen_text();
        s.keys("Enter");
        ASSERT_TRUE(s.wait_for("Confirma saída do programa?", 5s)) << s.screen_text();
        s.keys("Enter");
        EXPECT_TRUE(s.wait_exit(10s)) << s.screen_text();
    }

    fs::path root, prog, home;
};

TEST_F(E2eDeclaration, NewTaxpayerOpensOnTheIdentificationAndComesBack) {
    {
        auto s = start();
        open_declaration(*s, true);
        // A new taxpayer's menu opens on the identification bar.
        ASSERT_TRUE(s->wait_for("Identificação", 5s)) << s->screen_text();
        identification(*s);
        EXPECT_TRUE(s->wait_for("111.444.777-35", 5s)) << s->screen_text();
        s->keys("Enter");
        s->text("MARIA DA SILVA");
        s->keys("Enter");
        save_and_leave(*s);
    }
    auto s = start();
    open_declaration(*s, false);
    identification(*s);
    EXPECT_TRUE(s->wait_for("111.444.777-35", 5s)) << s->screen_text();
    save_and_leave(*s);
    EXPECT_FALSE(fs::exists(prog / "Error.log"));
}

TEST_F(E2eDeclaration, SavedIdentificationKeepsItsValues) {
    {
        auto s = start();
        open_declaration(*s, true);
        identification(*s);
        s->keys("Enter");
        s->text("MARIA DA SILVA");
        s->keys("Enter");
        save_and_leave(*s);
    }
    auto s = start();
    open_declaration(*s, false);
    identification(*s);
    EXPECT_TRUE(s->wait_for("MARIA DA SILVA", 5s)) << s->screen_text();
    save_and_leave(*s);
}

}  // namespace
