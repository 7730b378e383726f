#include "runtime/core/date.hpp"

#include <cstdio>

namespace qv::rt {

namespace {

constexpr int kMinYear = 1;
constexpr int kMaxYear = 9999;
constexpr int kTwoDigitEpoch = 1900;   // "dd/mm/yy" means 19yy

struct Ymd {
    int year = 0, month = 0, day = 0;
};

bool is_leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// Astronomical Julian day number of a proleptic Gregorian date (the number
// the index files store: 31/01/1980 is 2444270).
std::int32_t julian_of(int y, int m, int d) {
    const int a = (14 - m) / 12;
    const long yy = y + 4800L - a;
    const long mm = m + 12L * a - 3;
    return static_cast<std::int32_t>(d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 +
                                     yy / 400 - 32045);
}

Ymd ymd_of(std::int32_t jd) {
    const long a = jd + 32044L;
    const long b = (4 * a + 3) / 146097;
    const long c = a - 146097 * b / 4;
    const long d = (4 * c + 3) / 1461;
    const long e = c - 1461 * d / 4;
    const long m = (5 * e + 2) / 153;
    Ymd r;
    r.day = static_cast<int>(e - (153 * m + 2) / 5 + 1);
    r.month = static_cast<int>(m + 3 - 12 * (m / 10));
    r.year = static_cast<int>(100 * b + d - 4800 + m / 10);
    return r;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Reads a run of digits at text[i]; returns -1 when there is none. `count`
// receives how many digits were read.
int read_number(std::string_view text, std::size_t& i, int& count) {
    count = 0;
    int value = 0;
    while (i < text.size() && is_digit(text[i])) {
        if (count < 9) value = value * 10 + (text[i] - '0');
        ++count;
        ++i;
    }
    return count == 0 ? -1 : value;
}

}  // namespace

bool is_valid_ymd(int year, int month, int day) {
    return year >= kMinYear && year <= kMaxYear && month >= 1 && month <= 12 && day >= 1 &&
           day <= days_in_month(year, month);
}

int days_in_month(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && is_leap(year) ? 29 : kDays[month - 1];
}

Date Date::from_ymd(int year, int month, int day) {
    if (!is_valid_ymd(year, month, day)) return Date{};
    return from_julian(julian_of(year, month, day));
}

int Date::year() const { return empty() ? 0 : ymd_of(jd_).year; }
int Date::month() const { return empty() ? 0 : ymd_of(jd_).month; }
int Date::day() const { return empty() ? 0 : ymd_of(jd_).day; }

int Date::dow() const {
    if (empty()) return 0;
    // Julian day 0 fell on a Monday; Sunday is day 1 of the week.
    const int from_monday = ((jd_ % 7) + 7) % 7;
    return (from_monday + 1) % 7 + 1;
}

std::string DTOC(Date d) {
    if (d.empty()) return "  /  /    ";
    const Ymd r = ymd_of(d.julian());
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", r.day, r.month, r.year);
    return buf;
}

Date CTOD(std::string_view text) {
    // Day, month and year are runs of digits separated by anything else.
    int parts[3];
    int digits[3];
    std::size_t i = 0;
    for (int k = 0; k < 3; ++k) {
        while (i < text.size() && !is_digit(text[i])) ++i;
        parts[k] = read_number(text, i, digits[k]);
        if (parts[k] < 0) return Date{};
    }
    int year = parts[2];
    if (digits[2] <= 2) year += kTwoDigitEpoch;
    return Date::from_ymd(year, parts[1], parts[0]);
}

std::string DTOS(Date d) {
    if (d.empty()) return std::string(8, ' ');
    const Ymd r = ymd_of(d.julian());
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", r.year, r.month, r.day);
    return buf;
}

Date STOD(std::string_view text) {
    if (text.size() < 8) return Date{};
    int v[8];
    for (std::size_t i = 0; i < 8; ++i) {
        if (!is_digit(text[i])) return Date{};
        v[i] = text[i] - '0';
    }
    const int year = v[0] * 1000 + v[1] * 100 + v[2] * 10 + v[3];
    const int month = v[4] * 10 + v[5];
    const int day = v[6] * 10 + v[7];
    return Date::from_ymd(year, month, day);
}

int DAY(Date d) { return d.day(); }
int MONTH(Date d) { return d.month(); }
int YEAR(Date d) { return d.year(); }
int DOW(Date d) { return d.dow(); }

}  // namespace qv::rt
