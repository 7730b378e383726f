#pragma once
// Choosing the colours of eight screen elements from the palette of the
// 128 text attributes (16 foregrounds on 8 backgrounds); each move applies
// at once, and leaving stores the terminal's colours in its CORES record.
namespace qv::office {

void MODCOR(bool from_menu = true);
void ESCOL_COR(int item);
void DESTELA();
void RE_FAZ(int row);
// False when the record could not be locked (nothing written).
bool GRAVACOR();

// An item's colour after a move in the palette: attribute variable, pair
// variable (and, for the chosen item, the derived COR_FERID).
void apply_colour(int item, int attr);
// The palette cell reached from `attr` with a cursor key (at an edge the
// same cell).
int palette_move(int attr, int key);
// The highlight derived from the chosen item's background.
int derived_highlight(int attr);

}  // namespace qv::office
