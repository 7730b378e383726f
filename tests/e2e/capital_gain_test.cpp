// One real-estate sale entered on the capital-gains page: the list shows its
// tax and the exclusive-taxation page of the declaration its net gain.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>

#include "e2e/declaration_e2e.hpp"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

class E2eCapitalGain : public qv::e2e::DeclarationE2eTest {
protected:
    E2eCapitalGain() : DeclarationE2eTest("qv_e2e_gain_") {}
};

TEST_F(E2eCapitalGain, RealEstateSaleShowsItsTaxInTheListAndItsNetGainInTheDeclaration) {
    auto session = start();
    qv::e2e::TmuxSession& s = *session;
    open_declaration(s, true);

    // A new taxpayer's menu opens on the identification bar; the gains bar
    // is two to its right, its first item the real-estate gains.
    ASSERT_TRUE(s.wait_for("Identificação", 5s)) << s.screen_text();
    s.keys("Right");
    s.keys("Right");
    ASSERT_TRUE(s.wait_for("G.Cap.Bens Imóveis", 5s)) << s.screen_text();
    s.keys("Enter");
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
    // Not the only home, and no reinvestment: "Não" on both questions.
    ASSERT_TRUE(s.wait_for("Se for o caso responda", 5s)) << s.screen_text();
    s.keys("Right");
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("Vai ser usado ?", 5s)) << s.screen_text();
    s.keys("Right");
    s.keys("Enter");
    s.text("200000");
    s.keys("Enter");
    s.keys("Enter");
    s.keys("Enter");
    s.text("7882,86");   // the last decimal ends the form, which is shown again
    ASSERT_TRUE(s.wait_for("100.000,00", 5s)) << s.screen_text();
    EXPECT_TRUE(s.wait_for("52.552,40", 5s)) << s.screen_text();
    s.keys("Escape");
    ASSERT_TRUE(s.wait_for("Totais........", 5s)) << s.screen_text();
    EXPECT_TRUE(s.wait_for("7.882,86", 5s)) << s.screen_text();
    s.keys("Escape");
    ASSERT_TRUE(s.wait_for("P.Jur", 5s)) << s.screen_text();

    // Exclusive taxation (second item of the "Isentos" bar, five bars to
    // the left): line 02 carries the taxable gain less the tax paid,
    // 52.552,40 - 7.882,86, after the recalculation.
    for (int i = 0; i < 5; ++i) s.keys("Left");
    ASSERT_TRUE(s.wait_for("Tributação exclusiva", 5s)) << s.screen_text();
    s.keys("Down");
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("TRIBUTAÇÃO EXCLUSIVA", 5s)) << s.screen_text();
    EXPECT_TRUE(s.wait_for("44.669,54", 5s)) << s.screen_text();
    EXPECT_FALSE(fs::exists(root / "prog" / "Error.log"));
}

}  // namespace
