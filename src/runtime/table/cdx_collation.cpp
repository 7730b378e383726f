// Key bytes of the compound index: the CP850 collation of character keys and
// the ordered encodings of numbers, dates and logicals.
#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstring>
#include "runtime/table/cdx_internal.hpp"

namespace qv::rt::table {

namespace cdx {
namespace {

// Letters in collation order, upper and lower case: each plain letter is
// followed by its accented forms.
constexpr unsigned char kUpper[] = {
    0x41, 0xB5, 0xB7, 0xB6, 0xC7, 0x8E, 0x42, 0x43, 0x80, 0x44, 0x45, 0x90, 0xD4, 0xD2,
    0x46, 0x47, 0x48, 0x49, 0xD6, 0xDE, 0xD7, 0xD8, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0xA5,
    0x4F, 0xE0, 0xE3, 0xE2, 0xE5, 0x99, 0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0xE9, 0xEB,
    0xEA, 0x9A, 0x56, 0x57, 0x58, 0x59, 0x5A};
constexpr unsigned char kLower[] = {
    0x61, 0xA0, 0x85, 0x83, 0xC6, 0x84, 0x62, 0x63, 0x87, 0x64, 0x65, 0x82, 0x8A, 0x88,
    0x66, 0x67, 0x68, 0x69, 0xA1, 0x8D, 0x8C, 0x8B, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0xA4,
    0x6F, 0xA2, 0x95, 0x93, 0xE4, 0x94, 0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0xA3, 0x97,
    0x96, 0x81, 0x76, 0x77, 0x78, 0x79, 0x7A};
static_assert(sizeof kUpper == 49 && sizeof kLower == 49);

struct Tables {
    ByteMap weight{};
    ByteMap byte{};
    ByteMap identity{};
    Tables() {
        std::array<bool, 256> placed{};
        int next = 0;
        auto place = [&](unsigned char b) {
            weight[b] = static_cast<unsigned char>(next);
            byte[next] = b;
            placed[b] = true;
            ++next;
        };
        for (int b = 0x00; b <= 0x40; ++b) place(static_cast<unsigned char>(b));
        for (unsigned char b : kUpper) place(b);
        for (int b = 0x5B; b <= 0x60; ++b) place(static_cast<unsigned char>(b));
        for (unsigned char b : kLower) place(b);
        for (int b = 0x7B; b <= 0xFF; ++b)
            if (!placed[b]) place(static_cast<unsigned char>(b));
        for (int b = 0; b < 256; ++b) identity[b] = static_cast<unsigned char>(b);
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

}  // namespace

const ByteMap& collation_weights() { return tables().weight; }
const ByteMap& collation_bytes() { return tables().byte; }
const ByteMap& identity_map() { return tables().identity; }

Codec make_codec(KeyType type, int key_len) {
    Codec c;
    c.type = type;
    c.kl = key_len;
    const bool text = type == KeyType::Character;
    c.to_sort = text ? &collation_weights() : &identity_map();
    c.from_sort = text ? &collation_bytes() : &identity_map();
    c.fill = text ? ' ' : '\0';
    c.sfill = (*c.to_sort)[c.fill];
    return c;
}

std::size_t Codec::sort_prefix_into(std::string_view raw, char* out) const {
    const std::size_t n = std::min<std::size_t>(raw.size(), static_cast<std::size_t>(kl));
    for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<char>((*to_sort)[static_cast<unsigned char>(raw[i])]);
    return n;
}

void Codec::sort_into(std::string_view raw, char* out) const {
    const std::size_t n = std::min<std::size_t>(raw.size(), static_cast<std::size_t>(kl));
    const auto& to = *to_sort;
    for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<char>(to[static_cast<unsigned char>(raw[i])]);
    std::memset(out + n, sfill, static_cast<std::size_t>(kl) - n);
}

std::string Codec::sort_form(std::string_view raw) const {
    std::string out(static_cast<std::size_t>(kl), '\0');
    sort_into(raw, out.data());
    return out;
}

std::string Codec::raw_form(std::string_view sorted) const {
    std::string out(sorted.size(), '\0');
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char>((*from_sort)[static_cast<unsigned char>(sorted[i])]);
    return out;
}

}  // namespace cdx

namespace {

// The double in big-endian order with the sign bit set for values >= 0 and
// every bit inverted for negatives, so the bytes sort as the numbers do.
std::string encode_double(double d) {
    if (d == 0.0 || std::isnan(d)) d = 0.0;   // -0 sorts as 0
    const auto bits = std::bit_cast<std::uint64_t>(d);
    const std::uint64_t ordered = (bits & 0x8000000000000000ull) ? ~bits : bits | 0x8000000000000000ull;
    std::string out(8, '\0');
    for (int i = 0; i < 8; ++i) out[i] = static_cast<char>(ordered >> (8 * (7 - i)));
    return out;
}

double decode_double(std::string_view key) {
    std::uint64_t ordered = 0;
    for (std::size_t i = 0; i < 8; ++i)
        ordered = (ordered << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
    const std::uint64_t bits = (ordered & 0x8000000000000000ull) ? ordered & ~0x8000000000000000ull : ~ordered;
    return std::bit_cast<double>(bits);
}

}  // namespace

std::string encode_key(const Value& v, KeyType type, int key_len) {
    switch (type) {
        case KeyType::Numeric: return encode_double(v.as_number());
        case KeyType::Date: return encode_double(static_cast<double>(v.as_date().julian()));
        case KeyType::Logical: return v.as_bool() ? "T" : "F";
        case KeyType::Character: break;
    }
    const std::size_t len = static_cast<std::size_t>(std::clamp(key_len, 0, cdx::kMaxKeyLen));
    std::string out = v.as_string().substr(0, len);
    out.resize(len, ' ');
    return out;
}

Value decode_key(std::string_view key, KeyType type) {
    switch (type) {
        case KeyType::Numeric: return Value(decode_double(key));
        case KeyType::Date: return Value(Date::from_julian(static_cast<std::int32_t>(decode_double(key))));
        case KeyType::Logical: return Value(!key.empty() && (key[0] == 'T' || key[0] == 't'));
        case KeyType::Character: break;
    }
    return Value(key);
}

int compare_keys(std::string_view a, std::string_view b, KeyType type, bool partial) {
    const std::size_t n = std::min(a.size(), b.size());
    if (type == KeyType::Character) {
        const auto& w = cdx::collation_weights();
        for (std::size_t i = 0; i < n; ++i) {
            const int wa = w[static_cast<unsigned char>(a[i])];
            const int wb = w[static_cast<unsigned char>(b[i])];
            if (wa != wb) return wa < wb ? -1 : 1;
        }
    } else if (n > 0) {
        const int r = std::memcmp(a.data(), b.data(), n);
        if (r != 0) return r < 0 ? -1 : 1;
    }
    if (partial || a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

KeyType infer_key_type(std::string_view key_expr, int key_len) {
    if (key_len != 8) return KeyType::Character;
    std::string up(key_expr);
    for (char& ch : up) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (up.find_first_of("\"'[") != std::string::npos) return KeyType::Character;
    static constexpr std::string_view kText[] = {
        "STR(",  "DTOS(",  "DTOC(",  "UPPER(", "LOWER(", "SUBS",   "LEFT(",   "RIGHT(", "TRIM(",
        "PADR(", "PADL(",  "PADC(",  "CHR(",   "TRAN",   "SPACE(", "REPL",    "STRZERO("};
    for (auto f : kText)
        if (up.find(f) != std::string::npos) return KeyType::Character;
    static constexpr std::string_view kDate[] = {"CTOD(", "STOD(", "DATE("};
    for (auto f : kDate)
        if (up.find(f) != std::string::npos) return KeyType::Date;
    return KeyType::Numeric;
}

}  // namespace qv::rt::table
