#include "e2e/converter_steps.hpp"

#include <gtest/gtest.h>

namespace qv::e2e {

using namespace std::chrono_literals;

void import_declarations(TmuxSession& s, const std::string& source, const std::string& prog,
                         const std::string& last_name) {
    ASSERT_TRUE(s.wait_for("Importação", 20s)) << s.screen_text();
    s.keys("I");   // Declaração > Importação
    ASSERT_TRUE(s.wait_for("Conversao", 20s)) << s.screen_text();
    s.keys("R");   // Receita
    ASSERT_TRUE(s.wait_for("Drive e a pasta  Receita", 10s)) << s.screen_text();
    s.keys("C-y");
    s.text(source);
    s.keys("Enter");
    s.keys("Enter");
    s.keys("C-y");
    s.text(prog);
    s.keys("Enter");
    // The form comes back after the checks; Esc accepts it.
    s.keys("Escape");
    ASSERT_TRUE(s.wait_for(last_name, 10s)) << s.screen_text();
    s.keys("M-=");
    s.keys("Escape");
    // Terminar; a key typed during the pause that follows an import is taken
    // by the pause, so it is typed again until the main menu is back.
    bool back = false;
    for (int attempt = 0; attempt < 3 && !back; ++attempt) {
        s.keys("M-t");
        back = s.wait_for("Declaração", 5s);
    }
    ASSERT_TRUE(back) << s.screen_text();
}

}  // namespace qv::e2e
