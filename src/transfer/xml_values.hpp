#pragma once
// How every value of the declaration file is written: numbers by their
// format code, texts trimmed and made safe, dates, CPFs, the closing mark of
// an element. Every byte that leaves these helpers is 7-bit text, so the
// file is always well-formed whatever the stored data holds.
#include <string>
#include <string_view>
#include "runtime/core/date.hpp"

namespace qv::transfer {

// What follows a value: nothing, ">" (children follow) or "/>".
enum class Close { None = 0, Start = 1, Empty = 2 };

// The number formats of the attributes.
enum class NumberCode {
    Amount = 0,       // 1.234,56; zero "0,00"
    Whole = 1,        // 1.235 (rounded); zero "0"
    OneDecimal = 2,   // 1.050,5; zero "0"
    Digits = 3,       // 2011, no separators; zero "0"
    Plain = 4,        // 1234,50 / 1234 (".00" dropped); zero "0"
    SixDecimals = 5,  // 12,345678; zero ""
};

// The closing mark of a closing mode (1 ">", 2 "/>", else nothing).
std::string_view close_mark(int closing);
std::string_view close_mark(Close closing);

// The number as its code writes it, unquoted. A number too wide for the
// usual picture is written with more integer digits, never as stars.
std::string number_text(double n, NumberCode code);

// The quoted number with its closing mark. Format mode absent or 0 amount,
// 1 whole, 2 one decimal, 3 digits, 4 plain, 5 six decimals.
std::string CONVNRO(double n, int closing, int mode = 0);

// The transliteration of free texts: accented letters to plain ones, marks
// that would break the file to harmless ones, graphics to blanks. Control
// characters become blanks and the few letters without a plain form in the
// common table (å æ ÿ ø ...) their nearest plain spelling.
std::string CONVCAR(std::string_view text);
// The six characters . , / \ ) ( become blanks.
std::string SEMPONTO(std::string_view text);
// A text written as stored: only what is not plain printable 7-bit text or
// would break an attribute ( " & < > ) is replaced as CONVCAR replaces it.
std::string guard_text(std::string_view text);

// The quoted, trimmed text with its closing mark; transliterated by CONVCAR
// when `transliterate` is 1, else passed through guard_text.
std::string POEASPAS(std::string_view text, int closing, int transliterate);

// "dd/mm/yyyy"; the empty date is "  /  /    ".
std::string date_text(rt::Date d);
// The generation's time stamp: "dd/mm/yyyy hh:mm:ss".
std::string time_stamp(rt::Date d, std::string_view hhmmss);
// A CPF's eleven digits in the form "999.999.999-99" (an empty CPF gives
// the empty form ".   .   -").
std::string cpf_text(std::string_view cpf);

// The month element names: "janeiro" .. "dezembro" ("marco" without
// accent); padded to nine characters when `padded`.
std::string month_element(int month, bool padded);

}  // namespace qv::transfer
