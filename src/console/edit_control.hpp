#pragma once
// The edit control of the dialogs: one value edited under a picture mask,
// as the text-mode entry fields edit it (the runtime's GET does the typing),
// with the control's own input filter, focus checks and colours.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include "console/controls.hpp"
#include "runtime/ui/get.hpp"

namespace qv::console {

// What an edit control may be given beside its value and position.
struct EditOptions {
    int style = 0;
    std::string cPicture;
    bool lNoBorder = false;
    std::optional<int> nMaxLength;
    bool lPassword = false;
    std::function<bool(const std::string& text)> bGetFocus;   // When
    std::function<bool(const rt::Value& value)> bLostFocus;   // Valid
    std::function<void(const std::string& text)> bChange;
};

class HEdit : public HControl {
public:
    // The get/set block: called without a value it reads the edited
    // variable, with one it stores it.
    using SetGet = std::function<rt::Value(const std::optional<rt::Value>&)>;


    // Position and size are text rows and columns (height 1, width the
    // value's length) turned into pixels by the field factors, unless the
    // parent dialog works in pixels.
    static HEdit& New(HCustomWindow* parent, std::optional<int> id, const rt::Value& xValue, SetGet bSetGet,
                      Placement at, EditOptions options = {});

    bool lMultiLine = false;
    char cType = 'C';
    SetGet bSetGet;
    std::string cPicFunc, cPicMask;
    bool lPicComplex = false;
    bool lFirst = true;
    bool lChanged = false;
    int nMaxLength = 0;
    bool lPassword = false;

    rt::Value VarGet() const;
    void VarPut(const rt::Value& v);
    // The value as shown: through the picture, dates as text, numbers with
    // STR(), text trimmed.
    std::string display_text() const;
    void SetValueText(const rt::Value& v);
    bool Refresh() override;
    void ParsePict(const std::string& picture, const rt::Value& value);
    // The edited text back into a value of the control's type.
    rt::Value Untransform(const std::string& text) const;
    // Text that is not a date but holds a digit.
    static bool IsBadDate(const std::string& text);
    // Whether position n (1-based) of the mask takes a character.
    bool IsEditable(int n) const;

    bool read_only() const { return (style & 2048) != 0; }
    bool takes_focus() const override { return IsEnabled(); }
    bool gain_focus(bool forward) override;
    bool lose_focus() override;
    KeyResult key(int code) override;
    void draw(int row0, int col0, bool focused) const override;

private:
    rt::Get& editor();
    KeyResult multiline_key(int code);
    bool filter(int code) const;
    std::function<bool(const std::string&)> when_;
    std::function<bool(const rt::Value&)> valid_;
    std::function<void(const std::string&)> change_;
    rt::Value own_value_;   // the value of a control without a get/set block
    std::unique_ptr<rt::Get> get_;
    int first_line_ = 0;
};

// Colours of the focused field: on/off, and the text and background
// colours (as 0xBBGGRR numbers) that replace the current ones when given.
bool SETCOLORINFOCUS(std::optional<bool> on = {}, std::optional<long> text_colour = {},
                     std::optional<long> back_colour = {}, std::optional<bool> fixed = {});
// The attribute the focused field is drawn in while colour in focus is on.
rt::Attr focus_attr();
// The nearest of the screen's 16 colours to a 0xBBGGRR colour.
int nearest_screen_colour(long rgb);

// The edit controls of a dialog, in order (one level into group boxes).
std::vector<HEdit*> CREATEGETLIST(HCustomWindow& dialog);
// Moves the focus of the control's dialog by nStep (1 next, -1 previous).
bool GETSKIP(HCustomWindow& parent, int nStep);
// A terminal does not report Ctrl and Shift held alone: always false.
bool ISCTRLSHIFT(bool ctrl = true, bool shift = true);

}  // namespace qv::console
