#pragma once
// Menu features registered by id: a routine registered for an id runs in
// place of the item's own (the dispatcher's tests put recorders there).
#include <functional>

namespace qv::shell {

using MenuFeature = std::function<void()>;

// Registers (or replaces) the routine of a menu id; an empty function removes it.
void register_menu_feature(int id, MenuFeature feature);
bool has_menu_feature(int id);
// Runs the registered routine; false when the id has none (nothing is shown).
bool run_menu_feature(int id);
// Forgets every registration (tests).
void clear_menu_features();

}  // namespace qv::shell
