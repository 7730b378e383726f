#pragma once
// The static frames of the management dialogs: the box, the title on its
// top border, the labels inside and hints on its bottom border, kept as
// data. A dialog is known by its painter's name and a number; the painters
// (dialog_painters.hpp) open the dialog's window on it.
#include <string_view>
#include <vector>

#include "declaration/entry/frames.hpp"

namespace qv::declaration {

struct DialogFrame {
    std::string_view painter;   // MTELA2, MTELA3, MTELA4, MTELA5, MTELA13, MTELA21, MTELAVER, MOSTELA4
    int number;
    int window;                 // the text window the dialog opens; 0 none: the
                                // area is cleared and the labels written on it
    FrameText frame;            // labels at the offsets of the callers' fields
};

// nullptr when the painter has no such dialog.
const DialogFrame* dialog_frame(std::string_view painter, int number);
const std::vector<DialogFrame>& dialog_frames();

// The parts MTELAVER(5) adds to the property form's heirs question.
inline constexpr int kPropertyAddress = 51;
inline constexpr int kPropertyInBrazil = 52;
inline constexpr int kPropertyAbroad = 53;
inline constexpr int kPropertyRegistry = 54;
// The parts MTELA5(9) adds to the capital-gain form by the kind of gain.
inline constexpr int kGainShares = 91;
inline constexpr int kGainAssets = 92;
inline constexpr int kGainRealEstate = 93;

}  // namespace qv::declaration
