// Numbers as the runtime shows and rounds them. Rounding and cutting work on
// the decimal digits of the number, not on its binary fraction: 1.005 is
// stored as 1.00499999999999989..., yet the user typed (and sees) 1.005 and
// expects 1.01 when it is rounded to cents.
#include "runtime/core/text.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace qv::rt {

namespace {

// A double has 15 reliable significant decimal digits; digits past those
// are binary noise and are dropped before any rounding or cutting.
constexpr int kSignificantDigits = 15;
constexpr int kMaxFractionDigits = 30;

// Before a cut toward zero, the number is first rounded this many decimals
// past the cut: noise left by earlier arithmetic (a sum of many cents,
// 0.29 * 100 = 28.999999999999996) then no longer takes away the last digit.
constexpr int kCutGuardDigits = 6;

// A non-negative decimal number as digits: `digits` holds the integer part's
// `int_digits` digits followed by the fraction digits.
struct Decimal {
    bool negative = false;
    std::string digits;
    int int_digits = 0;

    int fraction_digits() const { return static_cast<int>(digits.size()) - int_digits; }
    bool is_zero() const { return digits.find_first_not_of('0') == std::string::npos; }
};

// Fraction digits that keep 15 significant digits of n.
int reliable_fraction_digits(double n) {
    const double a = std::fabs(n);
    if (a == 0.0 || !std::isfinite(a)) return 0;
    const int exponent = static_cast<int>(std::floor(std::log10(a)));
    return std::clamp(kSignificantDigits - 1 - exponent, 0, kMaxFractionDigits);
}

// n written with `fraction` decimals (correctly rounded from the binary value).
Decimal to_decimal(double n, int fraction) {
    Decimal d;
    d.negative = std::signbit(n);
    if (!std::isfinite(n)) n = 0.0;
    char buf[400];
    const int len = std::snprintf(buf, sizeof buf, "%.*f", fraction, std::fabs(n));
    std::string_view text(buf, static_cast<std::size_t>(std::max(len, 0)));
    const std::size_t point = text.find('.');
    d.int_digits = static_cast<int>(point == std::string_view::npos ? text.size() : point);
    d.digits = std::string(text.substr(0, d.int_digits));
    if (point != std::string_view::npos) d.digits += text.substr(point + 1);
    return d;
}

// The digits of n that can be trusted.
Decimal clean_decimal(double n) { return to_decimal(n, reliable_fraction_digits(n)); }

// Keeps `keep` fraction digits (negative: rounds into the integer part),
// rounding half away from zero.
void round_decimal(Decimal& d, int keep) {
    const int cut = d.int_digits + keep;
    if (cut >= static_cast<int>(d.digits.size())) return;
    if (cut < 0) {
        d.digits.assign(d.digits.size(), '0');
    } else {
        const bool up = d.digits[static_cast<std::size_t>(cut)] >= '5';
        std::fill(d.digits.begin() + cut, d.digits.end(), '0');
        if (up) {
            int i = cut - 1;
            for (; i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9'; --i) {
                d.digits[static_cast<std::size_t>(i)] = '0';
            }
            if (i >= 0) {
                ++d.digits[static_cast<std::size_t>(i)];
            } else {
                d.digits.insert(d.digits.begin(), '1');
                ++d.int_digits;
            }
        }
    }
    if (keep >= 0) d.digits.resize(static_cast<std::size_t>(d.int_digits + keep));
}

// Keeps `keep` fraction digits, dropping the rest (toward zero).
void cut_decimal(Decimal& d, int keep) {
    const int cut = d.int_digits + keep;
    if (cut >= static_cast<int>(d.digits.size())) return;
    if (cut <= 0) {
        d.digits.assign(static_cast<std::size_t>(d.int_digits), '0');
        return;
    }
    std::fill(d.digits.begin() + cut, d.digits.end(), '0');
    if (keep >= 0) d.digits.resize(static_cast<std::size_t>(cut));
}

double parse_number(std::string_view text) {
    double value = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// Plain text of the decimal with exactly `decimals` fraction digits: an
// optional '-', the integer part without leading zeros ("0" at least).
std::string decimal_text(const Decimal& d, int decimals) {
    std::string int_part = d.digits.substr(0, static_cast<std::size_t>(d.int_digits));
    const std::size_t first = int_part.find_first_not_of('0');
    int_part = first == std::string::npos ? "0" : int_part.substr(first);
    std::string frac = d.digits.substr(static_cast<std::size_t>(d.int_digits));
    frac.resize(static_cast<std::size_t>(std::max(decimals, 0)), '0');
    std::string out;
    if (d.negative && !d.is_zero()) out += '-';   // no "-0.00"
    out += int_part;
    if (decimals > 0) out += '.' + frac;
    return out;
}

// The value of the decimal, sign included; zero is never negative.
double to_double(const Decimal& d) {
    if (d.is_zero()) return 0.0;
    const double magnitude = parse_number(decimal_text(Decimal{false, d.digits, d.int_digits},
                                                       d.fraction_digits()));
    return d.negative ? -magnitude : magnitude;
}

bool is_whole(double n) { return std::isfinite(n) && std::trunc(n) == n; }

// The width and decimals STR() takes when the caller leaves them out: a whole
// number shows in 10 columns, a fraction in 10 + 3 with 2 decimals.
void default_layout(double n, int& width, int& decimals) {
    if (decimals < 0) decimals = (width <= 0 && !is_whole(n)) ? 2 : 0;
    if (width <= 0) width = 10 + (decimals > 0 ? decimals + 1 : 0);
}

// The number laid out for STR()/STRZERO(): rounded, without padding.
std::string rounded_text(double n, int decimals) {
    Decimal d = clean_decimal(n);
    round_decimal(d, decimals);
    return decimal_text(d, decimals);
}

constexpr std::uint64_t kPow10[] = {1ull,
                                    10ull,
                                    100ull,
                                    1000ull,
                                    10000ull,
                                    100000ull,
                                    1000000ull,
                                    10000000ull,
                                    100000000ull,
                                    1000000000ull,
                                    10000000000ull,
                                    100000000000ull,
                                    1000000000000ull,
                                    10000000000000ull,
                                    100000000000000ull,
                                    1000000000000000ull,
                                    10000000000000000ull,
                                    100000000000000000ull,
                                    1000000000000000000ull};
constexpr int kFastMaxDecimals = 9;

// The same rounding as rounded_text() worked out in 64-bit integers: |n| to
// `decimals` places as q (the value is q / 10^decimals). The 15 reliable
// digits are |n| * 10^F rounded to the nearest integer as printf rounds the
// exact binary value: the product and its exact error (fma) tell on which
// side of the half it lies, a true tie going to even. Empty when the number
// is out of the range where that holds; the decimal path then decides.
std::optional<std::uint64_t> fast_scaled(double n, int decimals) {
    if (decimals < 0 || decimals > kFastMaxDecimals) return std::nullopt;
    const double a = std::fabs(n);
    if (!(a < static_cast<double>(kPow10[18 - decimals]))) return std::nullopt;   // NaN and infinities too
    if (a == std::trunc(a)) return static_cast<std::uint64_t>(a) * kPow10[decimals];
    if (a < 1e-8) return std::nullopt;
    const int f = reliable_fraction_digits(a);
    if (f > 22) return std::nullopt;   // 10^f no longer exact as a double
    double scale = 1.0;
    for (int i = 0; i < f; ++i) scale *= 10.0;   // exact up to 10^22
    const double y = a * scale;                    // below 10^15 < 2^50
    const double err = std::fma(a, scale, -y);     // a * scale - y, exactly
    const double whole = std::floor(y);
    const double frac = y - whole;
    auto m = static_cast<std::uint64_t>(whole);
    if (frac > 0.5 || (frac == 0.5 && (err > 0 || (err == 0 && (m & 1) != 0)))) ++m;
    if (decimals >= f) return m * kPow10[decimals - f];
    const int drop = f - decimals;
    if (drop > 16) return 0;   // m < 5 * 10^16: rounds to nothing
    std::uint64_t q = m / kPow10[drop];
    if (m % kPow10[drop] >= 5 * kPow10[drop - 1]) ++q;
    return q;
}

// q / 10^decimals as text ('-' when negative and not zero) into the end of
// buf; returns where it starts.
char* scaled_text(std::uint64_t q, int decimals, bool negative, char* end) {
    char* p = end;
    for (int i = 0; i < decimals; ++i) {
        *--p = static_cast<char>('0' + q % 10);
        q /= 10;
    }
    if (decimals > 0) *--p = '.';
    do {
        *--p = static_cast<char>('0' + q % 10);
        q /= 10;
    } while (q != 0);
    if (negative) *--p = '-';
    return p;
}

// STR()/STRZERO() through the integer path; empty when it does not apply.
std::optional<std::string> fast_str(double n, int width, int decimals, bool zeros) {
    const auto q = fast_scaled(n, decimals);
    if (!q) return std::nullopt;
    char buf[48];
    char* const end = buf + sizeof buf;
    const bool negative = std::signbit(n) && *q != 0;   // no "-0.00"
    char* start = scaled_text(*q, decimals, negative, end);
    const auto len = static_cast<int>(end - start);
    if (len > width) return std::string(static_cast<std::size_t>(width), '*');
    std::string out(static_cast<std::size_t>(width), zeros ? '0' : ' ');
    std::memcpy(out.data() + (width - len), start, static_cast<std::size_t>(len));
    if (zeros && negative && len < width) {
        out[static_cast<std::size_t>(width - len)] = '0';
        out[0] = '-';
    }
    return out;
}

}  // namespace

double VAL(std::string_view s) {
    std::size_t i = s.find_first_not_of(' ');
    if (i == std::string_view::npos) return 0.0;
    bool negative = false;
    if (s[i] == '-' || s[i] == '+') {
        negative = s[i] == '-';
        ++i;
    }
    std::string number;
    bool point = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            number += c;
        } else if (c == '.' && !point) {
            point = true;
            number += c;
        } else {
            break;
        }
    }
    if (number.empty() || number == ".") return 0.0;
    if (number.front() == '.') number.insert(number.begin(), '0');
    const double value = parse_number(number);
    return (negative && value != 0.0) ? -value : value;   // never -0
}

std::string STR(double n, int width, int decimals) {
    default_layout(n, width, decimals);
    if (auto fast = fast_str(n, width, decimals, false)) return std::move(*fast);
    const std::string text = rounded_text(n, decimals);
    if (static_cast<int>(text.size()) > width) return std::string(static_cast<std::size_t>(width), '*');
    return std::string(static_cast<std::size_t>(width) - text.size(), ' ') + text;
}

std::string STRZERO(double n, int width, int decimals) {
    default_layout(n, width, decimals);
    if (auto fast = fast_str(n, width, decimals, true)) return std::move(*fast);
    std::string text = rounded_text(n, decimals);
    if (static_cast<int>(text.size()) > width) return std::string(static_cast<std::size_t>(width), '*');
    const std::size_t fill = static_cast<std::size_t>(width) - text.size();
    const std::size_t after_sign = text.front() == '-' ? 1 : 0;
    text.insert(after_sign, fill, '0');
    return text;
}

double ROUND(double n, int decimals) {
    if (!std::isfinite(n)) return n;
    Decimal d = clean_decimal(n);
    round_decimal(d, decimals);
    return to_double(d);
}

double truncate_to(double n, int decimals) {
    if (!std::isfinite(n)) return n;
    const int guard = std::clamp(decimals + kCutGuardDigits, 0, reliable_fraction_digits(n));
    Decimal d = to_decimal(n, guard);
    cut_decimal(d, decimals);
    return to_double(d);
}

double INT(double n) { return truncate_to(n, 0); }

}  // namespace qv::rt
