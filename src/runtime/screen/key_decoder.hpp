#pragma once
// Turns the bytes a terminal sends into the system's key codes: xterm and
// Linux console escape sequences (CSI and SS3, with modifier parameters),
// Alt+key as ESC followed by the key, UTF-8 characters as their CP850 codes.
// Pure: no terminal and no clock. The caller says when the line went quiet
// (flush), which is what tells a lone Esc from the start of a sequence.
#include <string>
#include <string_view>
#include <vector>

namespace qv::rt {

class KeyDecoder {
public:
    // Decodes whatever forms whole keys; an unfinished escape sequence or
    // UTF-8 character is held for the next bytes.
    std::vector<int> feed(std::string_view bytes);
    // Nothing more came: settles what is held (a lone ESC is the Esc key).
    std::vector<int> flush();
    bool holding() const { return !held_.empty(); }

private:
    std::vector<int> decode(bool at_end);
    std::string held_;
};

// The code of a key with modifiers, for the keys that have names.
namespace keyname {
enum : int { UP = 1, DOWN, LEFT, RIGHT, HOME, END, PGUP, PGDN, INS, DEL, TAB, ENTER, ESC, BACKSPACE, F1 = 100 };
}
constexpr int MOD_SHIFT = 1, MOD_ALT = 2, MOD_CTRL = 4;
int named_key_code(int name, int mods);

}  // namespace qv::rt
