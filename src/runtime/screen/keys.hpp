#pragma once
// Keyboard: the key codes the system's routines compare with, INKEY and the
// keyboard buffer, and SETKEY handlers.
#include <functional>
#include <initializer_list>
#include <string_view>

namespace qv::rt {

namespace key {
constexpr int ESC = 27, ENTER = 13, TAB = 9, SHIFT_TAB = 271, CTRL_ENTER = 10;
constexpr int PGDN = 3, PGUP = 18, INS = 22, DEL = 7, BS = 8;
constexpr int UP = 5, DOWN = 24, LEFT = 19, RIGHT = 4, HOME = 1, END = 6;
constexpr int CTRL_LEFT = 26, CTRL_RIGHT = 2, CTRL_HOME = 29, CTRL_END = 23;
constexpr int CTRL_PGUP = 31, CTRL_PGDN = 30, CTRL_Y = 25, CTRL_T = 20, CTRL_W = 23;
constexpr int F1 = 28, F2 = -1, F3 = -2, F4 = -3, F5 = -4, F6 = -5, F7 = -6, F8 = -7, F9 = -8, F10 = -9;
constexpr int F11 = -40, F12 = -41;
constexpr int SH_F1 = -10, SH_F10 = -19;     // Shift+F1 .. Shift+F10 = -10 .. -19
constexpr int CTRL_F1 = -20, CTRL_F10 = -29; // Ctrl+F1 .. Ctrl+F10 = -20 .. -29
constexpr int ALT_F1 = -30, ALT_F10 = -39;   // Alt+F1 .. Alt+F10 = -30 .. -39
// Alt+letter: the PC scan-code values (Alt+A 286, Alt+W 273, ...).
int alt_letter(char letter);
constexpr int ALT_A = 286, ALT_W = 273;
}  // namespace key

// INKEY(): 0 returns at once (0 when no key); a positive value waits that many
// seconds; a negative value waits for ever (careful: the routines' own INKEY(0)
// means "wait for ever" and is written INKEY(-1) here). INKEY returns every key: SETKEY
// handlers run only inside the READ, menu and list loops (see ui/).
int INKEY(double seconds = 0.0);
int LASTKEY();
// Whether the last key INKEY returned was typed by the user, rather than put
// in the buffer by the program (KEYBOARD, push_key, push_keys_front).
bool LASTKEY_TYPED();
int NEXTKEY();                       // peek without removing
void KEYBOARD(std::string_view keys); // stuff the buffer (clears it first)
void push_key(int code);              // add one code to the end of the buffer
// Keys the program acts on next, in this order, before any key the user
// has already typed ahead.
void push_keys_front(std::initializer_list<int> codes);
void CLEAR_TYPEAHEAD();

using KeyHandler = std::function<void()>;
// Installs (or with an empty handler removes) the handler of a key; returns
// the previous one.
KeyHandler SETKEY(int code, KeyHandler handler);
const KeyHandler* key_handler(int code);

}  // namespace qv::rt
