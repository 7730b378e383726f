#pragma once
// The window table and saved-screen stack shared by the window modules.
#include <string>
#include <vector>
#include "common/windows.hpp"

namespace qv::common::detail {

struct Region {
    int top, left, bottom, right;
};

struct SavedScreen {
    int id;
    Region region;          // clipped to the screen
    std::string contents;
};

struct WindowState {
    std::vector<TextWindow> windows;
    std::vector<SavedScreen> saved;   // at most one entry per window id
};

WindowState& window_state();
TextWindow* window(int id);
// The cells opening the window saves (its frame and shadow included).
Region frame_region(const TextWindow& w);
// The cells the window draws on: the box of type 1 lies one cell up and left.
Region drawn_region(const TextWindow& w);

}  // namespace qv::common::detail
