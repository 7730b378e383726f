#pragma once
// Whether the terminal the program was started on can show its screens:
// checked before anything is drawn, so that the program never runs blind
// or cut.
#include <optional>
#include <string>
#include <string_view>

namespace qv::shell {

constexpr int kScreenRows = 25;
constexpr int kScreenColumns = 80;

// What is wrong with a terminal of type `term` and size rows x columns
// (0 when the size is not known), in UTF-8 for the user; nothing when it
// will do.
std::optional<std::string> terminal_unfit(std::string_view term, int rows, int columns);

// The same for the terminal on standard output (TERM and its window size).
std::optional<std::string> current_terminal_unfit();

}  // namespace qv::shell
