#include "declaration/grids/capital_gain_instalments.hpp"

#include <string>

#include "common/globals.hpp"
#include "declaration/grids/matrix_grid.hpp"
#include "declaration/loop/monthly_matrices.hpp"

namespace qv::declaration::grids {

namespace {

constexpr const char* kInstalments = "REC_GANHO";
constexpr const char* kPicture = "@Ez 999,999,999.99";
constexpr int kTotals = 13;
enum Column { kTaxable = 1, kTaxDue, kMonth, kReceived, kCredited, kPaid };

// Shares or quotas of this kind of holding pay the higher rate.
double rate() {
    const bool shares = common::Global{"TIPO_BEM"}.integer() == 3 && common::Global{"TIPOPART"}.integer() == 3;
    return shares ? 0.20 : 0.15;
}

}  // namespace

void FX_GANHO(int row) {
    if (row >= 1 && row < kTotals) {
        const double received = matrix_amount(kInstalments, row, kReceived);
        if (common::Global{"PEQ_VALOR"}.text() == "S") {
            for (const int col : {kTaxable, kTaxDue}) set_matrix_cell(kInstalments, row, col, rt::Value(std::string(14, ' ')));
        } else {
            const double taxable = received * common::Global{"PER_TRI"}.number() / 100;
            set_matrix_amount(kInstalments, row, kTaxable, taxable, kPicture);
            set_matrix_amount(kInstalments, row, kTaxDue, taxable * rate(), kPicture);
        }
    }
    for (const int col : {kTaxable, kTaxDue, kReceived, kCredited, kPaid}) {
        double sum = 0.0;
        for (int r = 1; r < kTotals; ++r) sum += matrix_amount(kInstalments, r, col);
        set_matrix_amount(kInstalments, kTotals, col, sum, kPicture);
    }
}

void ZERADOR() {
    for (int row = 1; row <= kTotals; ++row)
        for (const int col : {2, 3}) set_matrix_cell("CALC_MENS", row, col, rt::Value(std::string(11, ' ')));
}

}  // namespace qv::declaration::grids
