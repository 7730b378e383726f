// Three assets typed into the declaration's assets grid, one deleted, the
// declaration saved; after a restart the two others are there.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>

#include "e2e/tmux_session.hpp"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

class E2eAssetGrid : public ::testing::Test {
protected:
    void SetUp() override {
        if (!qv::e2e::tmux_available()) GTEST_SKIP() << "tmux is not installed";
        root = fs::temp_directory_path() / ("qv_e2e_assets_" + std::to_string(getpid()));
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
    // Main menu item 11, the CPF, and the assets page of the declaration.
    static void open_assets(qv::e2e::TmuxSession& s, bool new_taxpayer) {
        ASSERT_TRUE(s.wait_for("Declaração", 20s)) << s.screen_text();
        s.keys("Enter");
        ASSERT_TRUE(s.wait_for("F1 Nome F2 CPF F3 Stat", 5s)) << s.screen_text();
        s.text("11144477735");
        if (new_taxpayer) {
            ASSERT_TRUE(s.wait_for("Inclui?", 5s)) << s.screen_text();
            s.keys("Enter");
        }
        ASSERT_TRUE(s.wait_for("P.Jur", 5s)) << s.screen_text();
        s.keys("F5");
        ASSERT_TRUE(s.wait_for("Discriminação", 5s)) << s.screen_text();
    }
    // One asset on the blank line: its item, then its description.
    static void add_asset(qv::e2e::TmuxSession& s, const char* item, const char* description) {
        s.keys("Home");
        s.text(item);
        s.keys("Enter");
        s.text(description);
        s.keys("Enter");
        ASSERT_TRUE(s.wait_for(description, 5s)) << s.screen_text();
        s.keys("Down");
    }
    static void save_and_leave(qv::e2e::TmuxSession& s) {
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

    fs::path root, prog, home;
};

TEST_F(E2eAssetGrid, ThreeAddedOneDeletedTwoFoundAfterARestart) {
    {
        auto s = start();
        open_assets(*s, true);
        add_asset(*s, "1", "CASA NA PRAIA");
        add_asset(*s, "2", "CARRO USADO");
        add_asset(*s, "3", "TERRENO RURAL");
        // Up leaves the blank line for the last asset, Up again is the second.
        s->keys("Up");
        s->keys("Up");
        s->keys("DC");
        ASSERT_TRUE(s->wait_for("Confirma a Exclus", 5s)) << s->screen_text();
        s->text("S");
        ASSERT_TRUE(s->wait_gone("CARRO USADO", 5s)) << s->screen_text();
        save_and_leave(*s);
    }
    auto s = start();
    open_assets(*s, false);
    EXPECT_TRUE(s->wait_for("CASA NA PRAIA", 5s)) << s->screen_text();
    EXPECT_TRUE(s->wait_for("TERRENO RURAL", 5s)) << s->screen_text();
    EXPECT_EQ(s->screen_text().find("CARRO USADO"), std::string::npos) << s->screen_text();
    save_and_leave(*s);
    EXPECT_FALSE(fs::exists(prog / "Error.log"));
}

}  // namespace
