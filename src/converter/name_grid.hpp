#pragma once
// The converter's own small grid catalogue and its reduced grid engine
// (kept apart from the main program's grids: the same numbers mean other
// grids there).
namespace qv::converter {

// Runs grid `grid` on its table (open in its area): 1 the pick list
// LISNOME with the marking keys and its footing, 2 the same list without
// them, 3 the payroll statements FOLHAPG, 4 the folder list.
void EDITA(int grid);
// Frames the area and runs the grid on the selected table, then commits.
void MOSTRA(int top, int left, int bottom, int right, int frame);

}  // namespace qv::converter
