#pragma once
// The monthly statement of gains and losses in variable income (stock
// market, common operations and day trade) and the separate statement of
// the real-estate investment funds.
#include <string>

namespace qv::printing {

void GRV_IMP();
// 1 the stock market, 2 the real-estate funds.
void IMP_APURA(int kind);
// The month's name in upper case (kind 1) or as written (other kinds).
std::string MOSNOME(int month, int kind);

}  // namespace qv::printing
