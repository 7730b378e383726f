#include "converter/declaration_line.hpp"

#include "common/documents.hpp"
#include "common/text_helpers.hpp"
#include "runtime/core/text.hpp"

namespace qv::converter {

std::string Line::raw(int from, int to) const {
    const auto start = static_cast<std::size_t>(from - 1);
    const auto width = static_cast<std::size_t>(to - from + 1);
    std::string out = start < text_.size() ? std::string(text_.substr(start, width)) : std::string();
    out.resize(width, ' ');
    return out;
}

char Line::at(int column) const {
    const auto at = static_cast<std::size_t>(column - 1);
    return at < text_.size() ? text_[at] : ' ';
}

std::string Line::text(int from, int to) const { return common::AJUS_CAR(raw(from, to), 1); }

std::string Line::doc(int from, int to) const { return common::CONTAPONTO(raw(from, to)); }

double Line::number(int from, int to, double divisor) const {
    bool negative = false;
    double n = 0;
    for (const char c : raw(from, to)) {
        if (c >= '0' && c <= '9') n = n * 10 + (c - '0');
        else if (c == '-') negative = true;
    }
    return (negative ? -n : n) / divisor;
}

rt::Date Line::date(int from, int to) const {
    const std::string s = raw(from, to);
    if (s.size() < 8 || rt::EMPTY_TEXT(s)) return {};
    for (int i = 0; i < 8; ++i)
        if (s[i] < '0' || s[i] > '9') return {};
    const int day = std::stoi(s.substr(0, 2)), month = std::stoi(s.substr(2, 2)), year = std::stoi(s.substr(4, 4));
    if (month < 1 || month > 12 || day < 1 || day > 31 || year < 1) return {};
    return rt::Date::from_ymd(year, month, day);
}

bool Line::blank(int from, int to) const { return rt::EMPTY_TEXT(raw(from, to)); }

}  // namespace qv::converter
