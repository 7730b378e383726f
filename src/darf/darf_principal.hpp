#pragma once
// Loading one slip: its principal, due date and the figures its text lines
// show, from the declaration loaded for printing.
namespace qv::darf {

// How a slip is loaded: from the dialog, or silently while printing.
inline constexpr int kInteractive = 2;
inline constexpr int kSilent = 0;

// The slip of quota or month n of kind nKind; false when there is none to
// print (nMode 2 may explain why).
bool BUS_IMPO(int n, int nKind, int nMode);
// The late-filing fine for the slip's dates, as its principal and total.
void late_filing_figures();

}  // namespace qv::darf
