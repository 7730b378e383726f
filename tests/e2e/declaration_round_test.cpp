// A new taxpayer registered through the declaration item, the identification
// page filled, the declaration saved, and the program started again.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/declaration_e2e.hpp"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

class E2eDeclaration : public qv::e2e::DeclarationE2eTest {
protected:
    E2eDeclaration() : DeclarationE2eTest("qv_e2e_decl_") {}
    // The identification item of the declaration menu.
    static void identification(qv::e2e::TmuxSession& s) {
        s.keys("F6");
        ASSERT_TRUE(s.wait_for("IDENTIFICAÇÃO", 5s)) << s.screen_text();
    }
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
