#pragma once
// CREATESUBMENU: one pull-down of a top-bar menu built from a list of items.
#include <functional>
#include <string>
#include <vector>
#include "runtime/ui/menu.hpp"

namespace qv::common {

struct SubmenuItem {
    std::string caption;   // "&" before the hot letter; "─" with id 0: separator
    int shortcut = 0;      // key code, 0 for none
    std::string message;   // status-line text
    int id = 0;
};

using MenuAction = std::function<void(rt::MenuItem&)>;

// Adds a pop-up under `caption` to the bar (it takes the bar's colours);
// every item runs the same action. Returns the new pop-up.
rt::PopUp& CREATESUBMENU(rt::TopBarMenu& bar, std::string caption, const MenuAction& action,
                         const std::vector<SubmenuItem>& items);

}  // namespace qv::common
