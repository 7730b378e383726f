#pragma once
// The settings entry fields obey, one set for the whole program. Each call
// returns the old setting; without an argument it only reads it.
#include <functional>
#include <optional>

namespace qv::rt {

// Up on the first field and Down on the last end the READ.
bool READEXIT(std::optional<bool> on = {});
// Typing inserts instead of overwriting (toggled by Ins while editing).
bool READINSERT(std::optional<bool> on = {});
// On: filling a field's last position does not leave it; Enter is needed.
bool SET_CONFIRM(std::optional<bool> on = {});
// On: the insert mode and date errors are shown on row 0 from column 60.
bool SET_SCOREBOARD(std::optional<bool> on = {});
// On: Esc abandons a READ; off: Esc is ignored while editing.
bool SET_ESCAPE(std::optional<bool> on = {});

// The row and column of the scoreboard.
constexpr int SCOREBOARD_ROW = 0;
constexpr int SCOREBOARD_COL = 60;

// Shows the insert indicator when the scoreboard is on.
void show_insert_indicator();
// Shows a date error on the scoreboard (when on) and beeps.
void signal_bad_date();

// Why a field refused what was typed; the program tells the user in its
// own words through the notice handler (the runtime only beeps).
enum class EntryRefusal {
    BadDate,    // a date that is not a date
    TooLarge,   // more whole digits than the field holds
    Negative,   // a minus sign on a field that takes no negative value
};
using EntryNotice = std::function<void(EntryRefusal)>;
// Returns the handler it replaces; an empty one leaves only the beep.
EntryNotice set_entry_notice(EntryNotice notice);
// Beeps and tells the handler.
void signal_entry_refusal(EntryRefusal why);
// Cursor shape for the insert mode: insert block or the normal line.
void apply_insert_cursor();

}  // namespace qv::rt
