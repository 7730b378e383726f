#pragma once
// The frames of the management dialogs, selected by their number (MTELA1).
// Each is data (dialog_frame_texts.cpp): the text window it opens, where
// the window lies and its lines; the dialogs place their entry fields and
// option bars on the rows and columns the frame leaves for them.
#include "common/frame_boxes.hpp"

namespace qv::declaration {

// Numbers of MTELA1 and the variants that change a frame's lines.
namespace dialog {
constexpr int kIncomeDetail = 1;   // variant: the grid (1 holder, 2 dependants, 20 cumulative income)
constexpr int kPartCopy = 2;       // variant 0 the two CPFs, 1 the parts, 2 the parts with the rural ones
constexpr int kCpfChange = 3;
constexpr int kFolderPair = 4;     // variant 0 source and target, 1 current and new
constexpr int kBillingMenu = 5;
constexpr int kEmailMenu = 6;
constexpr int kSimulator = 7;
constexpr int kValueSearch = 8;
constexpr int kBackground = 9;
constexpr int kAgendaMenu = 10;
constexpr int kCurrency = 11;
constexpr int kTextExport = 12;
}  // namespace dialog

// The frame's data; nullptr when the number (and variant) has none.
const common::FrameBox* mtela1_frame(int number, int variant = 0);
// Paints frame `number`; a number without a frame paints nothing.
void MTELA1(int number, int variant = 0);
// MTELA1 by name for the other subsystems.
void register_dialog_frame_routines();

}  // namespace qv::declaration
