#pragma once
// The income statement a paying source gives the taxpayer, printed from
// the office's payroll file.
namespace qv::printing {

// Sheet 12: one statement a payroll row of the taxpayer, each on its own page.
void FAZ_COMPROV();

}  // namespace qv::printing
