#include "console/dialog.hpp"

#include <algorithm>
#include <cctype>

#include "console/dialog_layout.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"

namespace qv::console {

namespace {

constexpr rt::Attr kFace = 0x70;    // N/W
constexpr rt::Attr kTitle = 0x1F;   // W+/B
constexpr int kCellWidth = 7;
constexpr int kCellHeight = 20;

int ceil_div(int a, int b) { return (a + b - 1) / b; }

std::unique_ptr<HDialog> new_dialog(int width, int height, const std::string& title, int style, bool pixel) {
    auto d = std::make_unique<HDialog>();
    d->nWidth = width;
    d->nHeight = height;
    d->title = title;
    d->style = style;
    d->lPixel = pixel;
    HCustomWindow::oDefaultParent = d.get();
    return d;
}

}  // namespace

std::unique_ptr<HDialog> INITDLG(int width, int height, const std::string& title, int style) {
    if (style == 0) style = 2048 + static_cast<int>(2147483648u - 2147483648u) + 268435456 + 12582912 + 524288;
    return new_dialog(width, height, title, style, true);
}

std::unique_ptr<HDialog> INITDLGXY(double width, double height, const std::string& title, int style) {
    if (style == 0) style = 2048 + 268435456 + 12582912;
    return new_dialog(HSAYWIDTH(width), HSAYHEIGHT(height), title, style, false);
}

HCustomWindow* HWGETLAST(HCustomWindow* window) { return window ? window : HCustomWindow::oDefaultParent; }

namespace {
int cursor_of(std::optional<int> value, HCustomWindow* window, int MWBasic::*member) {
    HCustomWindow* w = HWGETLAST(window);
    if (!w) return 0;
    if (value) w->*member = *value;
    return w->*member;
}
}  // namespace

int HROW(std::optional<int> value, HCustomWindow* window) { return cursor_of(value, window, &MWBasic::nxTop); }
int HROWH(std::optional<int> value, HCustomWindow* window) { return cursor_of(value, window, &MWBasic::nxBottom); }
int HCOL(std::optional<int> value, HCustomWindow* window) { return cursor_of(value, window, &MWBasic::nxLeft); }

PixelSize _FONTRECT(const std::string& text) {
    std::size_t widest = 0, lines = 1, run = 0;
    for (char c : text) {
        if (c == '\n') {
            ++lines;
            run = 0;
            continue;
        }
        widest = std::max(widest, ++run);
    }
    return {static_cast<int>(widest) * kCellWidth, static_cast<int>(lines) * 16};
}

CellRect HDialog::screen_cells() const {
    int rows = 0, cols = ceil_div(std::max(nWidth, kCellWidth), kCellWidth);
    for (const auto& c : aControls) {
        rows = std::max(rows, c->cell.row + c->cell.height + 1);
        cols = std::max(cols, c->cell.col + c->cell.width + 1);
    }
    if (aControls.empty()) rows = ceil_div(std::max(nHeight, kCellHeight), kCellHeight);
    rows = std::clamp(rows, 1, rt::SCREEN_ROWS - 2);
    cols = std::clamp(cols, static_cast<int>(title.size()) + 2, rt::SCREEN_COLS - 2);
    const int height = rows + 2, width = cols + 2;
    return {(rt::SCREEN_ROWS - height) / 2, (rt::SCREEN_COLS - width) / 2, width, height};
}

void HDialog::draw() const {
    const CellRect at = screen_cells();
    rt::DISPBEGIN();
    rt::DISPBOX(at.row, at.col, at.row + at.height - 1, at.col + at.width - 1, std::string(rt::B_DOUBLE) + " ", kFace);
    if (!title.empty()) {
        const std::string caption = " " + rt::LEFT(title, static_cast<std::size_t>(at.width - 4)) + " ";
        rt::at_say(at.row, at.col + (at.width - static_cast<int>(caption.size())) / 2, caption, kTitle);
    }
    for (const auto& c : aControls)
        if (c.get() != focus_) c->draw(at.row + 1, at.col + 1, false);
    if (focus_) focus_->draw(at.row + 1, at.col + 1, true);
    rt::DISPEND();
}

bool HDialog::move_focus(int step) {
    if (aControls.empty()) return false;
    if (focus_ && !focus_->lose_focus()) return false;
    const int n = static_cast<int>(aControls.size());
    int start = 0;
    for (int i = 0; i < n; ++i)
        if (aControls[static_cast<std::size_t>(i)].get() == focus_) start = i;
    for (int k = 1; k <= n; ++k) {
        HControl* c = aControls[static_cast<std::size_t>(((start + k * step) % n + n) % n)].get();
        if (c->takes_focus() && !c->lHide && c->gain_focus(step > 0)) {
            focus_ = c;
            c->nGetSkip = step;
            return true;
        }
    }
    return false;
}

void HDialog::focus_first() {
    focus_ = nullptr;
    if (nInitFocus != 0)
        if (HControl* c = FindControl(nInitFocus); c && c->takes_focus() && c->gain_focus(true)) {
            focus_ = c;
            return;
        }
    for (auto& c : aControls)
        if (c->takes_focus() && !c->lHide && c->gain_focus(true)) {
            focus_ = c.get();
            return;
        }
}

bool HDialog::press_hot_letter(int code) {
    for (auto& c : aControls) {
        const char letter = c->hot_letter();
        if (!letter || !c->takes_focus()) continue;
        const bool typed = code < 256 && std::toupper(code) == letter;
        if (code == rt::key::alt_letter(letter) || typed) {
            focus_ = c.get();
            onEvent(msg::COMMAND, c->id);
            return true;
        }
    }
    return false;
}

int HDialog::Activate() {
    reopen();
    nBtnOpc = 0;
    lastKeyEsc = false;
    const std::string saved = rt::SAVESCREEN();
    const int cursor = rt::SETCURSOR(0);
    const int cursor_row = rt::ROW(), cursor_col = rt::COL();
    if (bInit) bInit(*this);
    focus_first();
    while (!closing()) {
        draw();
        const int code = rt::INKEY(-1);
        if (auto it = key_actions.find(code); it != key_actions.end()) {
            it->second();
            continue;
        }
        if (code == rt::key::ESC) {
            lastKeyEsc = true;
            if (focus_) focus_->lose_focus();
            close(0);
            break;
        }
        switch (focus_ ? focus_->key(code) : KeyResult::Unhandled) {
            case KeyResult::Handled: continue;
            case KeyResult::Refused: continue;
            case KeyResult::Press: onEvent(msg::COMMAND, focus_->id); continue;
            case KeyResult::Next: move_focus(1); continue;
            case KeyResult::Previous: move_focus(-1); continue;
            case KeyResult::Unhandled: break;
        }
        if (code == rt::key::TAB || code == rt::key::DOWN) move_focus(1);
        else if (code == rt::key::SHIFT_TAB || code == rt::key::UP) move_focus(-1);
        else press_hot_letter(code);
    }
    rt::RESTSCREEN(saved);
    rt::SETPOS(cursor_row, cursor_col);
    rt::SETCURSOR(cursor);
    return nBtnOpc;
}

}  // namespace qv::console
