#pragma once
// Amounts: cutting to cents and reading amounts written as text.
#include <string_view>

namespace qv::common {

// The value written with zeros in `width` characters with decimals + 2
// places (rounded there), the last two characters dropped unless `keep` is
// non-zero, and read back: with the usual width 15 the amount is rounded at
// the fourth decimal and then cut to cents (10.239 -> 10.23, 10.23999 ->
// 10.24). A value that does not fit the width gives 0.
double DESPREZA(double value, int width = 15, int decimals = 2, int keep = 0);

// "1.234,56" -> 1234.56: points dropped, the first comma is the decimal mark.
double CAR_TO_VAL(std::string_view text);

}  // namespace qv::common
