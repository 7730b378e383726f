#pragma once
// Dialogs of the layer: a framed box centred on the text screen, holding
// controls, run modally until a button closes it or Esc abandons it. Tab,
// Shift+Tab and the arrows move the focus, Enter presses the focused
// button (or moves on from a field), a button's hot letter presses it.
#include <memory>
#include <optional>
#include <string>
#include "console/controls.hpp"

namespace qv::console {

class HDialog : public HCustomWindow {
public:
    // Dialogs below kind 10 move on from a field with Enter.
    int kind = 0;
    // True when the last key of the run was Esc.
    bool lastKeyEsc = false;
    // Runs the dialog; returns nBtnOpc (0 when it was left otherwise).
    int Activate();
    // The cells the dialog takes on the screen (frame included).
    CellRect screen_cells() const;
    // The control that has the focus while the dialog runs.
    HControl* focused() const { return focus_; }
    // Moves the focus to the next (step 1) or previous (-1) control that
    // takes it; false when it could not leave the current one.
    bool move_focus(int step);

private:
    void draw() const;
    void focus_first();
    bool press_hot_letter(int code);
    HControl* focus_ = nullptr;
};

// A new dialog of width x height pixels, centred, with a caption; it
// becomes the default parent of new controls.
std::unique_ptr<HDialog> INITDLG(int width = 570, int height = 510, const std::string& title = {}, int style = 0);
// The same with the size in text units, converted with the label width and
// height factors; its controls take text rows and columns.
std::unique_ptr<HDialog> INITDLGXY(double width = 35, double height = 90, const std::string& title = {},
                                   int style = 0);

// The dialog being built (the default parent), or the given window.
HCustomWindow* HWGETLAST(HCustomWindow* window = nullptr);
// The layout cursor of that window: nxTop, nxBottom, nxLeft; a value sets it.
int HROW(std::optional<int> value = {}, HCustomWindow* window = nullptr);
int HROWH(std::optional<int> value = {}, HCustomWindow* window = nullptr);
int HCOL(std::optional<int> value = {}, HCustomWindow* window = nullptr);

struct PixelSize {
    int width = 0, height = 0;
};
// The size of a text in the dialogs' font: a fixed-pitch cell of 7 x 16.
PixelSize _FONTRECT(const std::string& text);

}  // namespace qv::console
