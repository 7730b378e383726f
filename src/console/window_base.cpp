#include "console/window_base.hpp"

#include <algorithm>

#include "console/controls.hpp"

namespace qv::console {

namespace {
int next_handle = 1;
}

HCustomWindow* HCustomWindow::oDefaultParent = nullptr;

HCustomWindow::HCustomWindow() : handle(next_handle++) {}

HCustomWindow::~HCustomWindow() {
    if (oDefaultParent == this) oDefaultParent = nullptr;
}

HControl& HCustomWindow::AddControl(std::unique_ptr<HControl> control) {
    control->oParent = this;
    aControls.push_back(std::move(control));
    return *aControls.back();
}

void HCustomWindow::DelControl(HControl* control) {
    if (!control) return;
    const int id = control->id;
    auto drop = [id](std::vector<EventEntry>& list) {
        std::erase_if(list, [id](const EventEntry& e) { return e.id == id; });
    };
    drop(aEvents);
    drop(aNotify);
    std::erase_if(aBtnOpc, [control](HButton* b) { return static_cast<HControl*>(b) == control; });
    for (auto it = named.begin(); it != named.end();) it = it->second == control ? named.erase(it) : std::next(it);
    std::erase_if(aControls, [control](const std::unique_ptr<HControl>& c) { return c.get() == control; });
}

void HCustomWindow::AddEvent(int message, int id, EventBlock block, bool notify) {
    (notify ? aNotify : aEvents).push_back({message, id, std::move(block)});
}

HControl* HCustomWindow::FindControl(std::optional<int> id, int wanted_handle) const {
    for (auto it = aControls.rbegin(); it != aControls.rend(); ++it) {
        if (HControl* nested = (*it)->FindControl(id, wanted_handle)) return nested;
        if (id ? (*it)->id == *id : (*it)->handle == wanted_handle) return it->get();
    }
    return nullptr;
}

void HCustomWindow::Move(std::optional<int> left, std::optional<int> top, std::optional<int> width,
                         std::optional<int> height) {
    if (left) nLeft = *left;
    if (top) nTop = *top;
    if (width) nWidth = *width;
    if (height) nHeight = *height;
}

int HCustomWindow::onEvent(int message, int id) {
    if (message == msg::MINMAXINFO) {
        if (minWidth > -1) nWidth = std::max(nWidth, minWidth);
        if (maxWidth > -1) nWidth = std::min(nWidth, maxWidth);
        if (minHeight > -1) nHeight = std::max(nHeight, minHeight);
        if (maxHeight > -1) nHeight = std::min(nHeight, maxHeight);
        return 0;
    }
    if (message == msg::COMMAND || message == msg::NOTIFY) {
        if (lSuspendMsgsHandling) return 1;
        for (const auto& e : message == msg::COMMAND ? aEvents : aNotify)
            if (e.id == id && e.block) {
                e.block(*this, id);
                return 1;
            }
        return message == msg::COMMAND ? 1 : -1;
    }
    if (message == msg::DESTROY) {
        destroy_children();
        return 1;
    }
    if (bOther) return bOther(*this, message);
    return -1;
}

void HCustomWindow::destroy_children() {
    for (auto& c : aControls) c->onEvent(msg::DESTROY);
    aObjects.clear();
    if (bDestroy) bDestroy(*this);
}

void HCustomWindow::END() {}

bool HCustomWindow::RefreshCtrl(int id) {
    HControl* c = FindControl(id);
    return c && c->Refresh();
}

bool HCustomWindow::SetFocusCtrl(int id) {
    HControl* c = FindControl(id);
    if (c) c->SetFocus();
    return c != nullptr;
}

bool HCustomWindow::Refresh() {
    if (lHide) return true;
    if (bRefresh) bRefresh(*this);
    for (auto& c : aControls)
        if (!c->lHide) c->Refresh();
    return true;
}

int HCustomWindow::depth() const {
    int n = 0;
    for (const HCustomWindow* w = oParent; w; w = w->oParent) ++n;
    return n;
}

HCustomWindow& HCustomWindow::top_window() {
    HCustomWindow* w = this;
    while (w->oParent) w = w->oParent;
    return *w;
}

}  // namespace qv::console
