#pragma once
// The simulator: the tax after a new deduction, and the income that yields
// a given tax under either model.
#include <string_view>

namespace qv::declaration {

// 1 new deduction NSDEDUCAO -> NSIMPOSTO; 2 tax NSIMPOSTO under the
// simplified model -> income NSRECEITA; 3 the same under the complete one.
// False when the refund asked is larger than the tax paid.
bool SIMUL(int nMode);
// The summary page's "Simulador" answer: "S" opens the simulation window.
bool FAZINVER(std::string_view cAnswer);

// The tax at which the simplified discount reaches its cap.
double capped_discount_tax();

}  // namespace qv::declaration
