#pragma once
// The declaration's own top-bar menu and the handler of its items.
#include <memory>
#include <string_view>

#include "runtime/ui/menu.hpp"

namespace qv::declaration {

// The bars and items of the open declaration (every item runs MENU2SELECT).
std::shared_ptr<rt::TopBarMenu> CREATESECMENU(std::string_view colours);
// Runs the item of `id`: a page (through GIRO), a refusal when the
// declaration's flags do not allow the page, or the end question.
void MENU2SELECT(int id);

}  // namespace qv::declaration
