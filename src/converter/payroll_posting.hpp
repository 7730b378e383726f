#pragma once
// Payroll income statements (table FOLHAPG) posted into a taxpayer's
// declaration tables.
#include <string_view>

namespace qv::converter {

inline constexpr int kPayroll = 63;

// Posts the current FOLHAPG row into the current folder's tables (open in
// the areas of their codes): the payer's income row always; the
// declaration record's lines added to ("A"), replaced ("S") or left ("N").
void GRAVA_VALOR(std::string_view mode);

}  // namespace qv::converter
