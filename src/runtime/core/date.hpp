#pragma once
// Calendar dates as the xBase runtime keeps them: a Julian day number, with 0
// standing for the empty date ("  /  /    ").
#include <cstdint>
#include <string>
#include <string_view>

namespace qv::rt {

class Date {
public:
    constexpr Date() = default;
    static constexpr Date from_julian(std::int32_t jd) { Date d; d.jd_ = jd; return d; }
    // An impossible day/month/year gives the empty date.
    static Date from_ymd(int year, int month, int day);

    constexpr bool empty() const { return jd_ == 0; }
    constexpr std::int32_t julian() const { return jd_; }
    int year() const;   // 0 for the empty date
    int month() const;  // 0 for the empty date
    int day() const;    // 0 for the empty date
    int dow() const;    // 1 = Sunday .. 7 = Saturday; 0 for the empty date

    Date operator+(int days) const { return empty() ? *this : from_julian(jd_ + days); }
    Date operator-(int days) const { return empty() ? *this : from_julian(jd_ - days); }
    int operator-(Date other) const { return jd_ - other.jd_; }
    auto operator<=>(const Date&) const = default;

private:
    std::int32_t jd_ = 0;
};

bool is_valid_ymd(int year, int month, int day);
int days_in_month(int year, int month);

// "dd/mm/yyyy"; the empty date is "  /  /    ".
std::string DTOC(Date d);
// Reads "dd/mm/yyyy" (two-digit years take the epoch 1900); a bad date is empty.
Date CTOD(std::string_view text);
// "yyyymmdd"; the empty date is 8 blanks.
std::string DTOS(Date d);
// Reads "yyyymmdd"; blanks or a bad date give the empty date.
Date STOD(std::string_view text);

int DAY(Date d);
int MONTH(Date d);
int YEAR(Date d);
int DOW(Date d);

}  // namespace qv::rt
