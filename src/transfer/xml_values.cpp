#include "transfer/xml_values.hpp"

#include <array>
#include <cmath>

#include "common/calendar_names.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/value.hpp"

namespace qv::transfer {

namespace {

using Table = std::array<std::string_view, 256>;

void map_bytes(Table& t, std::initializer_list<unsigned char> bytes, std::string_view to) {
    for (unsigned char b : bytes) t[b] = to;
}

void map_range(Table& t, unsigned char first, unsigned char last, std::string_view to) {
    for (int b = first; b <= last; ++b) t[static_cast<unsigned char>(b)] = to;
}

// Code page 850 bytes and what they become; an empty entry passes as is.
Table build_table() {
    Table t{};
    map_bytes(t, {0xA0, 0x85, 0xC6, 0x83, 0x84, 0x86}, "a");
    map_bytes(t, {0xB7, 0xB5, 0xC7, 0xB6, 0x8E, 0x8F}, "A");
    map_bytes(t, {0x82, 0x8A, 0x88, 0x89}, "e");
    map_bytes(t, {0x90, 0xD4, 0xD2, 0xD3, 0x7F}, "E");
    map_bytes(t, {0xA1, 0x8D, 0x8C, 0x8B}, "i");
    map_bytes(t, {0xD6, 0xDE, 0xD7, 0xD8}, "I");
    map_bytes(t, {0xA2, 0x95, 0xE4, 0x93, 0x94, 0x9B}, "o");
    map_bytes(t, {0xE0, 0xE3, 0xE5, 0xE2, 0x99}, "O");
    map_bytes(t, {0xA3, 0x97, 0x96, 0x81}, "u");
    map_bytes(t, {0xE9, 0xEB, 0xEA, 0x9A}, "U");
    map_bytes(t, {0x87}, "c");
    map_bytes(t, {0x80}, "C");
    map_bytes(t, {'"', '\'', '#'}, " ");
    map_bytes(t, {0xA7}, "o");
    map_bytes(t, {0xA6}, "a");
    map_bytes(t, {'&'}, "e");
    map_bytes(t, {'<', '>', '_'}, "-");
    map_bytes(t, {0xFD}, "2");
    map_bytes(t, {0xFC}, "3");
    map_bytes(t, {0x9C}, "L");
    map_bytes(t, {0x9D}, "O");
    map_bytes(t, {0x9E}, "x");
    map_bytes(t, {0x9F}, "f");
    map_bytes(t, {0x91}, "ae");
    map_bytes(t, {0x92}, "AE");
    map_bytes(t, {0x98}, "y");
    map_bytes(t, {0xAB, 0xAC, 0xA4, 0xA5, 0xA8, 0xA9, 0xAA, 0xAD, 0xAE, 0xAF}, " ");
    map_range(t, 0xB0, 0xB4, " ");
    map_range(t, 0xB8, 0xC5, " ");
    map_range(t, 0xC8, 0xD1, " ");
    map_bytes(t, {0xD5, 0xDF, 0xE1, 0xFE, 0xFF}, " ");
    map_range(t, 0xD9, 0xDD, " ");
    map_range(t, 0xE6, 0xE8, " ");
    map_range(t, 0xEC, 0xFB, " ");
    map_range(t, 0x00, 0x1F, " ");
    return t;
}

const Table& transliteration() {
    static const Table table = build_table();
    return table;
}

bool unsafe(unsigned char c) {
    return c < 0x20 || c >= 0x7F || c == '"' || c == '&' || c == '<' || c == '>';
}

std::string replace_bytes(std::string_view text, bool only_unsafe) {
    const Table& t = transliteration();
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (t[c].empty() || (only_unsafe && !unsafe(c))) out += ch;
        else out += t[c];
    }
    return out;
}

bool overflowed(std::string_view shown) { return shown.find('*') != std::string_view::npos; }

// The picture's output, trimmed; the wider picture when the number does
// not fit the usual one.
std::string shown(double n, std::string_view picture, std::string_view wider) {
    std::string s = rt::TRANSFORM(rt::Value(n), picture);
    if (overflowed(s)) s = rt::TRANSFORM(rt::Value(n), wider);
    return rt::ALLTRIM(s);
}

std::string plain_text(double n) {
    std::string s = rt::STR(n, 12, 2);
    if (overflowed(s)) s = rt::STR(n, 24, 2);
    return rt::STRTRAN(rt::STRTRAN(rt::ALLTRIM(s), ".00"), ".", ",");
}

std::string or_zero(std::string s, std::string_view zero) { return s.empty() ? std::string(zero) : s; }

}  // namespace

std::string_view close_mark(int closing) {
    if (closing == 1) return ">";
    if (closing == 2) return "/>";
    return {};
}

std::string_view close_mark(Close closing) { return close_mark(static_cast<int>(closing)); }

namespace {

std::string formatted(double n, NumberCode code) {
    switch (code) {
    case NumberCode::Amount:
        return or_zero(shown(n, "@Ez 999,999,999.99", "@Ez 999,999,999,999,999.99"), "0,00");
    case NumberCode::Whole:
        return or_zero(shown(n, "@Ez 999,999,999", "@Ez 999,999,999,999,999"), "0");
    case NumberCode::OneDecimal:
        return or_zero(shown(n, "@EZ 999,999.9", "@EZ 999,999,999,999,999.9"), "0");
    case NumberCode::Digits:
        return or_zero(shown(n, "@z999999999", "@Z 999999999999999999"), "0");
    case NumberCode::Plain:
        return plain_text(n);
    case NumberCode::SixDecimals:
        return shown(n, "@EZ 99.999999", "@EZ 999999999.999999");
    }
    return {};
}

// Most figures of a declaration are zero: each code's zero is formatted once.
const std::string& zero_text(NumberCode code) {
    static const std::array<std::string, 6> zeros = [] {
        std::array<std::string, 6> z;
        for (int c = 0; c < 6; ++c) z[c] = formatted(0.0, static_cast<NumberCode>(c));
        return z;
    }();
    return zeros[static_cast<std::size_t>(code)];
}

}  // namespace

std::string number_text(double n, NumberCode code) {
    const bool known_code = static_cast<int>(code) >= 0 && static_cast<int>(code) < 6;
    if (n == 0.0 && !std::signbit(n) && known_code) return zero_text(code);
    return formatted(n, code);
}

std::string CONVNRO(double n, int closing, int mode) {
    const auto code = mode >= 1 && mode <= 5 ? static_cast<NumberCode>(mode) : NumberCode::Amount;
    return '"' + number_text(n, code) + '"' + std::string(close_mark(closing));
}

std::string CONVCAR(std::string_view text) { return replace_bytes(text, false); }

std::string guard_text(std::string_view text) { return replace_bytes(text, true); }

std::string SEMPONTO(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '.' || c == ',' || c == '/' || c == '\\' || c == ')' || c == '(') c = ' ';
    return out;
}

std::string POEASPAS(std::string_view text, int closing, int transliterate) {
    const std::string safe = transliterate == 1 ? CONVCAR(text) : guard_text(text);
    return '"' + rt::ALLTRIM(safe) + '"' + std::string(close_mark(closing));
}

std::string date_text(rt::Date d) { return rt::DTOC(d); }

std::string time_stamp(rt::Date d, std::string_view hhmmss) { return date_text(d) + ' ' + std::string(hhmmss); }

std::string cpf_text(std::string_view cpf) {
    return guard_text(rt::TRANSFORM(rt::Value(rt::PADR(rt::ALLTRIM(cpf), 11)), "@R 999.999.999-99"));
}

std::string month_element(int month, bool padded) {
    const std::string name = rt::LOWER(common::TRAZ_MES(month));
    return padded ? rt::PADR(name, 9) : rt::TRIM(name);
}

}  // namespace qv::transfer
