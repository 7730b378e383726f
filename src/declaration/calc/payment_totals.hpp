#pragma once
// The payments list summed by kind of deduction, and the checks its grid
// runs on the amount and non-deductible columns.
namespace qv::declaration {

// Raw totals of the payments list (skipped while JA_CALC holds).
bool FDE_TUDO(int nShow);
// Amount column: limits by code; returns the value to store.
double FDOAPAG(double nValue);
// Non-deductible column: returns the value to store.
double FCONFNDEDU(double nValue);

}  // namespace qv::declaration
