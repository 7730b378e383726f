// qv2012v: the main program. main() only reads the command line, picks the
// terminal backend and hands over to MAIN.
#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "runtime/core/cp850.hpp"
#include "runtime/screen/backend.hpp"
#include "shell/main_program.hpp"
#include "shell/terminal_check.hpp"

int main(int argc, char** argv) {
    std::optional<std::string> terminal;
    if (argc > 1) terminal = qv::rt::utf8_to_cp850(argv[1]);
    if (const auto unfit = qv::shell::current_terminal_unfit()) {
        std::fprintf(stderr, "qv2012v: %s\n", unfit->c_str());
        return 1;
    }
    int code = 1;
    try {
        qv::rt::use_terminal();
        code = qv::shell::MAIN(terminal);
    } catch (const std::exception& e) {
        qv::rt::use_headless();
        std::fprintf(stderr, "qv2012v: %s\n", e.what());
        return 1;
    }
    // Leaving the terminal backend puts the terminal back as it was.
    qv::rt::use_headless();
    return code;
}
