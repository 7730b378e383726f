// Entry settings and the scoreboard.
#include "runtime/ui/get_settings.hpp"
#include <utility>
#include "runtime/core/cp850.hpp"
#include "runtime/screen/backend.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::rt {

namespace {

struct EntrySettings {
    bool read_exit = false;
    bool insert = false;
    bool confirm = false;
    bool scoreboard = false;
    bool escape = true;
};

EntrySettings& settings() {
    static EntrySettings s;
    return s;
}

EntryNotice& entry_notice() {
    static EntryNotice notice;
    return notice;
}

bool swap_setting(bool& slot, std::optional<bool> on) {
    const bool old = slot;
    if (on) slot = *on;
    return old;
}

}  // namespace

bool READEXIT(std::optional<bool> on) { return swap_setting(settings().read_exit, on); }
bool READINSERT(std::optional<bool> on) { return swap_setting(settings().insert, on); }
bool SET_CONFIRM(std::optional<bool> on) { return swap_setting(settings().confirm, on); }
bool SET_SCOREBOARD(std::optional<bool> on) { return swap_setting(settings().scoreboard, on); }
bool SET_ESCAPE(std::optional<bool> on) { return swap_setting(settings().escape, on); }

void show_insert_indicator() {
    if (!settings().scoreboard) return;
    const int row = ROW(), col = COL();
    at_say(SCOREBOARD_ROW, SCOREBOARD_COL, settings().insert ? "Ins" : "   ");
    SETPOS(row, col);
}

void signal_bad_date() {
    if (settings().scoreboard) {
        const int row = ROW(), col = COL();
        at_say(SCOREBOARD_ROW, SCOREBOARD_COL, "Data inválida"_cp);
        SETPOS(row, col);
    }
    signal_entry_refusal(EntryRefusal::BadDate);
}

EntryNotice set_entry_notice(EntryNotice notice) { return std::exchange(entry_notice(), std::move(notice)); }

void signal_entry_refusal(EntryRefusal why) {
    backend().beep();
    // The handler may itself read keys (a message box): it is copied so
    // that it can be replaced meanwhile.
    if (const EntryNotice notice = entry_notice()) notice(why);
}

void apply_insert_cursor() { SETCURSOR(settings().insert ? 2 : 1); }

}  // namespace qv::rt
