#pragma once
// MENS: a one-line message or prompt, on the status line or in a framed
// text window. The type is frame digit x 10 + behaviour digit:
//   behaviour 0: text on the status line, no window;
//             1: window, two-tone beep, waits for any key, closes;
//             2: window, waits for a key among the valid letters (name),
//                closes; answers the letter;
//             3: window left open for the next progress message;
//             4: window with one entry field (the variable `name`) behind
//                the text, closes; answers the value entered;
//             5: as 1 without the beep.
// The frame digit is the text window frame type (1, 2, 7; 0 plain).
#include <string>
#include <string_view>
#include <vector>
#include "runtime/core/value.hpp"

namespace qv::common {

struct MensArgs {
    int row = 20;
    // A number: the left column; "E": column 2; "C": centred; anything
    // else (nil too): the window's right edge at column 75.
    rt::Value col;
    int lines = 1;
    std::string name;             // valid letters (2) or variable name (4)
    int width = 0;                // display width of a numeric variable (4)
    std::string picture = "@KS";
    std::string valid = "NDA()";  // validation of the entry field (4)
    int window = 10;
};

// With neither type nor text: clears the status line; "".
rt::Value MENS();
rt::Value MENS(int type, std::string_view text, const MensArgs& args = {});
// A framed box of the given lines (CP850) waiting for one of `keys`
// (MENS type 12 at row, col); each line stands on a row of its own, no
// word broken across rows. Answers the key typed, upper case.
std::string choose_from_lines(const std::vector<std::string>& lines, std::string_view keys, int row, const rt::Value& col);

// Writes a text at a position in the colour COR_CLI_HE.
void AVISO(std::string_view text, int row = 24, int col = 0);
// n times the pair of tones 300 Hz and 499 Hz, twice per round.
void BEEP_ERRO(int n = 1);
// A tone through the console (the terminal can only ring its bell).
void TONE(double frequency, double ticks);
// The validation that always holds.
bool NDA();

// Width of the field MENS shows for the variable's value (behaviour 4).
int entry_width(const rt::Value& v, int numeric_width);
// The empty value of a value's type, as an abandoned entry leaves it.
rt::Value empty_like(const rt::Value& v);

}  // namespace qv::common
