#pragma once
// Alt+S during entry: the pop-up calculator over the field being edited,
// whose result the field takes when the user confirms it.

namespace qv::declaration {

void CHAMA_CALC();
void register_calculator_call();

}  // namespace qv::declaration
