#pragma once
// The settings entry fields obey, one set for the whole program. Each call
// returns the old setting; without an argument it only reads it.
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
// Cursor shape for the insert mode: insert block or the normal line.
void apply_insert_cursor();

}  // namespace qv::rt
