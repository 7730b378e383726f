#pragma once
// The pop-up calculator: four operations, one memory, a sign change and up
// to four decimals, drawn as a keypad in a text window that the arrows
// move. The result stays in RESULT for the caller.
#include <optional>

namespace qv::common {

// True when the user ended with Ctrl+Enter and no division by zero
// happened. The row is at most 11 and the column at most 48; without them
// the calculator opens at row 10, column 11, clear of the status line.
bool CALCULADORA(int window = 9, std::optional<int> row = {}, std::optional<int> col = {});

}  // namespace qv::common
