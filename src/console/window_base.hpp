#pragma once
// The base of every dialog and control of the dialog layer. A dialog is
// drawn as a framed box on the 25 x 80 text screen; its geometry is kept in
// pixels (or in text units for dialogs that work in them), as the layer's
// callers give it, and turned into cells only when it is drawn.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include "runtime/core/value.hpp"

namespace qv::console {

class HCustomWindow;
class HControl;
class HButton;

// Message codes the windows answer (the usual window-system numbers).
namespace msg {
constexpr int DESTROY = 2, SIZE = 5, PAINT = 15, NOTIFY = 78, COMMAND = 273, MINMAXINFO = 36;
constexpr int FOCUS_IN = 256, FOCUS_OUT = 512, CHANGE = 768;
}

using EventBlock = std::function<int(HCustomWindow& owner, int id)>;

struct EventEntry {
    int message;
    int id;
    EventBlock block;
};

// The small base of the layer's non-window objects.
class HObject {
public:
    virtual ~HObject() = default;
    void AddObject(std::shared_ptr<HObject> object) { aObjects.push_back(std::move(object)); }
    std::vector<std::shared_ptr<HObject>> aObjects;
};

// What every window carries for the text-coordinate layout: the cursor of
// the next control (top, bottom and left), the button that closed the
// dialog, whether coordinates are pixels, and the dialog's button row.
struct MWBasic {
    std::string ClassType = "WINDOW";
    HControl* oLastControl = nullptr;
    int nxTop = 0, nxBottom = 0, nxLeft = 0;
    int nBtnOpc = 0;
    bool lPixel = true;
    std::vector<HButton*> aBtnOpc;
    // Keys bound on the dialog: run while it waits for a key.
    std::map<int, std::function<void()>> key_actions;
    void SetKey(int key, std::function<void()> action) { key_actions[key] = std::move(action); }
};

class HCustomWindow : public MWBasic, public HObject {
public:
    HCustomWindow();
    ~HCustomWindow() override;
    HCustomWindow(const HCustomWindow&) = delete;
    HCustomWindow& operator=(const HCustomWindow&) = delete;

    // The window new controls go to when none is named (the dialog being built).
    static HCustomWindow* oDefaultParent;

    int handle = 0;
    HCustomWindow* oParent = nullptr;
    std::string title;
    std::string Type;
    int nTop = 0, nLeft = 0, nWidth = 0, nHeight = 0;
    int minWidth = -1, maxWidth = -1, minHeight = -1, maxHeight = -1;
    long long style = 0;
    int extStyle = 0;
    bool lHide = false;
    bool lSuspendMsgsHandling = false;
    std::vector<EventEntry> aEvents, aNotify;
    std::vector<std::unique_ptr<HControl>> aControls;
    std::function<void(HCustomWindow&)> bInit, bDestroy, bRefresh;
    std::function<int(HCustomWindow&, int message)> bOther;
    rt::Value cargo;
    int HelpId = 0, nInitFocus = 0;
    // Controls given a name (AddName): reachable as members of this window.
    std::map<std::string, HControl*> named;

    const std::string& Caption() const { return title; }
    virtual void SetTextClass(const std::string& text) { title = text; }

    HControl& AddControl(std::unique_ptr<HControl> control);
    void DelControl(HControl* control);
    void AddEvent(int message, int id, EventBlock block, bool notify = false);
    // Searches the controls from the last to the first, nested ones first:
    // by id when one is given, else by handle.
    HControl* FindControl(std::optional<int> id, int handle = 0) const;
    void Hide() { lHide = true; }
    void Show() { lHide = false; }
    void Move(std::optional<int> left, std::optional<int> top, std::optional<int> width = {},
              std::optional<int> height = {});
    // Runs the handler of a message; -1 when the window has none.
    virtual int onEvent(int message, int id = 0);
    void END();
    bool RefreshCtrl(int id);
    bool SetFocusCtrl(int id);
    virtual bool Refresh();
    virtual void SetFocus() {}

    // The dialog's row of buttons, centred near its bottom edge: pressing
    // button i sets nBtnOpc to i and closes the dialog.
    void BtnOpc(const std::vector<std::string>& captions = {"&Confirmar", "C&ancelar"}, int width = 80,
                int height = 32, double spacing = 0);
    // Ends the dialog's modal run with the given button number.
    void close(int button) {
        nBtnOpc = button;
        closing_ = true;
    }
    bool closing() const { return closing_; }
    void reopen() { closing_ = false; }

    // Number of window levels above this one (0 for a top-level dialog).
    int depth() const;
    // The top-level window this one belongs to.
    HCustomWindow& top_window();

private:
    void destroy_children();
    bool closing_ = false;
};

}  // namespace qv::console
