#pragma once
// A letter of the office: a text file of the data folder that may start
// with a 19-character page-format header, and the state of the letter open
// in the editor.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "common/letter_names.hpp"

namespace qv::office {

struct LetterFormat {
    int left = 0;      // columns
    int right = 0;     // columns; kept and edited, not used when printing
    int width = 136;   // columns of text
    int lines = 66;    // lines per page
    int top = 0;       // lines
    int bottom = 0;    // lines
    bool operator==(const LetterFormat&) const = default;
};

// The format a new letter starts with: 80 columns, 66 lines, no margins.
inline constexpr LetterFormat kNewLetterFormat{0, 0, 80, 66, 0, 0};

// The pending command of the editor after a pass of the text editor.
inline constexpr std::string_view kNoCommand = "NONE";

struct LetterDoc {
    std::string name;          // file name, lower case, no folder
    std::string text;          // the text after the header, CR LF line ends
    LetterFormat format;
    int tab_size = 4;
    bool insert = true;
    std::size_t cursor = 0;    // offset in the text (line ends counted as one)
    std::size_t first_line = 0;
    int row = 1, col = 1;      // cursor's text line and column
    int window_row = 1, window_col = 1;
    bool modified = false;
    int last_key = 0;
    std::string search;        // the last text searched for
    std::string command{kNoCommand};
};

// The header for a format: "▓│", left, right and width in 3 columns,
// lines, top and bottom in 2, then "│▓" (CP850).
std::string FORMATA(const LetterFormat& f);
// The text of a letter file split into its format (the defaults when it has
// no header) and its text.
struct LetterParts {
    LetterFormat format;
    std::string text;
};
LetterParts MEMORDOC(std::string_view file_text);
// What is written to the file: the header only when the format is not the
// defaults, then the text.
std::string letter_file_text(const LetterFormat& f, std::string_view text);

using common::letter_file_name;
using common::letter_path;

// Reads the named letter into a fresh document; a missing file gives an
// empty letter of that name.
LetterDoc ABRTXT(std::string_view name);
// Saves the document when it was modified, with its messages; true when the
// file now holds the text.
bool EDITWRITE(LetterDoc& doc);

}  // namespace qv::office
