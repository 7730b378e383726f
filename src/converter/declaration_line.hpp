#pragma once
// One line of a tax-program declaration file, read by 1-based column
// ranges. A range is read from its first column and cut to its width;
// columns past the end of the line read as blanks.
#include <string>
#include <string_view>

#include "runtime/core/date.hpp"

namespace qv::converter {

class Line {
public:
    explicit Line(std::string_view text) : text_(text) {}

    // The two-character record type ("16", "T9").
    std::string_view type() const { return text_.substr(0, 2); }
    // Columns `from`..`to` as they stand.
    std::string raw(int from, int to) const;
    char at(int column) const;
    // A text field: Windows letters become code page 850 letters.
    std::string text(int from, int to) const;
    // A CPF or CNPJ with its separators.
    std::string doc(int from, int to) const;
    // An amount in cents; a minus sign anywhere makes it negative.
    double amount(int from, int to) const { return number(from, to, 100); }
    // An unsigned (or signed) digit string divided by `divisor`.
    double number(int from, int to, double divisor = 1) const;
    // Eight digits day, month, year; blank or invalid gives the empty date.
    rt::Date date(int from, int to) const;
    bool blank(int from, int to) const;

private:
    std::string_view text_;
};

}  // namespace qv::converter
