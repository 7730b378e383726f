#pragma once
// The progressive tax table of the year: annual (scaled to the months of an
// estate-final or departure declaration) and monthly (the carnê-leão).
#include <string_view>

namespace qv::declaration {

inline constexpr int kAnnualTable = 1;
inline constexpr int kMonthlyTable = 12;

// Tax of nBase under the table nKind (1 annual, 12 monthly of nMonth). The
// tax is assigned to the variable named cTarget when it exists (a name that
// exists nowhere would live only during this call) and returned.
double CALC_IMPOS(int nKind, double nBase, std::string_view cTarget, int nMonth);

// Months the annual table covers: 12, or up to the partition or deed of an
// estate-final declaration, or from the court decision to the departure.
int months_of_annual_table();

// The five bands: bounds (upper limits of the first four) and deductions.
struct TaxBands {
    double bound[4];
    double deduction[4];
};
double tax_of_bands(const TaxBands& bands, double base);

}  // namespace qv::declaration
