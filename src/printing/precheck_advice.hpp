#pragma once
// The advice of the pre-check list: how the year's reserve (receipts less
// outgoings) compares with the office's threshold.
#include <string>
#include <vector>

namespace qv::printing {

struct CashFigures {
    double receipts = 0.0;
    double outgoings = 0.0;
    double medical = 0.0;
    double keeping_assets = 0.0;   // cost of keeping the assets (DESPNAO)
    double personal = 0.0;         // personal spending (OUTRDES)
    bool has_property = false;     // an asset with a code from 1 to 28
    double threshold = 10.0;       // INDALERTA, percent
};

// The reserve as a percentage of the receipts; 0 without receipts.
double reserve_index(const CashFigures& f);
std::vector<std::string> precheck_advice(const CashFigures& f);

}  // namespace qv::printing
