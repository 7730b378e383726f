// "Conferência" from the main menu on a declaration with known faults (a
// new taxpayer with neither address nor voter's card): both are listed, and
// the counts stay in sight beside the list.
#include <gtest/gtest.h>

#include "e2e/declaration_e2e.hpp"

using namespace std::chrono_literals;

namespace {

class E2eDeclarationCheck : public qv::e2e::DeclarationE2eTest {
protected:
    E2eDeclarationCheck() : DeclarationE2eTest("qv_e2e_check_") {}
};

TEST_F(E2eDeclarationCheck, FindingsOfANewDeclarationAreListed) {
    auto s = start();
    open_declaration(*s, true);
    s->keys("Escape");
    ASSERT_TRUE(s->wait_for("P.Jur", 5s)) << s->screen_text();
    s->keys("M-t");
    ASSERT_TRUE(s->wait_for("F1 Nome F2 CPF F3 Stat", 10s)) << s->screen_text();
    s->keys("Escape");
    ASSERT_TRUE(s->wait_for("Terminar", 5s)) << s->screen_text();
    s->keys("c");
    ASSERT_TRUE(s->wait_for("F1 Nome F2 CPF F3 Stat", 5s)) << s->screen_text();
    s->text("11144477735");
    ASSERT_TRUE(s->wait_for("Notas e observa", 20s)) << s->screen_text();
    EXPECT_TRUE(s->wait_for("Endereço incompleto", 5s)) << s->screen_text();
    EXPECT_TRUE(s->wait_for("Falta o número do título de eleitor", 5s)) << s->screen_text();
    // The result line stands in the taxpayer box, below the list.
    EXPECT_TRUE(s->wait_for("Conferido.  Resultado =======>", 5s)) << s->screen_text();
}

}  // namespace
