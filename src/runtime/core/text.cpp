#include "runtime/core/text.hpp"

#include <algorithm>
#include <array>

namespace qv::rt {

namespace {

// Lower/upper pairs of the letters the runtime's case functions know: the
// ASCII letters and the CP850 accented letters of Portuguese and Spanish
// text. Every other byte keeps its value.
constexpr std::array<std::pair<unsigned char, unsigned char>, 23> kAccentPairs{{
    {0xA0, 0xB5},  // á Á
    {0x85, 0xB7},  // à À
    {0x83, 0xB6},  // â Â
    {0xC6, 0xC7},  // ã Ã
    {0x84, 0x8E},  // ä Ä
    {0x87, 0x80},  // ç Ç
    {0x82, 0x90},  // é É
    {0x8A, 0xD4},  // è È
    {0x88, 0xD2},  // ê Ê
    {0xA1, 0xD6},  // í Í
    {0x8D, 0xDE},  // ì Ì
    {0x8C, 0xD7},  // î Î
    {0x8B, 0xD8},  // ï Ï
    {0xA4, 0xA5},  // ñ Ñ
    {0xA2, 0xE0},  // ó Ó
    {0x95, 0xE3},  // ò Ò
    {0x93, 0xE2},  // ô Ô
    {0xE4, 0xE5},  // õ Õ
    {0x94, 0x99},  // ö Ö
    {0xA3, 0xE9},  // ú Ú
    {0x97, 0xEB},  // ù Ù
    {0x96, 0xEA},  // û Û
    {0x81, 0x9A},  // ü Ü
}};

struct CaseTables {
    std::array<unsigned char, 256> upper{};
    std::array<unsigned char, 256> lower{};
    std::array<bool, 256> letter{};
    CaseTables() {
        for (int i = 0; i < 256; ++i) {
            upper[i] = lower[i] = static_cast<unsigned char>(i);
        }
        for (int c = 'a'; c <= 'z'; ++c) {
            upper[c] = static_cast<unsigned char>(c - 'a' + 'A');
            lower[c - 'a' + 'A'] = static_cast<unsigned char>(c);
            letter[c] = letter[c - 'a' + 'A'] = true;
        }
        for (auto [lo, up] : kAccentPairs) {
            upper[lo] = up;
            lower[up] = lo;
            letter[lo] = letter[up] = true;
        }
    }
};

const CaseTables& case_tables() {
    static const CaseTables t;
    return t;
}

std::size_t to_size(long n) { return n <= 0 ? 0 : static_cast<std::size_t>(n); }

}  // namespace

std::string SUBSTR(std::string_view s, long start, long count) {
    const long len = static_cast<long>(s.size());
    long from;   // 0-based
    if (start < 0) {
        from = std::max(0L, len + start);
    } else {
        from = start == 0 ? 0 : start - 1;
    }
    if (from >= len) return {};
    const std::size_t n = count < 0 ? std::string_view::npos : to_size(count);
    return std::string(s.substr(static_cast<std::size_t>(from), n));
}

std::string LEFT(std::string_view s, long n) {
    return std::string(s.substr(0, to_size(n)));
}

std::string RIGHT(std::string_view s, long n) {
    const std::size_t k = std::min(to_size(n), s.size());
    return std::string(s.substr(s.size() - k));
}

std::string PADR(std::string_view s, long n, char fill) {
    const std::size_t w = to_size(n);
    if (s.size() >= w) return std::string(s.substr(0, w));
    std::string out(s);
    out.append(w - s.size(), fill);
    return out;
}

std::string PADL(std::string_view s, long n, char fill) {
    const std::size_t w = to_size(n);
    if (s.size() >= w) return std::string(s.substr(0, w));
    std::string out(w - s.size(), fill);
    out += s;
    return out;
}

std::string PADC(std::string_view s, long n, char fill) {
    const std::size_t w = to_size(n);
    if (s.size() >= w) return std::string(s.substr(0, w));
    const std::size_t left = (w - s.size()) / 2;
    std::string out(left, fill);
    out += s;
    out.append(w - out.size(), fill);
    return out;
}

std::string RTRIM(std::string_view s) {
    const std::size_t end = s.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string() : std::string(s.substr(0, end + 1));
}

std::string TRIM(std::string_view s) { return RTRIM(s); }

std::string LTRIM(std::string_view s) {
    const std::size_t start = s.find_first_not_of(' ');
    return start == std::string_view::npos ? std::string() : std::string(s.substr(start));
}

std::string ALLTRIM(std::string_view s) {
    const std::size_t start = s.find_first_not_of(' ');
    if (start == std::string_view::npos) return {};
    const std::size_t end = s.find_last_not_of(' ');
    return std::string(s.substr(start, end - start + 1));
}

long AT(std::string_view needle, std::string_view hay) {
    if (needle.empty()) return 0;
    const std::size_t p = hay.find(needle);
    return p == std::string_view::npos ? 0 : static_cast<long>(p) + 1;
}

long RAT(std::string_view needle, std::string_view hay) {
    if (needle.empty()) return 0;
    const std::size_t p = hay.rfind(needle);
    return p == std::string_view::npos ? 0 : static_cast<long>(p) + 1;
}

std::string STRTRAN(std::string_view s, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(s);
    std::string out;
    out.reserve(s.size());
    std::size_t pos = 0;
    for (std::size_t hit; (hit = s.find(from, pos)) != std::string_view::npos;
         pos = hit + from.size()) {
        out += s.substr(pos, hit - pos);
        out += to;
    }
    out += s.substr(pos);
    return out;
}

std::string STUFF(std::string_view s, long start, long del, std::string_view ins) {
    const std::size_t at = std::min(start <= 1 ? 0 : to_size(start - 1), s.size());
    const std::size_t removed = std::min(to_size(del), s.size() - at);
    std::string out(s.substr(0, at));
    out += ins;
    out += s.substr(at + removed);
    return out;
}

std::string REPLICATE(std::string_view s, long n) {
    std::string out;
    out.reserve(s.size() * to_size(n));
    for (long i = 0; i < n; ++i) out += s;
    return out;
}

std::string SPACE(long n) { return std::string(to_size(n), ' '); }

char upper_char(char c) {
    return static_cast<char>(case_tables().upper[static_cast<unsigned char>(c)]);
}

char lower_char(char c) {
    return static_cast<char>(case_tables().lower[static_cast<unsigned char>(c)]);
}

std::string UPPER(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = upper_char(c);
    return out;
}

std::string LOWER(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = lower_char(c);
    return out;
}

bool ISDIGIT(std::string_view s) {
    return !s.empty() && s.front() >= '0' && s.front() <= '9';
}

bool ISALPHA(std::string_view s) {
    return !s.empty() && case_tables().letter[static_cast<unsigned char>(s.front())];
}

std::string CHR(int code) { return std::string(1, static_cast<char>(code & 0xFF)); }

int ASC(std::string_view s) {
    return s.empty() ? 0 : static_cast<unsigned char>(s.front());
}

bool EMPTY_TEXT(std::string_view s) {
    return s.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

}  // namespace qv::rt
