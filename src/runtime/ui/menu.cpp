#include "runtime/ui/menu.hpp"
#include <algorithm>
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/browse_colours.hpp"

namespace qv::rt {

namespace {

constexpr char SEPARATOR = '\xC4';   // the horizontal line of CP850

std::string without_marker(std::string_view caption) {
    std::string out;
    bool marked = false;
    for (char c : caption) {
        if (c == '&' && !marked) { marked = true; continue; }
        out += c;
    }
    return out;
}

int marker_pos(std::string_view caption) {
    auto amp = caption.find('&');
    if (amp == std::string_view::npos || amp + 1 >= caption.size()) return -1;
    return static_cast<int>(amp);
}

char hot_of(std::string_view caption) {
    int p = marker_pos(caption);
    return p < 0 ? '\0' : upper_char(caption[static_cast<std::size_t>(p) + 1]);
}

MenuItem* find_in(PopUp& p, int id) {
    for (auto& item : p.items()) {
        if (item.id == id && !item.is_separator()) return &item;
        if (item.sub)
            if (auto* found = find_in(*item.sub, id)) return found;
    }
    return nullptr;
}

}  // namespace

bool MenuItem::is_separator() const {
    return caption.size() == 1 && caption[0] == SEPARATOR;
}
std::string MenuItem::text() const { return without_marker(caption); }
int MenuItem::hot_pos() const { return marker_pos(caption); }
char MenuItem::hot_letter() const { return is_separator() ? '\0' : hot_of(caption); }

std::string MenuBar::text() const { return without_marker(caption); }
int MenuBar::hot_pos() const { return marker_pos(caption); }
char MenuBar::hot_letter() const { return hot_of(caption); }

MenuItem& PopUp::add(MenuItem item) {
    items_.push_back(std::move(item));
    return items_.back();
}

MenuItem& PopUp::add(std::string caption, int id, std::string message, int shortcut) {
    MenuItem item;
    item.caption = std::move(caption);
    item.id = id;
    item.message = std::move(message);
    item.shortcut = shortcut;
    return add(std::move(item));
}

void PopUp::add_separator() { add(std::string(1, SEPARATOR), 0); }

int PopUp::width() const {
    int w = 0;
    for (const auto& item : items_)
        if (!item.is_separator()) w = std::max(w, static_cast<int>(item.text().size()));
    return w;
}

bool PopUp::selectable(std::size_t i) const {
    return i < items_.size() && !items_[i].is_separator() && items_[i].enabled;
}

TopBarMenu::TopBarMenu(int row, std::string colour_spec)
    : row_(row), colour_spec_(std::move(colour_spec)) {}

PopUp& TopBarMenu::add_bar(std::string caption) {
    bars_.push_back(MenuBar{std::move(caption)});
    return *bars_.back().popup;
}

MenuItem* TopBarMenu::find(int id) {
    for (auto& bar : bars_)
        if (auto* found = find_in(*bar.popup, id)) return found;
    return nullptr;
}

bool TopBarMenu::set_caption(int id, std::string caption) {
    MenuItem* item = find(id);
    if (!item) return false;
    item->caption = std::move(caption);
    return true;
}

bool TopBarMenu::set_enabled(int id, bool on) {
    MenuItem* item = find(id);
    if (!item) return false;
    item->enabled = on;
    return true;
}

// Each caption takes its text with one blank on either side.
int TopBarMenu::bar_col(int bar) const {
    int x = 0;
    for (int i = 1; i < bar && i <= static_cast<int>(bars_.size()); ++i)
        x += static_cast<int>(bars_[static_cast<std::size_t>(i - 1)].text().size()) + 2;
    return x;
}

void TopBarMenu::display(int highlight) const {
    auto colours = colour_list(colour_spec_);
    auto slot = [&](std::size_t n) { return n < colours.size() ? colours[n] : colours.front(); };
    DISPBEGIN();
    at_say(row_, 0, std::string(SCREEN_COLS, ' '), slot(0));
    for (std::size_t i = 0; i < bars_.size(); ++i) {
        const auto& bar = bars_[i];
        const bool lit = static_cast<int>(i) + 1 == highlight;
        const int x = bar_col(static_cast<int>(i) + 1);
        if (x >= SCREEN_COLS) break;
        std::string text = " " + bar.text() + " ";
        text.resize(static_cast<std::size_t>(std::min<int>(static_cast<int>(text.size()), SCREEN_COLS - x)));
        at_say(row_, x, text, slot(lit ? 1 : 0));
        int hot = bar.hot_pos();
        if (hot >= 0 && x + 1 + hot < SCREEN_COLS)
            at_say(row_, x + 1 + hot, std::string(1, bar.text()[static_cast<std::size_t>(hot)]), slot(lit ? 3 : 2));
    }
    DISPEND();
}

}  // namespace qv::rt
