#pragma once
// String functions of the runtime over CP850 byte strings. Positions are
// 1-based, as the system's routines count them; out-of-range arguments are
// clamped the way the original runtime does, never an exception.
#include <string>
#include <string_view>

namespace qv::rt {

std::string SUBSTR(std::string_view s, long start, long count = -1);  // count < 0: to the end
std::string LEFT(std::string_view s, long n);
std::string RIGHT(std::string_view s, long n);
std::string PADR(std::string_view s, long n, char fill = ' ');
std::string PADL(std::string_view s, long n, char fill = ' ');
std::string PADC(std::string_view s, long n, char fill = ' ');
std::string ALLTRIM(std::string_view s);
std::string TRIM(std::string_view s);    // = RTRIM
std::string RTRIM(std::string_view s);
std::string LTRIM(std::string_view s);
long AT(std::string_view needle, std::string_view hay);   // 0 when absent or needle empty
long RAT(std::string_view needle, std::string_view hay);
std::string STRTRAN(std::string_view s, std::string_view from, std::string_view to = {});
std::string STUFF(std::string_view s, long start, long del, std::string_view ins);
std::string REPLICATE(std::string_view s, long n);
std::string SPACE(long n);
std::string UPPER(std::string_view s);   // knows the CP850 accented letters
std::string LOWER(std::string_view s);
char upper_char(char c);
char lower_char(char c);
bool ISDIGIT(std::string_view s);   // first character
bool ISALPHA(std::string_view s);   // first character, accented letters too
std::string CHR(int code);
int ASC(std::string_view s);
bool EMPTY_TEXT(std::string_view s);   // only blanks, tabs, CR, LF

// VAL(): leading blanks, a sign, digits and one point; stops at the first
// character that is not part of a number ("12,5" is 12, "" is 0).
double VAL(std::string_view s);
// STR(): right-aligned in `width` with `decimals`, rounding half away from
// zero on the decimal digits; a number that does not fit gives `width`
// asterisks. Left out (-1): STR(n) is 10 wide with no decimals for a whole
// number and 13 wide with 2 decimals for a fraction; STR(n, w) has no
// decimals; STR(n, -1, d) is 10 + d + 1 wide. A negative number that rounds
// to zero is shown without its sign (STR(-0.001, 6, 2) is "  0.00").
std::string STR(double n, int width = -1, int decimals = -1);
// STRZERO(): as STR with leading zeros (the sign stays in front: "-005").
std::string STRZERO(double n, int width = -1, int decimals = -1);

// Rounding primitives. Both work on the decimal digits of the number, not on
// its binary fraction, and never give -0.
// ROUND(): half away from zero at `decimals` (negative: tens, hundreds...),
// on the number's 15 significant digits: ROUND(1.005, 2) is 1.01,
// ROUND(2.675, 2) is 2.68.
double ROUND(double n, int decimals);
// truncate_to(): cuts toward zero at `decimals`. The number is first rounded
// to `decimals` + 6 places (at most 15 significant digits), so noise from
// earlier arithmetic does not take a digit away (12.35, stored as
// 12.3499999999999996, stays 12.35; 0.29 * 100 cut to 0 places is 29), while
// digits really there are cut (12.3499999 to 2 places is 12.34).
// Cutting amounts to cents after rounding at the fourth decimal is
// truncate_to(ROUND(x, 4), 2): 12.3456 -> 12.34, 12.34999 -> 12.35.
double truncate_to(double n, int decimals);
// INT(): toward zero, with the same tolerance for noise as truncate_to().
double INT(double n);

}  // namespace qv::rt
