#pragma once
// Text menus: a bar of captions on one screen row, each opening a pop-up
// list of items. Captions mark their hot letter with "&" ("Dec&laração":
// hot letter L); a caption of the single character "─" is a separator.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qv::rt {

class PopUp;

struct MenuItem {
    std::string caption;       // CP850, "&" before the hot letter
    int shortcut = 0;          // key that chooses the item from anywhere (0: none)
    std::string message;       // shown on the status line while highlighted
    int id = 0;
    bool enabled = true;
    // Run when the item is chosen, before the modal loop returns its id.
    std::function<void(MenuItem&)> action;
    std::shared_ptr<PopUp> sub;   // a pop-up opened by this item

    bool is_separator() const;
    std::string text() const;     // the caption without the marker
    int hot_pos() const;          // index of the hot letter in text(), -1
    char hot_letter() const;      // upper case; 0 when there is none
};

class PopUp {
public:
    MenuItem& add(MenuItem item);
    MenuItem& add(std::string caption, int id, std::string message = {}, int shortcut = 0);
    void add_separator();
    std::vector<MenuItem>& items() { return items_; }
    const std::vector<MenuItem>& items() const { return items_; }
    int width() const;            // widest item text
    bool selectable(std::size_t i) const;

private:
    std::vector<MenuItem> items_;
};

struct MenuBar {
    std::string caption;          // "&" before the hot letter
    std::shared_ptr<PopUp> popup = std::make_shared<PopUp>();
    std::string text() const;
    int hot_pos() const;
    char hot_letter() const;
};

class TopBarMenu {
public:
    // Colours: normal item, highlighted item, hot letter, hot letter when
    // highlighted, disabled item, pop-up frame.
    explicit TopBarMenu(int row = 0, std::string colour_spec = "N/W,W+/N,R/W,R+/N,N+/W,N/W");

    PopUp& add_bar(std::string caption);
    std::vector<MenuBar>& bars() { return bars_; }
    const std::vector<MenuBar>& bars() const { return bars_; }
    int row() const { return row_; }
    const std::string& colour_spec() const { return colour_spec_; }
    void set_colour_spec(std::string spec) { colour_spec_ = std::move(spec); }

    // Finds an item of any pop-up (sub-pop-ups too) by its id; nullptr when none.
    MenuItem* find(int id);
    // Changes an item's caption; false when no item has that id.
    bool set_caption(int id, std::string caption);
    bool set_enabled(int id, bool on);

    // Draws the bar with bar `highlight` (1-based; 0: none) highlighted.
    void display(int highlight = 0) const;
    int bar_col(int bar) const;   // screen column of bar n (1-based)

private:
    int row_;
    std::string colour_spec_;
    std::vector<MenuBar> bars_;
};

struct MenuModalOptions {
    int bar = 1;                  // bar highlighted at the start (1-based)
    bool open_popup = true;       // open its pop-up at once
    int msg_row = -1;             // status line for the items' messages (-1: none)
    int msg_left = 0;
    int msg_right = 79;
    std::string msg_colour;       // empty: the menu's normal colour
};

// The modal loop: runs until an item is chosen (its action runs, then its id
// is returned) or Esc is pressed on the bar (0). SETKEY handlers run here.
// The bar chosen last is left in `last_bar` when given.
int menu_modal(TopBarMenu& menu, const MenuModalOptions& opt = {}, int* last_bar = nullptr);

}  // namespace qv::rt
