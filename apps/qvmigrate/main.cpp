// qvmigrate: the data converter. main() only reads the command line, picks
// the terminal backend and hands over to the converter's MAIN.
#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "converter/converter_program.hpp"
#include "converter/converter_routines.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/screen/backend.hpp"

int main(int argc, char** argv) {
    std::optional<std::string> terminal;
    if (argc > 1) terminal = qv::rt::utf8_to_cp850(argv[1]);
    int code = 1;
    try {
        qv::rt::use_terminal();
        qv::converter::register_converter_routines();
        code = qv::converter::MAIN(terminal);
    } catch (const std::exception& e) {
        qv::rt::use_headless();
        std::fprintf(stderr, "qvmigrate: %s\n", e.what());
        return 1;
    }
    qv::rt::use_headless();
    return code;
}
