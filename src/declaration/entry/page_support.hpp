#pragma once
// What the page bodies share: calls by name to the routines of the lists,
// the tax calculation and the checks (built elsewhere, perhaps not yet), and
// the recording of the key that ended a form.
#include <initializer_list>
#include <optional>
#include <string_view>

#include "runtime/core/value.hpp"

namespace qv::declaration {

// The routine's result; nullopt when it is not registered.
std::optional<rt::Value> call(std::string_view name, std::initializer_list<rt::Value> args = {});
// Runs list `code` of the grid catalogue; false when the grid engine is not built.
bool edit_grid(int code);
// After a form or list: Esc gives ULTTECLA 27; Enter, PgDn and PgUp are
// recorded unless a key handler already chose the page.
void record_last_key();
// A page whose body is not built yet: says so and waits for the key that
// leaves it (key handlers such as Tab run as they would in a form).
void wait_page_key();
bool page_changed();
int last_key();

// Page bodies by group.
void page_exempt();        // 3
void page_lists();         // 4
void page_assets();        // 5
void page_identification();// 6
void page_tax();           // 7
void page_balance();       // 10
void page_notes();         // 11
void page_rural(int page); // 12-17
void page_zoom(int page);  // 22, 23

}  // namespace qv::declaration
