#pragma once
// The registry through which the main menu's dispatcher reaches the routines
// of other subsystems. A feature registers the routine of its menu id when
// it exists; an id without an entry tells the user on the status line that
// the feature is not available yet.
#include <functional>
#include <string>

namespace qv::shell {

using MenuFeature = std::function<void()>;

// Registers (or replaces) the routine of a menu id; an empty function removes it.
void register_menu_feature(int id, MenuFeature feature);
bool has_menu_feature(int id);
// Runs the registered routine; false when the id has none (nothing is shown).
bool run_menu_feature(int id);
// Forgets every registration (tests).
void clear_menu_features();

// The status-line text shown for an id that has no routine yet.
std::string unbuilt_feature_notice();
// Runs the id's routine, or shows the notice on the status line.
void run_or_notice(int id);

}  // namespace qv::shell
