#pragma once
// A tax-program declaration file read whole: its header, its lines, and
// whether it can be converted at all. A file is taken only when it was read
// to its "T9" trailer, so a cut file changes nothing.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "converter/declaration_line.hpp"

namespace qv::converter {

// The bytes of an open file and the reading position.
struct FileBuffer {
    std::string bytes;
    std::size_t pos = 0;
};

// The characters from the position up to and including the next LF or NUL,
// leaving the position after them; empty at the end of the file.
std::string LELINHA(FileBuffer& file);

struct Header {
    std::string kind;          // columns 1-4: "ESPL", "SAID" or other
    std::string file_kind;     // columns 1-8
    int year = 0;              // columns 9-12
    std::string receipt;       // this declaration's receipt, 12 characters
    std::string previous;      // the previous declaration's receipt
};

// The header of a 2011 or 2012 file; nothing for any other line.
std::optional<Header> read_header(std::string_view first_line);

// A 10-digit receipt with its two modulus-11 check digits; blank stays blank.
std::string receipt_number(std::string_view ten_digits);

enum class FileFault { None, Unreadable, Empty, NotDeclaration, WrongLayout, Truncated };

struct DeclarationFile {
    std::string name;                // file name, without folder
    Header header;
    std::vector<std::string> texts;  // lines without their LF (and CR)
    FileFault fault = FileFault::None;

    bool is2012() const { return header.year == 2012; }
    Line line(std::size_t i) const { return Line(texts[i]); }
};

// Reads and checks a file: header of 2011 or 2012, record 16 next, and the
// "T9" trailer at its end.
DeclarationFile read_declaration(const std::string& path);
DeclarationFile parse_declaration(std::string name, std::string bytes);

// The conversion report's words for a fault.
std::string fault_text(FileFault fault);

}  // namespace qv::converter
