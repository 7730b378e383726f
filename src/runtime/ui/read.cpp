// The READ loop: which field is next, the keys of one field, checks on
// leaving it, and the state READVAR() and clear_gets() see.
#include "runtime/ui/read.hpp"
#include <algorithm>
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::rt {

namespace {

// One READ in progress. Lives on the stack of READ(); `outer` is the READ
// that was active when it started (a nested form).
struct ReadState {
    GetList* gets = nullptr;
    std::size_t pos = 0;          // 1-based current field; 0 = the READ ends
    bool kill = false;
    bool escaped = false;
    bool updated = false;
    GetExit last_exit = GetExit::Down;
    std::size_t last_pos = 0;
    bool bump_top = false;
    bool bump_bottom = false;
    ReadState* outer = nullptr;

    Get& current() { return (*gets)[pos - 1]; }
};

ReadState* g_active = nullptr;
bool g_updated = false;

struct IdleWork {
    ReadIdleHook hook;
    double seconds = 1.0;
};

IdleWork& idle_work() {
    static IdleWork work;
    return work;
}

// The next key; the idle hook runs while none is waiting.
int wait_key() {
    const IdleWork& idle = idle_work();
    if (!idle.hook) return INKEY(-1);
    if (NEXTKEY() != 0) return INKEY(-1);
    const ReadIdleHook hook = idle.hook;   // the hook may replace itself
    hook();
    int k = 0;
    while ((k = INKEY(idle_work().seconds)) == 0) {
        if (const ReadIdleHook again = idle_work().hook) again();
    }
    return k;
}

class ActiveRead {
public:
    explicit ActiveRead(ReadState& s) : state_(s) {
        state_.outer = g_active;
        g_active = &state_;
    }
    ~ActiveRead() { g_active = state_.outer; }
    ActiveRead(const ActiveRead&) = delete;
    ActiveRead& operator=(const ActiveRead&) = delete;

private:
    ReadState& state_;
};

bool is_end_of_read(GetExit e) {
    return e == GetExit::Write || e == GetExit::Escape || e == GetExit::Kill;
}

// The next field from how the current one was left. A skipped field (WHEN
// false) continues in the direction of the last real move. Running off the
// top or the bottom bounces back unless READEXIT is on, Enter went past the
// last field, or the READ has already bounced off the other end (nothing
// left to enter).
std::size_t settle(ReadState& s, GetExit exit, bool skipped) {
    if (is_end_of_read(exit)) return 0;
    if (skipped) {
        exit = s.last_exit;
    } else {
        s.bump_top = s.bump_bottom = false;
    }
    const std::size_t count = s.gets->size();
    std::size_t pos = s.pos;
    switch (exit) {
    case GetExit::Up: --pos; break;
    case GetExit::Down:
    case GetExit::Enter: ++pos; break;
    case GetExit::Top:
        pos = 1;
        s.bump_top = true;
        exit = GetExit::Down;
        break;
    default: break;
    }
    if (pos == 0) {
        if (!READEXIT() && !s.bump_bottom) {
            s.bump_top = true;
            pos = s.last_pos;
            exit = GetExit::Down;
        }
    } else if (pos == count + 1) {
        if (!READEXIT() && exit != GetExit::Enter && !s.bump_top) {
            s.bump_bottom = true;
            pos = s.last_pos;
            exit = GetExit::Up;
        }
    }
    s.last_exit = exit;
    if (pos > count) pos = 0;
    if (pos != 0) s.last_pos = pos;
    return pos;
}

void display_all(ReadState& s) {
    for (const Get& g : *s.gets) g.display();
    if (s.pos != 0) s.current().display();
}

// Leaving a field: a bad date keeps the cursor; the value is written; the
// VALID decides. Esc leaves without either.
bool post_validate(ReadState& s) {
    Get& g = s.current();
    if (g.exit_state() == GetExit::Escape) {
        s.escaped = true;
        return true;
    }
    if (g.bad_input()) {
        signal_bad_date();
        g.set_exit_state(GetExit::None);
        g.to_start();
        g.display();
        return false;
    }
    if (g.changed()) {
        g.assign();
        s.updated = true;
    }
    g.reset();
    g.display();
    bool ok = s.current().post_check();
    if (s.kill) {
        s.current().set_exit_state(GetExit::Kill);
        return true;
    }
    Get& after = s.current();
    after.update_buffer();
    after.display();
    if (!ok) after.set_exit_state(GetExit::None);
    return ok;
}

// A key with a SETKEY handler: the handler sees the typed value in the
// variable, and whatever it leaves there is shown afterwards.
void run_key_handler(ReadState& s, const KeyHandler& handler) {
    Get& g = s.current();
    if (g.changed() && !g.bad_input()) {
        g.assign();
        s.updated = true;
    }
    const KeyHandler copy = handler;   // the handler may rebind its own key
    copy();
    if (s.kill) {
        s.current().set_exit_state(GetExit::Kill);
        return;
    }
    s.current().update_buffer();
    display_all(s);
    apply_insert_cursor();
}

void read_field(ReadState& s) {
    s.current().set_focus();
    s.current().display();
    while (s.current().exit_state() == GetExit::None) {
        SETPOS(s.current().row(), s.current().cursor_col());
        refresh_screen();
        const int k = wait_key();
        if (const KeyHandler* h = key_handler(k); h != nullptr && *h) {
            run_key_handler(s, *h);
            continue;
        }
        s.current().apply_key(k);
        s.current().display();
        if (s.current().exit_state() != GetExit::None) post_validate(s);
    }
    s.current().kill_focus();
}

}  // namespace

GetList& getlist() {
    static GetList pending;
    return pending;
}

Get& at_get(int row, int col, std::string name, std::string picture) {
    getlist().emplace_back(row, col, std::move(name), std::move(picture));
    getlist().back().display();
    return getlist().back();
}

Get& at_get(int row, int col, std::string name, GetReader reader, GetWriter writer, std::string picture) {
    getlist().emplace_back(row, col, std::move(name), std::move(reader), std::move(writer), std::move(picture));
    getlist().back().display();
    return getlist().back();
}

bool READ() {
    GetList form = std::move(getlist());
    getlist().clear();
    return READ(form);
}

bool READ(GetList& gets, std::size_t start) {
    if (&gets == &getlist()) {
        // The pending form itself: a form built inside this one must not
        // land in (or take away) the list being read.
        GetList form = std::move(getlist());
        getlist().clear();
        const bool ok = READ(form, start);
        getlist() = std::move(form);
        return ok;
    }
    ReadState s;
    s.gets = &gets;
    ActiveRead guard(s);
    g_updated = false;
    if (gets.empty()) return true;
    const int old_cursor = SETCURSOR();
    s.pos = std::clamp<std::size_t>(start, 1, gets.size());
    s.last_pos = s.pos;
    display_all(s);
    apply_insert_cursor();
    show_insert_indicator();
    while (s.pos != 0 && !s.kill) {
        const bool enter = s.current().pre_validate();
        if (s.kill) break;
        if (!enter) {
            s.pos = settle(s, GetExit::None, true);
            continue;
        }
        read_field(s);
        if (s.kill) break;
        s.pos = settle(s, s.current().exit_state(), false);
    }
    SETCURSOR(old_cursor);
    g_updated = s.updated;
    return !s.escaped;
}

std::string READVAR() {
    if (g_active == nullptr || g_active->pos == 0) return {};
    return g_active->current().name();
}

Get* current_get() {
    if (g_active == nullptr || g_active->pos == 0) return nullptr;
    return &g_active->current();
}

std::size_t current_get_pos() { return g_active == nullptr ? 0 : g_active->pos; }

void clear_gets() {
    if (g_active != nullptr) g_active->kill = true;
    getlist().clear();
}

bool read_kill(std::optional<bool> on) {
    if (g_active == nullptr) return false;
    const bool old = g_active->kill;
    if (on) g_active->kill = *on;
    return old;
}

bool UPDATED() { return g_updated; }

ReadIdleHook set_read_idle(ReadIdleHook hook, double seconds) {
    IdleWork& idle = idle_work();
    ReadIdleHook old = std::move(idle.hook);
    idle.hook = std::move(hook);
    idle.seconds = seconds > 0 ? seconds : 1.0;
    return old;
}

}  // namespace qv::rt
