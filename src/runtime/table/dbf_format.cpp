#include "runtime/table/dbf_format.hpp"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "runtime/table/table_error.hpp"

namespace qv::rt::table {

namespace {

std::uint32_t le32(std::string_view b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

std::uint16_t le16(std::string_view b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      static_cast<unsigned char>(b[at + 1]) << 8);
}

void put_le32(std::string& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void put_le16(std::string& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
}

std::string upper_ascii(std::string_view s) {
    std::string u(s);
    for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

bool valid_name(std::string_view n) {
    if (n.empty() || n.size() > 10) return false;
    if (!std::isalpha(static_cast<unsigned char>(n[0]))) return false;
    for (char c : n)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    return true;
}

// The significant digits of |v| and the power of ten of the first one:
// `digits` of them, rounded to nearest (printf rounds exactly), or cut after
// `digits` when `truncate`.
std::string significant_digits(double v, int digits, bool truncate, int& exp10) {
    char buf[80];
    std::snprintf(buf, sizeof buf, "%.*e", truncate ? 40 : digits - 1, std::fabs(v));
    std::string mant;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (std::isdigit(static_cast<unsigned char>(*p))) mant += *p;
    exp10 = *p == 'e' ? std::atoi(p + 1) : 0;
    if (truncate) mant.resize(static_cast<std::size_t>(digits));
    return mant;
}

// Adds one to the last digit of a digit string, carrying.
void increment(std::string& digits) {
    int i = static_cast<int>(digits.size()) - 1;
    while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') digits[static_cast<std::size_t>(i--)] = '0';
    if (i >= 0) ++digits[static_cast<std::size_t>(i)];
    else digits.insert(digits.begin(), '1');
}

// Decimal digits of |v| rounded half away from zero at `dec` decimals, as
// the other xBase tools write them. Up to 15 significant digits they come
// from the 15 a double surely holds, so 1.005 rounds to 1.01; a field that
// shows more keeps 16 of the double's exact digits, rounded on the 17th
// alone, and zeros after them.
std::string rounded_digits(double v, int dec, bool& negative) {
    negative = std::signbit(v) && v != 0.0;
    int exp10 = 0;
    std::string mant = significant_digits(v, 15, false, exp10);
    // mant = d1 d2 ... meaning d1.d2.. * 10^exp10. Build the integer of
    // |v| * 10^dec as a digit string.
    const int int_digits = exp10 + 1 + dec;   // digits before the cut
    std::string out;
    if (int_digits > 15 && v != 0.0) {
        mant = significant_digits(v, 17, true, exp10);
        const bool up = mant[16] >= '5';
        mant.resize(16);
        if (up) increment(mant);
        out = mant;
        const int want = exp10 + 1 + dec + (mant.size() > 16 ? 1 : 0);
        if (static_cast<int>(out.size()) < want) out.append(static_cast<std::size_t>(want) - out.size(), '0');
        else out.resize(static_cast<std::size_t>(std::max(want, 1)));
    } else if (int_digits <= 0) {
        out = (int_digits == 0 && mant[0] >= '5') ? "1" : "0";
    } else {
        const std::size_t keep = static_cast<std::size_t>(int_digits);
        std::string digits = mant;
        if (digits.size() < keep) digits.append(keep - digits.size(), '0');
        const bool round_up = digits.size() > keep && digits[keep] >= '5';
        digits.resize(keep);
        if (round_up) increment(digits);
        out = digits;
    }
    const std::size_t nz = out.find_first_not_of('0');
    out = nz == std::string::npos ? "0" : out.substr(nz);
    if (out == "0") negative = false;
    return out;
}

// The digits of |v| at `dec` decimals when they need no rounding: |v| lies
// so near a decimal of at most 15 digits with `dec` decimals that its 15
// significant digits are that decimal's (a number typed, read or summed in
// cents, most often). Empty otherwise. The margin holds the error of the
// double and of its product with 10^dec, below half the 15th digit.
std::optional<std::string> exact_digits(double v, int dec) {
    constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    if (dec < 0 || dec > 9) return std::nullopt;
    const double y = std::fabs(v) * kPow10[dec];
    if (!(y < 1e15)) return std::nullopt;
    if (y == 0) return std::string("0");
    const double r = std::nearbyint(y);
    if (r == 0 || std::fabs(y - r) > 3e-16 * y) return std::nullopt;
    char buf[24];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<std::uint64_t>(r));
    if (ec != std::errc()) return std::nullopt;
    return std::string(buf, end);
}

}  // namespace

std::string format_number(double v, int len, int dec) {
    if (!std::isfinite(v)) return std::string(static_cast<std::size_t>(len), '*');
    bool negative = std::signbit(v) && v != 0.0;
    std::string digits;
    if (auto exact = exact_digits(v, dec)) digits = std::move(*exact);
    else digits = rounded_digits(v, dec, negative);
    if (dec > 0) {
        if (digits.size() <= static_cast<std::size_t>(dec))
            digits.insert(0, static_cast<std::size_t>(dec) + 1 - digits.size(), '0');
        digits.insert(digits.size() - static_cast<std::size_t>(dec), ".");
    }
    if (negative) digits.insert(0, "-");
    if (digits.size() > static_cast<std::size_t>(len))
        return std::string(static_cast<std::size_t>(len), '*');
    return std::string(static_cast<std::size_t>(len) - digits.size(), ' ') + digits;
}

namespace {

// A field as number fields hold it: blanks, a sign, at most fifteen digits
// with one decimal point among them, and nothing after that would be taken
// for part of the number. Such digits make a whole number below 2^53 and a
// power of ten a double holds exactly, so their quotient is the double
// nearest the text, as strtod gives it. Empty for anything else.
std::optional<double> plain_number(std::string_view raw) {
    constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::size_t i = 0;
    while (i < raw.size() && raw[i] == ' ') ++i;
    bool negative = false;
    if (i < raw.size() && (raw[i] == '-' || raw[i] == '+')) negative = raw[i++] == '-';
    std::uint64_t m = 0;
    int digits = 0, decimals = 0;
    bool point = false;
    for (; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c >= '0' && c <= '9') {
            if (++digits > 15) return std::nullopt;
            m = m * 10 + static_cast<std::uint64_t>(c - '0');
            decimals += point ? 1 : 0;
        } else if ((c == '.' || c == ',') && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0) return std::nullopt;
    if (i < raw.size()) {
        const char c = raw[i];
        if (c == '.' || c == ',' || c == '-' || c == '+' || c == 'e' || c == 'E') return std::nullopt;
    }
    const double v = static_cast<double>(m) / kPow10[decimals];
    return negative ? -v : v;
}

}  // namespace

double parse_number(std::string_view raw) {
    if (const auto v = plain_number(raw)) return *v;
    char buf[64];
    std::size_t n = 0;
    std::size_t i = 0;
    while (i < raw.size() && raw[i] == ' ') ++i;
    for (; i < raw.size() && n + 1 < sizeof buf; ++i) {
        const char c = raw[i];
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+')
            buf[n++] = c;
        else if (c == ',')
            buf[n++] = '.';
        else
            break;
    }
    buf[n] = '\0';
    if (n == 0) return 0.0;
    const double v = std::strtod(buf, nullptr);
    return std::isfinite(v) ? v : 0.0;
}

void validate_structure(const Structure& s, const std::string& file) {
    if (s.empty()) fail(file, "a table needs at least one field");
    if (s.size() > 1023) fail(file, "too many fields");
    std::set<std::string> seen;
    long total = 1;
    for (const FieldSpec& f : s) {
        const std::string name = upper_ascii(f.name);
        if (!valid_name(name)) fail(file, "bad field name '" + f.name + "'");
        seen.insert(name);
        const char t = static_cast<char>(std::toupper(static_cast<unsigned char>(f.type)));
        int len = f.len;
        switch (t) {
            case 'C':
                if (len < 1 || len > kMaxCharWidth) fail(file, "bad width of field " + name);
                break;
            case 'N':
                if (len < 1 || len > 20 || f.dec < 0 || (f.dec > 0 && f.dec > len - 2))
                    fail(file, "bad width of field " + name);
                break;
            case 'D': len = 8; break;
            case 'L': len = 1; break;
            case 'M': len = 10; break;
            default: fail(file, std::string("bad type '") + f.type + "' of field " + name);
        }
        total += len;
    }
    if (total > 65535) fail(file, "record too long");
}

DbfHeader make_header(const Structure& s, MemoKind memo, int year, int month, int day) {
    DbfHeader h;
    bool has_memo = false;
    int offset = 1;
    for (const FieldSpec& spec : s) {
        Field f;
        f.name = upper_ascii(spec.name);
        f.type = static_cast<char>(std::toupper(static_cast<unsigned char>(spec.type)));
        f.len = spec.len;
        f.dec = f.type == 'N' ? spec.dec : 0;
        if (f.type == 'D') f.len = 8;
        if (f.type == 'L') f.len = 1;
        if (f.type == 'M') { f.len = 10; has_memo = true; }
        f.offset = offset;
        offset += f.len;
        h.fields.push_back(f);
    }
    h.version = !has_memo ? kVersionPlain : memo == MemoKind::Dbt ? kVersionDbt : kVersionFpt;
    h.year = year; h.month = month; h.day = day;
    h.record_len = static_cast<std::uint16_t>(offset);
    h.header_len = static_cast<std::uint16_t>(32 + 32 * h.fields.size() + 2);
    return h;
}

std::string serialise_fixed_header(const DbfHeader& h) {
    std::string b(32, '\0');
    b[0] = static_cast<char>(h.version);
    b[1] = static_cast<char>(h.year > 0 ? (h.year - 1900) & 0xFF : 0);
    b[2] = static_cast<char>(h.month);
    b[3] = static_cast<char>(h.day);
    put_le32(b, 4, h.reccount);
    put_le16(b, 8, h.header_len);
    put_le16(b, 10, h.record_len);
    b[28] = static_cast<char>(h.flags);
    b[29] = static_cast<char>(h.codepage);
    return b;
}

std::string serialise_header(const DbfHeader& h) {
    std::string b = serialise_fixed_header(h);
    for (const Field& f : h.fields) {
        std::string d(32, '\0');
        std::memcpy(d.data(), f.name.data(), std::min<std::size_t>(f.name.size(), 10));
        d[11] = f.type;
        if (f.type == 'C' && f.len > 255) {
            d[16] = static_cast<char>(f.len & 0xFF);
            d[17] = static_cast<char>(f.len >> 8);
        } else {
            d[16] = static_cast<char>(f.len);
            d[17] = static_cast<char>(f.dec);
        }
        b += d;
    }
    b += '\x0D';
    b += '\0';
    return b;
}

DbfHeader parse_fixed_header(std::string_view b, const std::string& file) {
    if (b.size() < 32) fail(file, "file too short for a table header");
    DbfHeader h;
    h.version = static_cast<unsigned char>(b[0]);
    switch (h.version) {
        case 0x02: case 0x03: case 0x30: case 0x31: case 0x43: case 0x63:
        case 0x83: case 0x8B: case 0xCB: case 0xE5: case 0xF5: case 0xFB:
            break;
        default: fail(file, "not a table (version byte " + std::to_string(h.version) + ")");
    }
    h.year = 1900 + static_cast<unsigned char>(b[1]);
    h.month = static_cast<unsigned char>(b[2]);
    h.day = static_cast<unsigned char>(b[3]);
    h.reccount = le32(b, 4);
    h.header_len = le16(b, 8);
    h.record_len = le16(b, 10);
    h.flags = static_cast<unsigned char>(b[28]);
    h.codepage = static_cast<unsigned char>(b[29]);
    if (h.header_len < 33 + 32 || h.record_len < 2)
        fail(file, "corrupt table header (lengths)");
    return h;
}

void parse_fields(DbfHeader& h, std::string_view b, const std::string& file) {
    h.fields.clear();
    int offset = 1;
    std::size_t pos = 32;
    for (;;) {
        if (pos >= b.size()) fail(file, "field list has no terminator");
        if (b[pos] == '\x0D') break;
        if (pos + 32 > b.size()) fail(file, "field list has no terminator");
        const std::string_view d = b.substr(pos, 32);
        Field f;
        const std::size_t nul = d.substr(0, 11).find('\0');
        f.name = upper_ascii(d.substr(0, nul == std::string_view::npos ? 11 : nul));
        while (!f.name.empty() && f.name.back() == ' ') f.name.pop_back();
        f.type = static_cast<char>(std::toupper(static_cast<unsigned char>(d[11])));
        const int len = static_cast<unsigned char>(d[16]);
        const int dec = static_cast<unsigned char>(d[17]);
        if (f.type == 'C') { f.len = len + 256 * dec; f.dec = 0; }
        else { f.len = len; f.dec = dec; }
        if (f.name.empty()) fail(file, "field without a name");
        switch (f.type) {
            case 'C': case 'N': case 'F': case 'D': case 'L': case 'M': break;
            default: fail(file, "field " + f.name + " of unknown type '" + std::string(1, f.type) + "'");
        }
        if (f.type == 'F') f.type = 'N';
        if (f.len < 1 || (f.type == 'D' && f.len != 8) || (f.type == 'L' && f.len != 1) ||
            (f.type == 'M' && f.len != 10 && f.len != 4) || (f.type == 'N' && f.len > 20))
            fail(file, "field " + f.name + " has a bad width");
        f.offset = offset;
        offset += f.len;
        h.fields.push_back(std::move(f));
        pos += 32;
    }
    if (h.fields.empty()) fail(file, "table without fields");
    if (offset != h.record_len) fail(file, "record length does not match the fields");
}

MemoKind memo_kind_of_version(unsigned char version) {
    switch (version) {
        case 0x83: case 0x8B: case 0xCB: return MemoKind::Dbt;
        case 0xF5: case 0xE5: case 0x30: case 0x31: case 0xFB: return MemoKind::Fpt;
        default: return MemoKind::None;
    }
}

bool has_memo_fields(const DbfHeader& h) {
    for (const Field& f : h.fields)
        if (f.type == 'M') return true;
    return false;
}

Value decode_field(const Field& f, std::string_view raw) {
    switch (f.type) {
        case 'N': return Value(parse_number(raw));
        case 'D': {
            if (raw.size() < 8) return Value(Date());
            int ymd[3] = {0, 0, 0};
            const int widths[3] = {4, 2, 2};
            std::size_t at = 0;
            for (int k = 0; k < 3; ++k) {
                for (int i = 0; i < widths[k]; ++i, ++at) {
                    const char c = raw[at];
                    if (!std::isdigit(static_cast<unsigned char>(c))) return Value(Date());
                    ymd[k] = ymd[k] * 10 + (c - '0');
                }
            }
            return Value(Date::from_ymd(ymd[0], ymd[1], ymd[2]));
        }
        case 'L': {
            const char c = raw.empty() ? ' ' : raw[0];
            return Value(c == 'T' || c == 't' || c == 'Y' || c == 'y');
        }
        default: return Value(std::string(raw));
    }
}

std::string data_width_message(const Field& f, double v, const std::string& file) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", std::min(f.dec, 15), v);
    return file + ": data width error: " + buf + " does not fit field " + f.name + " N(" +
           std::to_string(f.len) + "," + std::to_string(f.dec) + ")";
}

namespace {

// `n` as `width` digits, zeros in front.
void write_digits(char* out, int width, unsigned n) {
    for (int i = width - 1; i >= 0; --i, n /= 10) out[i] = static_cast<char>('0' + n % 10);
}

// A number field written straight into the record when its digits need no
// rounding (what exact_digits finds, as format_number would print them):
// false, with nothing written, when format_number has to work it out.
bool write_exact_number(double v, int len, int dec, char* out) {
    constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    if (dec < 0 || dec > 9 || len > 32) return false;
    const double y = std::fabs(v) * kPow10[dec];
    if (!(y < 1e15)) return false;
    const double r = std::nearbyint(y);
    if (y != 0 && (r == 0 || std::fabs(y - r) > 3e-16 * y)) return false;
    auto n = static_cast<std::uint64_t>(r);
    const bool negative = n != 0 && std::signbit(v);
    char buf[32];
    int at = 32;
    // the digits from the last, the point after `dec` of them, and at least
    // one digit before it
    for (int i = 0; n != 0 || i <= dec; ++i) {
        if (dec > 0 && i == dec) buf[--at] = '.';
        buf[--at] = static_cast<char>('0' + n % 10);
        n /= 10;
    }
    if (negative) buf[--at] = '-';
    const int width = 32 - at;
    if (width > len) return false;   // too wide: format_number says so
    std::memset(out, ' ', static_cast<std::size_t>(len - width));
    std::memcpy(out + (len - width), buf + at, static_cast<std::size_t>(width));
    return true;
}

}  // namespace

void check_width(const Field& f, const Value& v, const std::string& file) {
    if (f.type != 'N' || !v.is_number()) return;
    if (format_number(v.as_number(), f.len, f.dec)[0] == '*')
        throw DataWidthError(data_width_message(f, v.as_number(), file));
}

void encode_field(const Field& f, const Value& v, char* out, const std::string& file) {
    const auto len = static_cast<std::size_t>(f.len);
    auto mismatch = [&]() {
        fail(file, "data type mismatch for field " + f.name + " (" + type_letter(v.type()) +
                       " into " + f.type + ")");
    };
    switch (f.type) {
        case 'C': {
            if (!v.is_string()) mismatch();
            const std::string& s = v.as_string();
            const std::size_t n = std::min(s.size(), len);
            std::memcpy(out, s.data(), n);
            std::memset(out + n, ' ', len - n);
            return;
        }
        case 'N': {
            if (!v.is_number()) mismatch();
            if (write_exact_number(v.as_number(), f.len, f.dec, out)) return;
            const std::string s = format_number(v.as_number(), f.len, f.dec);
            if (s[0] == '*') throw DataWidthError(data_width_message(f, v.as_number(), file));
            std::memcpy(out, s.data(), len);
            return;
        }
        case 'D': {
            if (!v.is_date()) mismatch();
            const Date d = v.as_date();
            if (d.empty()) { std::memset(out, ' ', 8); return; }
            write_digits(out, 4, static_cast<unsigned>(d.year() % 10000));
            write_digits(out + 4, 2, static_cast<unsigned>(d.month()));
            write_digits(out + 6, 2, static_cast<unsigned>(d.day()));
            return;
        }
        case 'L':
            if (!v.is_logical()) mismatch();
            out[0] = v.as_bool() ? 'T' : 'F';
            return;
        default:
            fail(file, "field " + f.name + " cannot be written directly");
    }
}

}  // namespace qv::rt::table
