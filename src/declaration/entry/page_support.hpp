#pragma once
// What the page bodies share: calls by name to the routines of the lists,
// the tax calculation and the checks (registered by their subsystems), and
// the recording of the key that ended a form.
#include <initializer_list>
#include <string_view>

#include "runtime/core/value.hpp"

namespace qv::declaration {

// The routine's result.
rt::Value call(std::string_view name, std::initializer_list<rt::Value> args = {});
// Runs list `code` of the grid catalogue.
void edit_grid(int code);
// After a form or list: Esc gives ULTTECLA 27; Enter, PgDn and PgUp are
// recorded unless a key handler already chose the page.
void record_last_key();
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
