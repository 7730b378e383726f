#pragma once
// Writing a document's lines on the printer: the current line is QLIN, a
// page holds NROLINHAS lines, and every page of the declaration starts with
// the taxpayer's heading.
#include <initializer_list>
#include <string>
#include <utility>
#include <string_view>

namespace qv::printing {

inline constexpr std::string_view kAmount = "@Ez 999,999,999.99";
inline constexpr std::string_view kMonthlyAmount = "@Ez 9999,999.99";
inline constexpr std::string_view kPercent = "@Z 999.99";
inline constexpr std::string_view kCpfPicture = "@R 999.999.999-99";

// The value of a global under a picture.
std::string shown(double value, std::string_view picture = kAmount);
double number(std::string_view global);
std::string text(std::string_view global);

int QLIN();
// Text on the current line.
void put(int col, std::string_view text);
// Text on the current line, then the next line.
void line(int col, std::string_view text);
void skip_lines(int n = 1);
// Label and amount on the current line.
void put_amount(int col, std::string_view label, double value, int width = 26);
// Ends the page; the next text starts a new one. An empty page stays.
void new_page();
// Something was written on the printer's current page.
bool page_used();
// The separators of normal and condensed pitch.
void separator();
void wide_separator();

// Header of a new page; kinds other than 0 close the current page first and
// then repeat `continuing` (the title of the section that goes on).
void CABEC_PAG(int kind, std::string_view continuing = {});
// Keeps the next n lines on one page; true when a new page was started.
bool PULA_PAG(int n);
// True when n more lines would not fit on the page.
bool page_full(int n);
// The running totals of a list that goes on on the next page: `label` and
// each amount at its column.
void running_totals(std::string_view label, std::initializer_list<std::pair<int, double>> columns);

}  // namespace qv::printing
