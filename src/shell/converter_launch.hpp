#pragma once
// Starting the data converter from the main menu: the terminal's folder
// list is handed over to it for its run, the screen is handed to it too,
// and both are taken back when it ends.
#include <functional>
#include <string>

namespace qv::shell {

// The converter beside the running program: <folder of this program>/qvmigrate.
std::string converter_program();

// Runs a program with TERMINAL=`terminal` in its environment and waits for
// it; the exit status, or -1 when it could not be started.
int run_and_wait(const std::string& program, const std::string& terminal);

// What starts the converter (tests put their own); an empty one puts the
// real one back. Given the program and the terminal number.
using ConverterRunner = std::function<int(const std::string& program, const std::string& terminal)>;
void set_converter_runner(ConverterRunner runner);

}  // namespace qv::shell
