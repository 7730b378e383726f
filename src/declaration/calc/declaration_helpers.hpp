#pragma once
// Helpers of the declaration's entry: the dollar converter of Alt+U, the
// zoom keys between the assets and debts lists and their full screens, and
// the look-up of a CPF among the dependants or alimony recipients.
#include <string_view>

namespace qv::declaration {

// Refreshes the converter's other side for `month` (mode 1: reais to
// dollars, 2: dollars to reais, 0: only the month's name); false for a
// month outside 1-12.
bool ATUAVAL(int mode, double value, int month);
// The converter form for a value of `month`; the value in reais it ends with.
double MUDATEL13(int month, double value);
// Alt+U on the field being edited.
void CALC_UFIR();
// The zoom keys of the assets and debts grids.
bool MUDATEL12();
bool MUDATEL14();
// Looks up a CPF among the dependants (mode 1) or alimony recipients (2).
bool VE_RELDEP(std::string_view cpf, std::string_view help, int mode);
// Checks a dependant's CPF, then looks it up.
bool VERCPFDEPE(std::string_view cpf);

void register_declaration_helper_routines();

}  // namespace qv::declaration
