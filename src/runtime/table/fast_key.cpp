#include "runtime/table/fast_key.hpp"

#include <cctype>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "runtime/core/text.hpp"

namespace qv::rt::table {

namespace {

std::string upper_ascii(std::string_view s) {
    std::string u(s);
    for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

// Splits into identifiers, whole numbers and the punctuation ( ) + ,;
// empty on anything else.
std::vector<std::string> tokens(std::string_view s) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < s.size();) {
        const char c = s[i];
        if (c == ' ') { ++i; continue; }
        if (c == '(' || c == ')' || c == '+' || c == ',') { out.emplace_back(1, c); ++i; continue; }
        if (std::isdigit(static_cast<unsigned char>(c))) {
            std::size_t j = i;
            while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
            if (j - i > 3) return {};
            out.emplace_back(s.substr(i, j - i));
            i = j;
            continue;
        }
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            std::size_t j = i;
            while (j < s.size() && (std::isalnum(static_cast<unsigned char>(s[j])) || s[j] == '_')) ++j;
            out.push_back(upper_ascii(s.substr(i, j - i)));
            i = j;
            continue;
        }
        return {};
    }
    return out;
}

const Field* find_field(const std::vector<Field>& fields, const std::string& name) {
    for (const Field& f : fields)
        if (f.name == name) return &f;
    return nullptr;
}

// UPPER() of one byte, looked up in a table made once.
const std::array<char, 256>& upper_table() {
    static const std::array<char, 256> table = [] {
        std::array<char, 256> t{};
        for (int c = 0; c < 256; ++c) t[static_cast<std::size_t>(c)] = upper_char(static_cast<char>(c));
        return t;
    }();
    return table;
}

// DTOS() of a D field: YYYYMMDD, or eight blanks for an empty date.
void dtos_bytes(const Field& f, const char* raw, char* out) {
    const Date d = decode_field(f, std::string_view(raw, static_cast<std::size_t>(f.len))).as_date();
    if (d.empty()) {
        std::memset(out, ' ', 8);
        return;
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", d.year() % 10000, d.month(), d.day());
    std::memcpy(out, buf, 8);
}

bool is_number(const std::string& token) {
    return !token.empty() && std::isdigit(static_cast<unsigned char>(token.front()));
}

// STR() or STRZERO() of an N field with its width and, when given, its
// decimals: "STR(I7_0,4)", "STRZERO(BEM_NRO,2)". The tokens from `i` on
// (the function's name first); how many it took, 0 when it is not one.
std::size_t number_text_part(const std::vector<std::string>& t, std::size_t i, const std::vector<Field>& fields,
                             bool& zeros, const Field*& field, int& width, int& decimals) {
    const std::string& name = t[i];
    zeros = name == "STRZERO";
    if (!zeros && name != "STR") return 0;
    if (i + 5 >= t.size() || t[i + 1] != "(" || t[i + 3] != "," || !is_number(t[i + 4])) return 0;
    field = find_field(fields, t[i + 2]);
    if (!field || field->type != 'N') return 0;
    width = std::stoi(t[i + 4]);
    decimals = -1;
    std::size_t close = i + 5;
    if (t[close] == ",") {
        if (close + 2 >= t.size() || !is_number(t[close + 1])) return 0;
        decimals = std::stoi(t[close + 1]);
        close += 2;
    }
    if (t[close] != ")" || width < 1) return 0;
    return close + 1 - i;
}

}  // namespace

std::optional<FastKey> FastKey::compile(std::string_view expr, const std::vector<Field>& fields) {
    const std::vector<std::string> t = tokens(expr);
    if (t.empty()) return std::nullopt;
    FastKey k;
    std::size_t i = 0;
    for (;;) {
        if (i >= t.size() || t[i] == "(" || t[i] == ")" || t[i] == "+" || t[i] == "," || is_number(t[i]))
            return std::nullopt;
        const std::string name = t[i];
        bool zeros = false;
        const Field* number = nullptr;
        int width = 0, decimals = -1;
        if (const std::size_t took = number_text_part(t, i, fields, zeros, number, width, decimals)) {
            Part p{zeros ? Kind::StrZero : Kind::Str, *number};
            p.width = width;
            p.decimals = decimals;
            k.parts_.push_back(p);
            i += took;
        } else if (i + 1 < t.size() && t[i + 1] == "(") {
            if (i + 3 >= t.size() || t[i + 3] != ")") return std::nullopt;
            const Field* f = find_field(fields, t[i + 2]);
            if (!f) return std::nullopt;
            if ((name == "UPPER" || name == "UPPE") && f->type == 'C') k.parts_.push_back({Kind::Upper, *f});
            else if (name == "DTOS" && f->type == 'D') k.parts_.push_back({Kind::Dtos, *f});
            else return std::nullopt;
            i += 4;
        } else {
            const Field* f = find_field(fields, name);
            if (!f) return std::nullopt;
            switch (f->type) {
                case 'C': k.parts_.push_back({Kind::Raw, *f}); break;
                case 'N': k.parts_.push_back({Kind::Number, *f}); break;
                case 'D': k.parts_.push_back({Kind::Date, *f}); break;
                case 'L': k.parts_.push_back({Kind::Logical, *f}); break;
                default: return std::nullopt;
            }
            i += 1;
        }
        if (i == t.size()) break;
        if (t[i] != "+") return std::nullopt;
        ++i;
    }
    // A lone N, D or L field is a key of its own type; '+' only joins text.
    const Kind first = k.parts_.front().kind;
    const auto text_part = [](Kind kind) {
        return kind == Kind::Raw || kind == Kind::Upper || kind == Kind::Dtos || kind == Kind::Str ||
               kind == Kind::StrZero;
    };
    if (!text_part(first)) {
        if (k.parts_.size() != 1) return std::nullopt;
        k.type_ = first == Kind::Number ? KeyType::Numeric : first == Kind::Date ? KeyType::Date : KeyType::Logical;
        return k;
    }
    for (const Part& p : k.parts_)
        if (!text_part(p.kind)) return std::nullopt;
    return k;
}

namespace {

// The field's digits when they are already what STR() lays out with
// `decimals` decimals: blanks, then a number not below zero without
// leading zeros, with exactly those decimals. Empty otherwise.
std::string_view laid_out_digits(std::string_view raw, int field_dec, int decimals) {
    if (decimals < 0) decimals = 0;
    if (decimals != field_dec) return {};
    const std::size_t start = raw.find_first_not_of(' ');
    if (start == std::string_view::npos) return {};
    const std::string_view text = raw.substr(start);
    if (text.size() > 15) return {};   // beyond what a double holds exactly
    const std::size_t whole = decimals > 0 ? text.size() - static_cast<std::size_t>(decimals) - 1 : text.size();
    if (decimals > 0 && (text.size() < static_cast<std::size_t>(decimals) + 2 || text[whole] != '.')) return {};
    if (whole == 0) return {};
    for (std::size_t i = 0; i < text.size(); ++i)
        if (i != whole && (text[i] < '0' || text[i] > '9')) return {};
    if (whole > 1 && text[0] == '0') return {};
    return text;
}

}  // namespace

// STR() or STRZERO() of the field's number, as the functions give it.
std::string FastKey::number_text(const Part& p, const char* raw) {
    const std::string_view bytes(raw, static_cast<std::size_t>(p.field.len));
    const auto width = static_cast<std::size_t>(p.width);
    if (const std::string_view digits = laid_out_digits(bytes, p.field.dec, p.decimals); !digits.empty()) {
        if (digits.size() > width) return std::string(width, '*');
        std::string out(width - digits.size(), p.kind == Kind::StrZero ? '0' : ' ');
        out += digits;
        return out;
    }
    const double n = decode_field(p.field, bytes).as_number();
    return p.kind == Kind::StrZero ? STRZERO(n, p.width, p.decimals) : STR(n, p.width, p.decimals);
}

std::string FastKey::eval(const char* record, KeyType type, int key_len) const {
    if (type_ != KeyType::Character) {
        const Part& p = parts_.front();
        const std::string_view raw(record + p.field.offset, static_cast<std::size_t>(p.field.len));
        return encode_key(decode_field(p.field, raw), type, key_len);
    }
    std::string key(static_cast<std::size_t>(key_len), ' ');
    eval_into(record, key_len, key.data());
    return key;
}

void FastKey::eval_into(const char* record, int key_len, char* out) const {
    const auto kl = static_cast<std::size_t>(key_len);
    std::size_t at = 0;
    for (const Part& p : parts_) {
        if (at >= kl) break;
        const char* raw = record + p.field.offset;
        const std::size_t part_len = p.kind == Kind::Dtos                                  ? 8
                                     : p.kind == Kind::Str || p.kind == Kind::StrZero ? static_cast<std::size_t>(p.width)
                                                                                       : static_cast<std::size_t>(p.field.len);
        const std::size_t len = std::min(part_len, kl - at);
        switch (p.kind) {
            case Kind::Raw: std::memcpy(out + at, raw, len); break;
            case Kind::Upper: {
                const auto& up = upper_table();
                for (std::size_t j = 0; j < len; ++j) out[at + j] = up[static_cast<unsigned char>(raw[j])];
                break;
            }
            case Kind::Dtos: {
                char d[8];
                dtos_bytes(p.field, raw, d);
                std::memcpy(out + at, d, std::min<std::size_t>(len, 8));
                break;
            }
            case Kind::Str:
            case Kind::StrZero: std::memcpy(out + at, number_text(p, raw).data(), len); break;
            default: break;
        }
        at += len;
    }
    if (at < kl) std::memset(out + at, ' ', kl - at);
}

}  // namespace qv::rt::table
