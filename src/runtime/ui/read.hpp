#pragma once
// READ: a list of entry fields edited modally. Enter, Down and Tab go to the
// next field, Up and Shift+Tab to the previous one; Enter past the last field,
// PgDn, PgUp and Ctrl+W end the READ; Esc abandons it. A field whose WHEN is
// false is skipped in the direction of travel; a field's value is written to
// its variable when the cursor leaves it (before its VALID runs, so the VALID
// sees it); a VALID that answers false keeps the cursor there with the value
// kept for correction. Keys with a SETKEY handler run the handler instead.
//
// READs nest: a VALID or a key handler may run another form. Each READ keeps
// its state on its own stack frame; READVAR() and clear_gets() act on the
// innermost one.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>
#include "runtime/ui/get.hpp"
#include "runtime/ui/get_settings.hpp"

namespace qv::rt {

using GetList = std::vector<Get>;

// The form being built: at_get() adds to it, READ() reads and empties it.
// A READ in progress has taken its fields away, so a form built inside one
// of its checks or handlers starts empty.
GetList& getlist();
// @ row, col GET name [PICTURE picture]: adds the field to the pending form
// and shows it. The reference is valid until the next at_get().
Get& at_get(int row, int col, std::string name, std::string picture = {});
Get& at_get(int row, int col, std::string name, GetReader reader, GetWriter writer,
            std::string picture = {});

// Runs the pending form and empties it. False when abandoned with Esc.
bool READ();
// Runs the given fields (kept by the caller), starting at field `start`
// (1-based). False when abandoned with Esc.
bool READ(GetList& gets, std::size_t start = 1);

// The name of the field being edited, upper case ("" outside a READ).
std::string READVAR();
// The field being edited by the innermost READ, nullptr outside one.
Get* current_get();
// 1-based position of the field being edited (0 outside a READ).
std::size_t current_get_pos();
// CLEAR GETS: the READ in progress ends as soon as the running handler or
// check returns (without validating the field; its typed value is kept), and
// the pending form is emptied.
void clear_gets();
// Sets (or with no argument reads) the end-the-READ flag of the innermost READ.
bool read_kill(std::optional<bool> on = {});
// True when the last READ changed any field's value.
bool UPDATED();

// Work done while a READ waits for a key (clocks, reminders, autosave): run
// when no key is waiting, then every `seconds` until one comes. Returns the
// hook it replaces; an empty hook removes it.
using ReadIdleHook = std::function<void()>;
ReadIdleHook set_read_idle(ReadIdleHook hook, double seconds = 1.0);

}  // namespace qv::rt
