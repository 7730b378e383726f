#pragma once
// The revenue code, period of assessment and the five free lines of a slip.
#include <array>
#include <string>

namespace qv::darf {

// PREENCHE: fills DF_CODIG, DF_PERIODO, DF_REFER and DF_OUTR1..DF_OUTR5
// for quota or month n of the kind chosen; a free slip keeps what was typed.
void PREENCHE(int n);

// The text lines for the figures loaded (pure: tests and PREENCHE).
struct SlipFigures {
    int kind = 1;
    int number = 1;             // quota or month
    int quotas = 1;             // QTD_QUOTA
    int months_late = 0;        // late filing
    double principal = 0.0;     // IMPO_REAL
    double income = 0.0;        // REND_REAL (the base of a gain)
    double cash_book = 0.0;     // LCAX_REAL
    double deductions = 0.0;    // DEDU_REAL
    double paid = 0.0;          // IMPREC_REAL
    double due = 0.0;           // IMPDEV_REAL
    double tax_due = 0.0;       // I13_23 (late filing)
};
std::array<std::string, 5> slip_lines(const SlipFigures& f);

}  // namespace qv::darf
