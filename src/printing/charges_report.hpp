#pragma once
// The charges for the work done: per taxpayer the time and the data size
// priced with the office's rates, with totals and averages.
#include <string>

namespace qv::printing {

struct WorkPrices {
    double per_thousand_bytes = 0.0;   // VAL_BYTE
    double per_minute = 0.0;           // VAL_SEG
    double minimum = 0.0;              // VAL_MIN
};

struct WorkCharge {
    double time = 0.0;       // minutes x price per minute
    double size = 0.0;       // thousands of bytes x price
    double computed = 0.0;   // their sum, at least the minimum; 0 with no time recorded
};

WorkCharge work_charge(double seconds, double bytes, const WorkPrices& prices);
// Seconds of work as hours and minutes ("   2:05").
std::string hours_minutes(double seconds);

// Sheet 11: the charges of the register from the current row to its end.
void FAZ_PRECO();
// The totals so far under the report.
void TOTALDEC();

}  // namespace qv::printing
