// The terminal is checked before anything is drawn.
#include <gtest/gtest.h>

#include "shell/terminal_check.hpp"

namespace qv::shell {
namespace {

TEST(TerminalCheck, SaysWhatIsMissing) {
    struct Case {
        const char* term;
        int rows, columns;
        const char* said;   // nullptr: the terminal will do
    } const cases[] = {
        {"xterm-256color", 25, 80, nullptr},  {"linux", 50, 132, nullptr},
        {"xterm", 0, 0, nullptr},             // size unknown: not refused for it
        {"", 25, 80, "TERM="},                {"dumb", 25, 80, "TERM=dumb"},
        {"xterm", 24, 80, "80 colunas e 24 linhas"}, {"xterm", 25, 79, "79 colunas e 25 linhas"},
    };
    for (const Case& c : cases) {
        const auto said = terminal_unfit(c.term, c.rows, c.columns);
        SCOPED_TRACE(std::string(c.term) + " " + std::to_string(c.rows) + "x" + std::to_string(c.columns));
        if (!c.said) {
            EXPECT_FALSE(said) << *said;
            continue;
        }
        ASSERT_TRUE(said);
        EXPECT_NE(said->find(c.said), std::string::npos) << *said;
    }
}

}  // namespace
}  // namespace qv::shell
