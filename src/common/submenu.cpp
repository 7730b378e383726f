#include "common/submenu.hpp"

#include "runtime/core/cp850.hpp"

namespace qv::common {

using rt::operator""_cp;

rt::PopUp& CREATESUBMENU(rt::TopBarMenu& bar, std::string caption, const MenuAction& action,
                         const std::vector<SubmenuItem>& items) {
    static const std::string separator = "─"_cp;
    rt::PopUp& popup = bar.add_bar(std::move(caption));
    for (const auto& item : items) {
        if (item.caption == separator && item.id == 0) {
            popup.add_separator();
            continue;
        }
        rt::MenuItem& added = popup.add(item.caption, item.id, item.message, item.shortcut);
        added.action = action;
    }
    return popup;
}

}  // namespace qv::common
