#include "runtime/core/cp850.hpp"

#include <algorithm>
#include <array>
#include <utility>

namespace qv::rt {

namespace {

// IBM code page 850, bytes 0x80-0xFF. Bytes below 0x80 are ASCII (control
// characters included) and map to themselves.
constexpr std::array<char16_t, 128> kHighHalf{
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,  // B0
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,  // C8
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,  // D0
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,  // D8
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,  // E0
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,  // E8
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,  // F0
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,  // F8
};

// Code point -> byte for the upper half, sorted by code point.
using ReverseTable = std::array<std::pair<char32_t, unsigned char>, 128>;

const ReverseTable& reverse_table() {
    static const ReverseTable table = [] {
        ReverseTable t{};
        for (std::size_t i = 0; i < kHighHalf.size(); ++i) {
            t[i] = {kHighHalf[i], static_cast<unsigned char>(0x80 + i)};
        }
        std::sort(t.begin(), t.end());
        return t;
    }();
    return table;
}

void put_utf8(std::string& out, char32_t u) {
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (u >> 18));
        out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

constexpr char32_t kInvalid = 0xFFFFFFFF;

// Decodes one UTF-8 sequence at s[i], advancing i; a malformed sequence
// consumes one byte and gives kInvalid.
char32_t next_code_point(std::string_view s, std::size_t& i) {
    const unsigned char lead = static_cast<unsigned char>(s[i++]);
    if (lead < 0x80) return lead;
    int extra;
    char32_t u;
    char32_t min;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1, u = lead & 0x1F, min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, u = lead & 0x0F, min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, u = lead & 0x07, min = 0x10000;
    } else {
        return kInvalid;
    }
    if (i + static_cast<std::size_t>(extra) > s.size()) return kInvalid;
    for (int k = 0; k < extra; ++k) {
        const unsigned char c = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
        if ((c & 0xC0) != 0x80) return kInvalid;
        u = (u << 6) | (c & 0x3F);
    }
    i += static_cast<std::size_t>(extra);
    if (u < min || u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) return kInvalid;
    return u;
}

}  // namespace

char32_t cp850_to_unicode(unsigned char c) {
    return c < 0x80 ? char32_t{c} : char32_t{kHighHalf[c - 0x80]};
}

int unicode_to_cp850(char32_t u) {
    if (u < 0x80) return static_cast<int>(u);
    const ReverseTable& t = reverse_table();
    const auto it = std::lower_bound(t.begin(), t.end(), std::pair<char32_t, unsigned char>{u, 0});
    return (it != t.end() && it->first == u) ? it->second : 0;
}

void append_utf8(std::string& out, char32_t u) { put_utf8(out, u); }

std::string cp850_to_utf8(std::string_view cp850) {
    std::string out;
    out.reserve(cp850.size() * 2);
    for (char c : cp850) put_utf8(out, cp850_to_unicode(static_cast<unsigned char>(c)));
    return out;
}

std::string utf8_to_cp850(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const char32_t u = next_code_point(utf8, i);
        const int b = (u == kInvalid) ? 0 : unicode_to_cp850(u);
        out += (b == 0 && u != 0) ? '?' : static_cast<char>(b);
    }
    return out;
}

inline namespace literals {
std::string operator""_cp(const char* utf8, std::size_t n) {
    return utf8_to_cp850(std::string_view(utf8, n));
}
}  // namespace literals

}  // namespace qv::rt
