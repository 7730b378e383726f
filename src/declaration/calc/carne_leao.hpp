#pragma once
// The monthly carnê-leão: the sheet of the person shown rebuilt from the
// income list, the tax due of each month, the late-payment correction, and
// the summary lines of every person's sheet.
#include <string>
#include <string_view>
#include <vector>

namespace qv::declaration {

bool FDE_LEAO(int nShow);
// Tax due of one month (column 7); nTotal 1 also totals the column.
double VE_LEAO(int nMonth, int nTotal = 0);
void CORR_DARF();
// Totals (row 13) of a monthly matrix; CALC_MENS also converts dollars.
bool FX_RT(std::string_view cMatrix, int nRow, int nCol);

// Late-payment correction of a shortfall of month nMonth of 2011 paid on
// DF_PAGTO: shortfall plus fine plus SELIC interest, each cut to cents.
double corrected_shortfall(int nMonth, double shortfall);
// The months ("yyyymm", in order) whose SELIC rate the correction of the
// sheet shown should add and the rates table lacks: those after the due
// month of each month paid short and late, before the payment month.
std::vector<std::string> missing_correction_months();

}  // namespace qv::declaration
