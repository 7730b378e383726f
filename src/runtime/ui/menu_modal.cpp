// The modal loop of the top-bar menu.
#include <algorithm>
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/browse_colours.hpp"
#include "runtime/ui/menu.hpp"

namespace qv::rt {

namespace {

constexpr std::string_view POPUP_FRAME = "\xDA\xC4\xBF\xB3\xD9\xC4\xC0\xB3";
constexpr char TEE_LEFT = '\xC3', TEE_RIGHT = '\xB4', LINE = '\xC4';

enum Slot { NORMAL, LIT, HOT, HOT_LIT, DISABLED, FRAME };

struct OpenPopUp {
    PopUp* popup;
    int top, left, bottom, right;
    std::size_t cur;
    std::string saved;   // the screen under the box
};

MenuItem* shortcut_in(PopUp& p, int key) {
    for (auto& item : p.items()) {
        if (item.shortcut != 0 && item.shortcut == key && item.enabled && !item.is_separator()) return &item;
        if (item.sub)
            if (auto* found = shortcut_in(*item.sub, key)) return found;
    }
    return nullptr;
}

class MenuLoop {
public:
    MenuLoop(TopBarMenu& menu, const MenuModalOptions& opt)
        : menu_(menu), opt_(opt), colours_(colour_list(menu.colour_spec())) {}

    int run(int* last_bar);

private:
    enum class Step { Continue, Quit, Chosen };

    Attr slot(Slot s) const {
        auto n = static_cast<std::size_t>(s);
        return n < colours_.size() ? colours_[n] : colours_.front();
    }
    int bars() const { return static_cast<int>(menu_.bars().size()); }
    bool owns_shortcut(int key);
    Step handle(int key);
    Step popup_key(int key);
    Step bar_key(int key);
    Step choose(MenuItem& item) { chosen_ = &item; return Step::Chosen; }
    void open_bar_popup();
    void open_popup(PopUp& p, int top, int left);
    void open_sub(MenuItem& item);
    void close_top();
    void close_all();
    void switch_bar(int bar);
    void draw(const OpenPopUp& o) const;
    void show_message() const;
    void step_item(int dir);
    void first_item(bool from_end);

    TopBarMenu& menu_;
    const MenuModalOptions& opt_;
    std::vector<Attr> colours_;
    int bar_ = 1;
    std::vector<OpenPopUp> stack_;
    MenuItem* chosen_ = nullptr;
};

void MenuLoop::open_popup(PopUp& p, int top, int left) {
    const int width = p.width() + 4;   // frame and one blank on each side
    const int count = static_cast<int>(p.items().size());
    left = std::clamp(left, 0, std::max(0, SCREEN_COLS - width));
    top = std::clamp(top, 0, SCREEN_ROWS - 1);
    int bottom = std::min(top + count + 1, SCREEN_ROWS - 1);
    OpenPopUp o{&p, top, left, bottom, left + width - 1, 0, {}};
    o.saved = SAVESCREEN(o.top, o.left, o.bottom, o.right);
    stack_.push_back(std::move(o));
    first_item(false);
    draw(stack_.back());
}

void MenuLoop::open_bar_popup() {
    if (bars() == 0) return;
    auto& bar = menu_.bars()[static_cast<std::size_t>(bar_ - 1)];
    if (bar.popup && !bar.popup->items().empty())
        open_popup(*bar.popup, menu_.row() + 1, menu_.bar_col(bar_));
}

void MenuLoop::open_sub(MenuItem& item) {
    const auto& parent = stack_.back();
    const int row = parent.top + 1 + static_cast<int>(parent.cur);
    const int width = item.sub->width() + 4;
    int left = parent.right + 1;
    if (left + width > SCREEN_COLS) left = std::max(0, parent.left - width);
    open_popup(*item.sub, row, left);
}

void MenuLoop::close_top() {
    if (stack_.empty()) return;
    auto& o = stack_.back();
    RESTSCREEN(o.top, o.left, o.bottom, o.right, o.saved);
    stack_.pop_back();
}

void MenuLoop::close_all() {
    while (!stack_.empty()) close_top();
}

void MenuLoop::switch_bar(int bar) {
    const bool was_open = !stack_.empty();
    close_all();
    bar_ = bar;
    menu_.display(bar_);
    if (was_open) open_bar_popup();
}

void MenuLoop::draw(const OpenPopUp& o) const {
    DISPBEGIN();
    DISPBOX(o.top, o.left, o.bottom, o.right, POPUP_FRAME, slot(FRAME));
    const int inner = o.right - o.left - 1;
    const auto& items = o.popup->items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const int row = o.top + 1 + static_cast<int>(i);
        if (row >= o.bottom) break;
        const auto& item = items[i];
        if (item.is_separator()) {
            std::string line(static_cast<std::size_t>(inner + 2), LINE);
            line.front() = TEE_LEFT;
            line.back() = TEE_RIGHT;
            at_say(row, o.left, line, slot(FRAME));
            continue;
        }
        const bool lit = i == o.cur;
        std::string text = " " + item.text();
        text.resize(static_cast<std::size_t>(inner), ' ');
        at_say(row, o.left + 1, text, slot(!item.enabled ? DISABLED : lit ? LIT : NORMAL));
        const int hot = item.hot_pos();
        if (hot >= 0 && item.enabled && hot + 1 < inner)
            at_say(row, o.left + 2 + hot, std::string(1, item.text()[static_cast<std::size_t>(hot)]),
                   slot(lit ? HOT_LIT : HOT));
    }
    DISPEND();
}

void MenuLoop::show_message() const {
    if (opt_.msg_row < 0) return;
    std::string msg;
    if (!stack_.empty()) {
        const auto& o = stack_.back();
        if (o.cur < o.popup->items().size()) msg = o.popup->items()[o.cur].message;
    }
    const int width = opt_.msg_right - opt_.msg_left + 1;
    if (width <= 0) return;
    Attr a = opt_.msg_colour.empty() ? slot(NORMAL) : parse_colour(opt_.msg_colour);
    at_say(opt_.msg_row, opt_.msg_left, PADC(msg, width), a);
}

// Highlight moves skip separators and disabled items and wrap around.
void MenuLoop::step_item(int dir) {
    auto& o = stack_.back();
    const auto n = o.popup->items().size();
    if (n == 0) return;
    std::size_t i = o.cur;
    for (std::size_t tries = 0; tries < n; ++tries) {
        i = (i + n + static_cast<std::size_t>(dir > 0 ? 1 : n - 1)) % n;
        if (o.popup->selectable(i)) { o.cur = i; return; }
    }
}

void MenuLoop::first_item(bool from_end) {
    auto& o = stack_.back();
    const auto n = o.popup->items().size();
    for (std::size_t k = 0; k < n; ++k) {
        std::size_t i = from_end ? n - 1 - k : k;
        if (o.popup->selectable(i)) { o.cur = i; return; }
    }
    o.cur = 0;
}

bool MenuLoop::owns_shortcut(int key) {
    for (auto& bar : menu_.bars())
        if (shortcut_in(*bar.popup, key)) return true;
    return false;
}

MenuLoop::Step MenuLoop::handle(int key) {
    for (auto& bar : menu_.bars())
        if (auto* item = shortcut_in(*bar.popup, key)) return choose(*item);
    for (int b = 1; b <= bars(); ++b) {
        char hot = menu_.bars()[static_cast<std::size_t>(b - 1)].hot_letter();
        if (hot != '\0' && key::alt_letter(hot) == key) {
            close_all();
            bar_ = b;
            menu_.display(bar_);
            open_bar_popup();
            return Step::Continue;
        }
    }
    return stack_.empty() ? bar_key(key) : popup_key(key);
}

MenuLoop::Step MenuLoop::bar_key(int key) {
    switch (key) {
    case key::LEFT: switch_bar(bar_ == 1 ? bars() : bar_ - 1); return Step::Continue;
    case key::RIGHT: switch_bar(bar_ == bars() ? 1 : bar_ + 1); return Step::Continue;
    case key::HOME: switch_bar(1); return Step::Continue;
    case key::END: switch_bar(bars()); return Step::Continue;
    case key::ENTER:
    case key::DOWN: open_bar_popup(); return Step::Continue;
    case key::ESC: return Step::Quit;
    default: break;
    }
    if (key >= 32 && key <= 255) {
        char up = upper_char(static_cast<char>(key));
        for (int b = 1; b <= bars(); ++b)
            if (menu_.bars()[static_cast<std::size_t>(b - 1)].hot_letter() == up) {
                switch_bar(b);
                open_bar_popup();
                break;
            }
    }
    return Step::Continue;
}

MenuLoop::Step MenuLoop::popup_key(int key) {
    auto& o = stack_.back();
    auto& items = o.popup->items();
    MenuItem* cur = o.cur < items.size() ? &items[o.cur] : nullptr;
    const bool usable = cur && o.popup->selectable(o.cur);
    switch (key) {
    case key::UP: step_item(-1); break;
    case key::DOWN: step_item(1); break;
    case key::HOME: first_item(false); break;
    case key::END: first_item(true); break;
    case key::LEFT:
        if (stack_.size() > 1) close_top();
        else switch_bar(bar_ == 1 ? bars() : bar_ - 1);
        return Step::Continue;
    case key::RIGHT:
        if (usable && cur->sub) open_sub(*cur);
        else switch_bar(bar_ == bars() ? 1 : bar_ + 1);
        return Step::Continue;
    case key::ENTER:
        if (!usable) break;
        if (cur->sub) { open_sub(*cur); return Step::Continue; }
        return choose(*cur);
    case key::ESC: close_top(); return Step::Continue;
    default:
        if (key >= 32 && key <= 255) {
            char up = upper_char(static_cast<char>(key));
            for (std::size_t i = 0; i < items.size(); ++i) {
                if (!o.popup->selectable(i) || items[i].hot_letter() != up) continue;
                o.cur = i;
                if (items[i].sub) { draw(o); open_sub(items[i]); return Step::Continue; }
                return choose(items[i]);
            }
        }
        return Step::Continue;
    }
    draw(stack_.back());
    return Step::Continue;
}

int MenuLoop::run(int* last_bar) {
    if (bars() == 0) return 0;
    const int old_cursor = SETCURSOR(0);
    std::string saved_msg;
    if (opt_.msg_row >= 0) saved_msg = SAVESCREEN(opt_.msg_row, opt_.msg_left, opt_.msg_row, opt_.msg_right);
    bar_ = std::clamp(opt_.bar, 1, bars());
    menu_.display(bar_);
    if (opt_.open_popup) open_bar_popup();
    Step step = Step::Continue;
    while (step == Step::Continue) {
        menu_.display(bar_);
        show_message();
        const int key = INKEY(-1);
        if (key == 0) continue;
        // The menu's own item shortcuts come before the keys bound around
        // it: a key that names an item on the menu chooses that item.
        if (const KeyHandler* h = key_handler(key); h && *h && !owns_shortcut(key)) {
            (*h)();
            continue;
        }
        step = handle(key);
    }
    close_all();
    if (opt_.msg_row >= 0) RESTSCREEN(opt_.msg_row, opt_.msg_left, opt_.msg_row, opt_.msg_right, saved_msg);
    menu_.display(0);
    SETCURSOR(old_cursor);
    if (last_bar) *last_bar = bar_;
    if (step == Step::Quit || !chosen_) return 0;
    const int id = chosen_->id;
    if (chosen_->action) chosen_->action(*chosen_);
    return id;
}

}  // namespace

int menu_modal(TopBarMenu& menu, const MenuModalOptions& opt, int* last_bar) {
    MenuLoop loop(menu, opt);
    return loop.run(last_bar);
}

}  // namespace qv::rt
