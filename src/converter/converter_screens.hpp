#pragma once
// The converter's own windows: the folder form, the counters, the taxpayer
// window and the start screen.
#include <string_view>

namespace qv::converter {

// 2 the folder form (window 3); 4 the counters (window 4); 7 the folder
// of the payroll export (window 4); 9 the start screen (window 7).
void MTELA1(int screen);
// 1: window 8 at `row`, `col`, 10 rows high and a name wide (plus its
// frame); 3: the taxpayer window (window 3) headed "C P F" and "Nome".
void MTELA3(int screen, int row = 0, int col = 0);

// Window numbers.
inline constexpr int kFormWindow = 3;
inline constexpr int kCounterWindow = 4;
inline constexpr int kLogoWindow = 7;
inline constexpr int kListWindow = 8;
inline constexpr int kNameWidth = 40;

// One counter of the counters window (row 1-5), "@ 9999".
void show_counter(int row, int value);
// The taxpayer being converted, in the taxpayer window.
void show_taxpayer(std::string_view cpf, std::string_view name);

}  // namespace qv::converter
