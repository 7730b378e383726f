// In a declaration's identification page the municipality comes from the
// list of the state's municipalities: a typed letter jumps the list and
// Enter fills the field; F1 on the field opens the list again.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "e2e/declaration_e2e.hpp"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

class E2eMunicipalityList : public qv::e2e::DeclarationE2eTest {
protected:
    E2eMunicipalityList() : DeclarationE2eTest("qv_e2e_muni_") {}
    // Enter n times, one field at a time.
    static void next_fields(qv::e2e::TmuxSession& s, int n) {
        for (int i = 0; i < n; ++i) {
            s.keys("Enter");
            usleep(150000);
        }
    }

};

TEST_F(E2eMunicipalityList, TypedLetterJumpsAndEnterFillsTheMunicipality) {
    auto session = start();
    qv::e2e::TmuxSession& s = *session;
    open_declaration(s, true);
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
