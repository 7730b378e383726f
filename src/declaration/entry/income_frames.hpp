#pragma once
// The frames of pages 1 and 2: the lists of income from legal persons with
// their totals block, and the monthly carnê-leão sheet of a person.
#include <string>
#include <string_view>

namespace qv::declaration {

// JANPJUR: page 1's frame; 1 the taxpayer's sub-pages, 2 the dependants'.
void JANPJUR(int n);
// JANPFIS: page 2's frame; 1 the taxpayer's sheet, 2 a dependant's.
void JANPFIS(int n);

// The label of the carnê-leão fill mode (1-4) as the frame shows it.
std::string fill_mode_label(int mode);
// Writes a fill mode's label after "Preenchimento atual:" on page 2's frame,
// over the one shown before.
void show_fill_mode(std::string_view label);
// Page 2's totals line under the sheet, labels and figures: the person's
// social security, the due date and, for the taxpayer's sheet filled from
// lists, the alimony and the dependants.
void show_sheet_totals(bool dependant);

}  // namespace qv::declaration
