// qvmigrate: the data converter. Its importers come later; for now it starts
// and ends cleanly.
#include <cstdio>
#include <exception>

#include "runtime/screen/backend.hpp"

int main(int /*argc*/, char** /*argv*/) {
    try {
        qv::rt::use_terminal();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qvmigrate: %s\n", e.what());
        return 1;
    }
    qv::rt::use_headless();
    return 0;
}
