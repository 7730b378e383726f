#pragma once
// The controls of the dialog layer: static text, push buttons, group box,
// line and status bar. A control keeps its position in pixels, as the
// window system would, and the cells it takes inside its dialog's frame.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include "console/window_base.hpp"
#include "runtime/core/value.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::console {

// Window style bits the layer reads.
namespace ws {
constexpr int CHILD_VISIBLE = 0x50000000, TABSTOP = 0x10000, BORDER = 0x800000, DLGFRAME = 0x400000;
constexpr int SS_NOTIFY = 0x100, SS_OWNERDRAW = 13, BS_GROUPBOX = 7, ES_READONLY = 2048;
constexpr int ES_PASSWORD = 32, ES_MULTILINE = 4, ES_WANTRETURN = 4096, ES_AUTOHSCROLL_RIGHT = 8194;
constexpr int WS_EX_TRANSPARENT = 32;
}

// The cells a control takes, relative to the inside of its dialog's frame.
struct CellRect {
    int row = 0, col = 0, width = 1, height = 1;
};
// Cells of a pixel rectangle: 7 pixels a column and 20 a row, the spacing
// of the layer's label and field factors.
CellRect cells_of_pixels(int left, int top, int width, int height);

// What a key did to the control that has the focus.
enum class KeyResult { Unhandled, Handled, Next, Previous, Press, Refused };

// Geometry as a caller gives it: any part may be left out.
struct Placement {
    std::optional<double> left, top, width, height;
};

class HControl : public HCustomWindow {
public:
    int id = 0;
    std::string tooltip;
    bool lInit = false;
    bool lnoValid = false;
    int nGetSkip = 0;
    int anchor = 0;
    CellRect cell;
    rt::Attr tcolor = 0x70;   // N/W, the dialogs' face colour

    // The next free identifier on the parent: 34000 + 1000 per window level
    // above the parent + the parent's control count, counting down past ids
    // taken, never below 34000.
    static int NewId(const HCustomWindow& parent);
    // A non-empty name without "[" that is not "::" becomes a member of the
    // parent that reaches this control.
    void AddName(const std::string& name);
    void SetColor(std::optional<rt::Attr> text_and_back);
    void Disable() { enabled_ = false; }
    void Enable() { enabled_ = true; }
    bool IsEnabled() const { return enabled_; }
    virtual std::string GetText() const { return title; }
    virtual void SetText(const std::string& text) {
        title = text;
        Refresh();
    }
    // Runs bInit once, with the parent's message handling suspended.
    void Init();

    // ---- drawing and keys, inside a dialog laid at (row0, col0) ----
    virtual void draw(int row0, int col0, bool focused) const;
    virtual bool takes_focus() const { return false; }
    virtual KeyResult key(int /*code*/) { return KeyResult::Unhandled; }
    // The control's hot letter (upper case), or 0.
    virtual char hot_letter() const { return 0; }
    // Focus arriving (false: the control refuses it) and leaving (false:
    // the focus stays).
    virtual bool gain_focus(bool /*forward*/) { return true; }
    virtual bool lose_focus() { return true; }

protected:
    HControl() = default;
    // Common part of every constructor: parent (the default parent when
    // none), id (NewId when none), style with the child bits, position.
    void place(HCustomWindow* parent, std::optional<int> id, int style, int left, int top, int width,
               int height);
    bool enabled_ = true;
};

// Adds a control made by `make` to its parent and returns it.
template <class T>
T& add_control(HCustomWindow& parent, std::unique_ptr<T> control) {
    T& ref = *control;
    parent.AddControl(std::move(control));
    return ref;
}

class HStatic : public HControl {
public:
    // In a text-unit dialog the position is rows and columns (width: the
    // caption's length, height: 1 row) and is then turned into pixels; in a
    // pixel dialog a missing size comes from the caption's size in the font.
    static HStatic& New(HCustomWindow* parent, std::optional<int> id, int style, Placement at,
                        const rt::Value& caption, std::function<void()> bClick = {},
                        bool transparent = false);
    bool AutoSize = false;
    int nStyleHS = 0;
    std::function<void()> bClick, bDblClick;
    void SetValue(const rt::Value& v);
    void draw(int row0, int col0, bool focused) const override;
};

class HButton : public HControl {
public:
    static HButton& New(HCustomWindow* parent, std::optional<int> id, int style, Placement at,
                        const std::string& caption, std::function<void(HButton&)> bClick = {});
    std::function<void(HButton&)> bClick;
    std::function<bool(const std::string&, HButton&)> bGetFocus;
    void onClick();
    void draw(int row0, int col0, bool focused) const override;
    bool takes_focus() const override { return IsEnabled(); }
    KeyResult key(int code) override;
    char hot_letter() const override;
    bool gain_focus(bool forward) override;
};

// The owner-drawn button: on a text screen it looks and works as HButton.
class HButtonEX : public HButton {
public:
    int SetColorEx(int n, rt::Attr colour);

private:
    rt::Attr colours_[6] = {0x70, 0x70, 0x70, 0x70, 0x70, 0x70};
};

class HGroup : public HControl {
public:
    static HGroup& New(HCustomWindow* parent, std::optional<int> id, Placement at, const std::string& caption);
    void draw(int row0, int col0, bool focused) const override;
};

class HLine : public HControl {
public:
    static HLine& New(HCustomWindow* parent, std::optional<int> id, bool vertical, Placement at,
                      std::optional<int> length = {});
    bool lVert = false;
    void draw(int row0, int col0, bool focused) const override;
};

// A status bar along the dialog's bottom edge, in panels.
class HStatus : public HControl {
public:
    static HStatus& New(HCustomWindow* parent, std::optional<int> id, std::vector<int> aParts = {});
    std::vector<int> aParts;
    void SetTextPanel(int n, const std::string& text);
    std::string GetTextPanel(int n) const;
    void draw(int row0, int col0, bool focused) const override;

private:
    std::vector<std::string> texts_;
};

// The caption without its "&" and the letter after it (0 when none).
std::string strip_hot_letter(const std::string& caption, char* letter = nullptr);

}  // namespace qv::console
