// One real-estate sale entered on the capital-gains page: the list shows its
// tax and the exclusive-taxation page of the declaration its taxable gain.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>

#include "e2e/tmux_session.hpp"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

class E2eCapitalGain : public ::testing::Test {
protected:
    void SetUp() override {
        if (!qv::e2e::tmux_available()) GTEST_SKIP() << "tmux is not installed";
        root = fs::temp_directory_path() / ("qv_e2e_gain_" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "prog");
        fs::create_directories(root / "home");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    fs::path root;
};

TEST_F(E2eCapitalGain, RealEstateSaleShowsItsTaxInTheListAndItsGainInTheDeclaration) {
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

    s.keys("F8");
    ASSERT_TRUE(s.wait_for("Totais........", 5s)) << s.screen_text();
    s.keys("IC");
    ASSERT_TRUE(s.wait_for("Item do bem:", 5s)) << s.screen_text();
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("Informando 0", 5s)) << s.screen_text();
    s.keys("Enter");
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("Digite o nro da opera", 5s)) << s.screen_text();
    s.text("1");
    s.text("11144477735");
    s.keys("Enter");
    s.text("COMPRADOR");
    s.keys("Enter");
    s.text("CASA");
    s.keys("Enter");
    s.text("10032000");
    s.text("20052011");
    for (int i = 0; i < 8; ++i) s.keys("Enter");
    s.text("300000");
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("Se for o caso responda", 5s)) << s.screen_text();
    s.keys("Escape");
    ASSERT_TRUE(s.wait_for("Vai ser usado ?", 5s)) << s.screen_text();
    s.keys("Escape");
    s.text("200000");
    s.keys("Enter");
    s.keys("Enter");
    s.keys("Enter");
    s.text("7882,86");
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("52.552,40", 5s)) << s.screen_text();
    s.keys("Escape");
    ASSERT_TRUE(s.wait_for("7.882,86", 5s)) << s.screen_text();
    EXPECT_TRUE(s.wait_for("CASA", 5s)) << s.screen_text();
    s.keys("Escape");
    ASSERT_TRUE(s.wait_for("P.Jur", 5s)) << s.screen_text();

    // Exclusive taxation: line 02 carries the taxable gain after the recalculation.
    s.keys("F3");
    ASSERT_TRUE(s.wait_for("RENDIMENTOS", 5s)) << s.screen_text();
    s.keys("Tab");
    ASSERT_TRUE(s.wait_for("TRIBUTAÇÃO EXCLUSIVA", 5s)) << s.screen_text();
    EXPECT_TRUE(s.wait_for("52.552,40", 5s)) << s.screen_text();
    EXPECT_FALSE(fs::exists(root / "prog" / "Error.log"));
}

}  // namespace
