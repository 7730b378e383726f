#pragma once
// Picture masks: how values are shown (TRANSFORM, @ SAY) and entered (GET).
// Display and entry read a picture the same way, so a field always edits in
// the layout it is shown in.
//
// A picture is an optional function part and a template:
//   - It has a function part only when it starts with "@". The function part
//     runs from the "@" up to the FIRST blank; everything after that one
//     blank is the template, verbatim (further blanks are template literals).
//     Without a blank the whole picture is function letters and there is no
//     template. Unknown function letters are ignored. Thus:
//       "@99"     functions "9","9" (ignored), no template: a number shows in
//                 the default STR() width;
//       "@Z9"     function Z (and an ignored "9"), no template;
//       "@z999.9" function Z plus ignored "9", "9", "9", ".", "9", no template;
//       "@ 99"    no functions, template "99".
//   - Function letters, in any case and any combination:
//       E  European numbers: "." between thousands, "," before decimals
//          (dates are already day/month/year);
//       Z  a number that rounds to zero shows as blanks;
//       R  template literals are inserted into character data instead of
//          replacing its characters, and are left out again on entry;
//       K  entry: the first key clears the field unless it moves the cursor;
//       S<n> entry: the field scrolls inside n columns; display: character
//          data is cut to n columns;
//       !  letters upper case (CP850 accented letters too);
//       D  date layout (dates always show as DTOC());
//       B  numbers left-justified;
//       C  " CR" after positive numbers;   X  " DB" after negative numbers;
//       (  negative numbers in parentheses instead of a sign.
//   - Template characters: 9 digit (and sign, for numbers); # digit, blank or
//     sign; ! any character, upper-cased; X any; A letter; N letter or digit;
//     L logical T/F/Y/N; Y Y/N; for numbers "$" and "*" are digit positions
//     whose leading blanks show as "$" / "*". In a number template the first
//     "." marks the decimals and "," separates thousands (shown only after a
//     digit, blank otherwise). Every other character is a literal. Template
//     letters are read in any case.
//   - Numbers: rounded half away from zero to the template's decimals; the
//     "-" sits just left of the first digit; a number that does not fit shows
//     as asterisks over the whole template width. A number without template
//     takes the default STR() layout (10 columns; 13 with 2 decimals for a
//     fraction).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include "runtime/core/value.hpp"

namespace qv::rt {

struct PictureFunctions {
    bool european = false;      // @E
    bool zero_blank = false;    // @Z
    bool insert_literals = false;  // @R
    bool clear_first = false;   // @K
    bool upper = false;         // @!
    bool date = false;          // @D
    bool left_justify = false;  // @B
    bool credit = false;        // @C
    bool debit = false;         // @X
    bool parentheses = false;   // @(
    int scroll = 0;             // @S<n>; 0 = no scrolling
};

struct Picture {
    PictureFunctions fn;
    std::string mask;           // the template; empty when there is none

    bool has_mask() const { return !mask.empty(); }
};

Picture parse_picture(std::string_view picture);

// Template positions that take a character of the value.
bool is_text_slot(char t);     // 9 # ! X A N L Y $ * (any case)
bool is_number_slot(char t);   // 9 # $ *

// A number laid into a number template (only E of the functions applies
// here: Z, B, C, X and ( are display decorations). Asterisks over the
// template width when it does not fit.
std::string format_number(double n, std::string_view mask, bool european);
// The template a number without one edits in: STR()'s default layout of n
// written as 9s with a "." ("9999999999", "9999999999.99").
std::string default_number_mask(double n);
// Decimal places a number template holds (digit positions after its ".").
int mask_decimals(std::string_view mask);

// TRANSFORM(): the value as shown under the picture, CP850. Nil and arrays
// give "".
std::string TRANSFORM(const Value& v, std::string_view picture);

// What a GET needs to edit a value under a picture. The buffer is the text
// being edited (positions 0-based); the value type is the one of the value
// the editor was made for.
class PictureEdit {
public:
    PictureEdit(std::string_view picture, const Value& original);

    Type type() const { return type_; }
    const Picture& picture() const { return pic_; }

    // The edit buffer for v: length() bytes. A number shows as TRANSFORM()
    // would without B, C, X and ( ; a zero under @Z is blank.
    std::string buffer(const Value& v) const;
    // The buffer with every editable position blank and the literals (and
    // the decimal mark) in place: the field after the first key cleared it.
    std::string blank_buffer() const;

    std::size_t length() const { return mask_.size(); }
    // Columns the field takes on screen: the @S width, else length().
    std::size_t display_width() const;

    bool editable(std::size_t pos) const;
    std::optional<std::size_t> first_editable() const;
    std::optional<std::size_t> last_editable() const;
    std::optional<std::size_t> next_editable(std::size_t pos) const;   // after pos
    std::optional<std::size_t> prev_editable(std::size_t pos) const;   // before pos

    // The character to store when c is typed at pos, or nothing when the
    // position refuses it (upper-casing for ! and @!, digits only at 9, ...).
    std::optional<char> accept(std::size_t pos, char c) const;

    // Numbers: where the decimal mark sits in the buffer (none for whole
    // numbers) and the key that jumps there ("," under @E, else ".").
    std::optional<std::size_t> decimal_pos() const;
    char decimal_char() const { return pic_.fn.european ? ',' : '.'; }
    // Numbers: where the integer part of the buffer ends (the decimal mark,
    // or the end), and how many digits it holds.
    std::size_t integer_end() const;
    std::size_t integer_capacity() const;
    // The integer part of the buffer showing `digits` (no leading zeros)
    // right-aligned, with the thousands marks between them and the sign
    // before them, as TRANSFORM() shows the number.
    std::string integer_layout(std::string_view digits, bool negative) const;

    // @K: the first key that is not a movement clears the field. Number
    // fields traditionally clear on the first digit as well; that choice is
    // left to the caller.
    bool clears_on_first_key() const { return pic_.fn.clear_first; }

    // The value the edited buffer stands for. Numbers: thousands marks and
    // literals dropped, the decimal mark read at decimal_pos(), "-" or "("
    // anywhere makes it negative. Characters: under @R the template literals
    // are left out; a buffer shorter than the original value keeps the
    // original's remaining characters. Dates: CTOD(). Logicals: T or Y.
    Value value(std::string_view buffer) const;
    // False only for a date buffer that is neither blank nor a real date.
    bool acceptable(std::string_view buffer) const;

private:
    Picture pic_;
    Type type_;
    std::string mask_;          // one template character per buffer position
    std::size_t original_len_ = 0;
    std::string original_;      // character values: the text being edited
};

}  // namespace qv::rt
