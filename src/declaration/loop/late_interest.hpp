#pragma once
// Interest of late payments from the monthly SELIC rates, and the office's
// list of refunds and taxes to pay corrected by it.
#include <string>
#include <string_view>
#include <vector>

namespace qv::declaration {

// The interest in percent between DF_VCTO and DF_PGTO: mode 1 from the
// due month, mode 2 (income-tax quotas) from April of the due year to
// `month` ("mm") of the payment year. 0 when payment precedes the due month.
double ACHAJURO(int nMode, std::string_view cMonth = {});
// The months ("yyyymm") whose SELIC rate ACHAJURO would add and that the
// rates table does not hold (no record, or no rate in it), in order.
std::vector<std::string> missing_selic_months(int nMode, std::string_view cMonth = {});
// The missing months as the clerk is told them: "mm/yyyy", or
// "mm/yyyy a mm/yyyy" for a run of months.
std::vector<std::string> selic_month_runs(const std::vector<std::string>& months);
// Tells the clerk which months ("yyyymm", in order) the rates table lacks,
// what the interest shown leaves out (`left_out`) and where the table is
// completed; false, and nothing shown, when none is missing.
bool warn_missing_selic(const std::vector<std::string>& months, std::string_view left_out);
// The corrected-tax list of the folder's register (F5 at the CPF prompt).
void IMPCORRIG();

}  // namespace qv::declaration
