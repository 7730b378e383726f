// INKEY and the keyboard buffer in front of the backend; SETKEY's table.
#include <cmath>
#include <deque>
#include <map>

#include "runtime/screen/backend.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/screen/screen_state.hpp"

namespace qv::rt {
namespace {

// A key waiting in the buffer, and whether the user typed it (a key peeked
// at by NEXTKEY) or the program put it there (KEYBOARD, push_key).
struct BufferedKey {
    int code;
    bool typed;
};

struct KeyboardState {
    std::deque<BufferedKey> buffer;
    int last = 0;
    bool last_typed = false;
    std::map<int, KeyHandler> handlers;
};

KeyboardState& keyboard() {
    static KeyboardState state;
    return state;
}

int timeout_ms_of(double seconds) {
    if (seconds < 0) return -1;
    if (seconds == 0) return 0;
    const double ms = std::ceil(seconds * 1000.0);
    return ms > 1e9 ? 1'000'000'000 : static_cast<int>(ms);
}

}  // namespace

namespace detail {
void reset_keyboard_state() { keyboard() = KeyboardState{}; }
}  // namespace detail

int INKEY(double seconds) {
    auto& k = keyboard();
    int code = 0;
    bool typed = true;
    if (!k.buffer.empty()) {
        code = k.buffer.front().code;
        typed = k.buffer.front().typed;
        k.buffer.pop_front();
    } else {
        // A wait shows what is on the screen, also inside grouped output:
        // the user is never left before a screen not yet drawn.
        if (seconds != 0 && detail::screen_state().pending) refresh_screen();
        code = backend().read_key(timeout_ms_of(seconds));
    }
    if (code != 0) {
        k.last = code;
        k.last_typed = typed;
    }
    return code;
}

bool LASTKEY_TYPED() { return keyboard().last_typed; }

int LASTKEY() { return keyboard().last; }

int NEXTKEY() {
    auto& k = keyboard();
    if (k.buffer.empty()) {
        const int code = backend().read_key(0);
        if (code != 0) k.buffer.push_back({code, true});
    }
    return k.buffer.empty() ? 0 : k.buffer.front().code;
}

// Each CP850 byte is the code of its key: chr(13) is Enter, chr(27) Esc.
void KEYBOARD(std::string_view keys) {
    auto& k = keyboard();
    k.buffer.clear();
    for (const char c : keys) k.buffer.push_back({static_cast<unsigned char>(c), false});
}

void push_key(int code) { keyboard().buffer.push_back({code, false}); }

void push_keys_front(std::initializer_list<int> codes) {
    auto& buffer = keyboard().buffer;
    std::deque<BufferedKey> front;
    for (const int code : codes) front.push_back({code, false});
    buffer.insert(buffer.begin(), front.begin(), front.end());
}

void CLEAR_TYPEAHEAD() {
    keyboard().buffer.clear();
    backend().discard_typeahead();
}

KeyHandler SETKEY(int code, KeyHandler handler) {
    auto& handlers = keyboard().handlers;
    KeyHandler old;
    if (const auto it = handlers.find(code); it != handlers.end()) {
        old = std::move(it->second);
        handlers.erase(it);
    }
    if (handler) handlers.emplace(code, std::move(handler));
    return old;
}

const KeyHandler* key_handler(int code) {
    const auto& handlers = keyboard().handlers;
    const auto it = handlers.find(code);
    return it == handlers.end() ? nullptr : &it->second;
}

}  // namespace qv::rt
