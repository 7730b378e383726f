#pragma once
// The arithmetic of the rural pages: the month totals (page 13), the result
// with the optional 20 % of receipts, losses and the exempt portion (page
// 14), and the herd's final stocks (page 15).
#include <string_view>

namespace qv::declaration {

// The page's figures; mode 3 computes without showing.
bool CALCRUR(int page, int mode);
bool FI4R_04(int mode);
void FI4R_05();
void FI4R_06(int mode);
void FI4R_07();
void FI5_08();
void FI6_10(int mode);
// The final stock of a species left negative: refused with the message.
bool ERRO(bool assumed_zero = false);

void register_rural_page_routines();

}  // namespace qv::declaration
