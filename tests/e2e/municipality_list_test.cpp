// In a declaration's identification page the municipality comes from the
// list of the state's municipalities: a typed letter jumps the list and
// Enter fills the field; F1 on the field opens the list again.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "e2e/tmux_session.hpp"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

class E2eMunicipalityList : public ::testing::Test {
protected:
    void SetUp() override {
        if (!qv::e2e::tmux_available()) GTEST_SKIP() << "tmux is not installed";
        root = fs::temp_directory_path() / ("qv_e2e_muni_" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "prog");
        fs::create_directories(root / "home");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    // Enter n times, one field at a time.
    static void next_fields(qv::e2e::TmuxSession& s, int n) {
        for (int i = 0; i < n; ++i) {
            s.keys("Enter");
            usleep(150000);
        }
    }

    fs::path root;
};

TEST_F(E2eMunicipalityList, TypedLetterJumpsAndEnterFillsTheMunicipality) {
    const std::string prog = (root / "prog").string();
    qv::e2e::TmuxSession s(std::string(QV_BINARY_DIR) + "/qv2012v", prog,
                           {"DQV2012=" + prog + "/", "TERMINAL=01", "HOME=" + (root / "home").string()});
    ASSERT_TRUE(s.wait_for("Declaração", 20s)) << s.screen_text();
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("F1 Nome F2 CPF F3 Stat", 5s)) << s.screen_text();
    s.text("11144477735");
    ASSERT_TRUE(s.wait_for("Inclui?", 5s)) << s.screen_text();
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("P.Jur", 5s)) << s.screen_text();
    s.keys("F6");
    ASSERT_TRUE(s.wait_for("IDENTIFICAÇÃO", 5s)) << s.screen_text();
    // Down to the street type, whose empty value opens its own list.
    next_fields(s, 12);
    ASSERT_TRUE(s.wait_for("Tipo Endereço", 5s)) << s.screen_text();
    s.text("R");
    ASSERT_TRUE(s.wait_for("Ramal", 5s)) << s.screen_text();
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("Tipo Ramal", 5s)) << s.screen_text();
    // Down to the state; the state's municipalities are listed.
    next_fields(s, 7);
    s.text("SP");
    ASSERT_TRUE(s.wait_for("Adamantina", 5s)) << s.screen_text();
    s.text("T");
    ASSERT_TRUE(s.wait_for("Tabapuã", 5s)) << s.screen_text();
    s.keys("Enter");
    EXPECT_TRUE(s.wait_for("Município  Tabapuã", 5s)) << s.screen_text();
    // F1 on the municipality field opens its list again (not the first
    // page); a state's line chosen there leaves the municipality alone.
    s.keys("F1");
    ASSERT_TRUE(s.wait_for("AC - Acre", 5s)) << s.screen_text();
    s.text("S");
    ASSERT_TRUE(s.wait_for("SC - Santa Catarina", 5s)) << s.screen_text();
    s.keys("Enter");
    ASSERT_TRUE(s.wait_gone("AC - Acre", 5s)) << s.screen_text();
    EXPECT_TRUE(s.wait_for("UFSC  Município  Tabapuã", 5s)) << s.screen_text();
    EXPECT_TRUE(s.wait_for("IDENTIFICAÇÃO", 5s)) << s.screen_text();
}

}  // namespace
