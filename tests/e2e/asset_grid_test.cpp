// Three assets typed into the declaration's assets grid, one deleted, the
// declaration saved; after a restart the two others are there.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/declaration_e2e.hpp"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

class E2eAssetGrid : public qv::e2e::DeclarationE2eTest {
protected:
    E2eAssetGrid() : DeclarationE2eTest("qv_e2e_assets_") {}
    // The declaration of the test's taxpayer, on its assets page.
    static void open_assets(qv::e2e::TmuxSession& s, bool new_taxpayer) {
        open_declaration(s, new_taxpayer);
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
