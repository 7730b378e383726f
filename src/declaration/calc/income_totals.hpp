#pragma once
// Totals of the income sources list: income from legal persons, the
// withholdings, social security, cumulative income and the exempt and
// exclusively taxed lines it feeds.
namespace qv::declaration {

// nMode 2 copies the monthly grid column into the current income row; any
// other mode rebuilds the totals (1 and 3 show them on the income page, 4
// on the summary).
bool FI1_T(int nMode);

}  // namespace qv::declaration
