#pragma once
// The main program started in tmux on a program folder of the test's own,
// with the steps that open a declaration and that save it and leave.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "e2e/tmux_session.hpp"

namespace qv::e2e {

class DeclarationE2eTest : public ::testing::Test {
protected:
    explicit DeclarationE2eTest(std::string prefix) : prefix_(std::move(prefix)) {}

    void SetUp() override {
        if (!tmux_available()) GTEST_SKIP() << "tmux is not installed";
        namespace fs = std::filesystem;
        root = fs::temp_directory_path() / (prefix_ + std::to_string(getpid()));
        fs::remove_all(root);
        prog = root / "prog";
        home = root / "home";
        fs::create_directories(prog);
        fs::create_directories(home);
        // Installed as the README says: the print program beside the program.
        fs::copy_file(fs::path(QV_BINARY_DIR) / "qvprint", prog / "qvprint");
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    // Queue jobs go to the tests' recording lp, which writes them beside
    // the program folder.
    std::unique_ptr<TmuxSession> start(const std::string& terminal = "01") {
        const char* path = std::getenv("PATH");
        return std::make_unique<TmuxSession>(
            std::string(QV_BINARY_DIR) + "/qv2012v", prog.string(),
            std::vector<std::string>{"DQV2012=" + prog.string() + "/", "TERMINAL=" + terminal, "HOME=" + home.string(),
                                     "PATH=" + std::string(QV_SOURCE_DIR) + "/tests/tools:" + (path ? path : ""),
                                     "QV_LP_LOG=" + (root / "lp.log").string()});
    }
    // Main menu item 11, then the CPF; the declaration menu opens.
    static void open_declaration(TmuxSession& s, bool new_taxpayer) {
        using namespace std::chrono_literals;
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
    // Keys, then what the screen must come to show.
    static void step(TmuxSession& s, const std::string& keys, const std::string& shown) {
        using namespace std::chrono_literals;
        if (!keys.empty()) s.keys(keys);
        ASSERT_TRUE(s.wait_for(shown, 5s)) << "waiting for " << shown << "\n" << s.screen_text();
    }
    // Text typed and ended with Enter, then what the screen shows.
    static void enter(TmuxSession& s, const std::string& text, const std::string& shown) {
        s.text(text);
        step(s, "Enter", shown);
    }
    // Leaves the page, ends the declaration saving it, leaves the prompt and the program.
    static void save_and_leave(TmuxSession& s) {
        using namespace std::chrono_literals;
        s.keys("Escape");
        ASSERT_TRUE(s.wait_for("P.Jur", 5s)) << s.screen_text();
        s.keys("M-t");
        ASSERT_TRUE(s.wait_for("F1 Nome F2 CPF F3 Stat", 10s)) << s.screen_text();
        s.keys("Escape");
        ASSERT_TRUE(s.wait_for("Terminar", 5s)) << s.screen_text();
        s.keys("Left");
        ASSERT_TRUE(s.wait_for("Sair ", 5s)) << s.screen_text();
        s.keys("Enter");
        ASSERT_TRUE(s.wait_for("Confirma saída do programa?", 5s)) << s.screen_text();
        s.keys("Enter");
        EXPECT_TRUE(s.wait_exit(10s)) << s.screen_text();
    }

    std::filesystem::path root, prog, home;

private:
    std::string prefix_;
};

}  // namespace qv::e2e
