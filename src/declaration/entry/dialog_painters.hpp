#pragma once
// The painters of the management dialogs' frames. Each opens the dialog's
// window on its frame (dialog_frames.hpp) and records the frame's top row
// and left column in ALJA / ACJA at the dialog number held in NTA; an
// unknown number paints nothing.
#include <string_view>

namespace qv::declaration {

// 1, 3, 8 plain windows; 2 SELIC rate; 6 billing prices; 9 status
// management; 10, 11 capital-gain exemption box.
void MTELA2(int n);
// 1 backup; 2 bookkeeping entry; 3 the taxpayer box; 4 billing issuer;
// 5 single slip; 6 e-mail account; 7 e-mail draft; 10 bookkeeping menu.
void MTELA3(int n);
// 2 the autosave mode.
void MTELA4(int n);
// 6 asset upkeep expenses; 7 data folders; 8 cash book; 9 the capital-gain
// form of a kind (1 real estate, 2 movables, 3 shares).
void MTELA5(int n, int kind = 0);
// 2 the print menu whose caption list QUEMOSTRA names, its first `count`
// captions (ALTUR, LARG, MENSMENU and OPCOES set for the option bar);
// 3 the taxpayer box; 7 DARF codes; 8 quotas; 9 folders to search.
void MTELA13(int n, int count = 0);
// 1 DARF form; 3 quota due dates; 5, 6 print filters; 7 dependant CPF.
void MTELA21(int n);
// The month calendar's frame with the week-day heading.
void MOSTELA4();
// The read-only register data (MTELAVER 4).
void register_data_frame();
// The property form of an asset (MTELAVER 5): variant 1 a property in
// Brazil, 3 a property abroad, any other only the heirs' question; the
// registry's labels join a property when `registered`.
void property_frame(int variant, bool registered);
// The capital-gain form (MTELA5 9) of a kind of gain.
void capital_gain_frame(int kind);

// Paints one dialog; false when the painter has no such number.
bool paint_dialog(std::string_view painter, int number);
// Closes the dialog's window, putting back the screen under it.
void close_dialog(std::string_view painter, int number);

void register_dialog_painter_routines();

}  // namespace qv::declaration
