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
// character that is not part of a number.
double VAL(std::string_view s);
// STR(): right-aligned in `width` with `decimals`, rounding half away from
// zero; a number that does not fit gives `width` asterisks. Width defaults to
// 10 (plus decimals + 1 when decimals are given).
std::string STR(double n, int width = -1, int decimals = -1);
// STRZERO(): as STR with leading zeros (the sign stays in front).
std::string STRZERO(double n, int width = -1, int decimals = -1);

// Rounding primitives: half away from zero to `decimals`, and the cut toward
// zero. Both are exact on the decimal digits shown (they do not trust the
// binary fraction: 1.005 rounds to 1.01).
double ROUND(double n, int decimals);
double truncate_to(double n, int decimals);
double INT(double n);   // toward zero

}  // namespace qv::rt
