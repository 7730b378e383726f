// The system's codes for keys pressed with Shift, Ctrl or Alt: the values the
// PC keyboard BIOS gave them (extended scan codes + 256 for the Alt keys).
#include <cctype>

#include "runtime/screen/key_decoder.hpp"
#include "runtime/screen/keys.hpp"

namespace qv::rt {

int key::alt_letter(char letter) {
    // Scan codes of the letter keys, A to Z.
    static constexpr int scan[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                     49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};
    const int up = std::toupper(static_cast<unsigned char>(letter));
    if (up < 'A' || up > 'Z') return 0;
    return 256 + scan[up - 'A'];
}

namespace {

struct Variants {
    int plain, shift, ctrl, alt;
};

// For keys without a shifted code the plain code stands in.
Variants variants_of(int name) {
    using namespace keyname;
    switch (name) {
    case UP: return {key::UP, key::UP, 397, 408};
    case DOWN: return {key::DOWN, key::DOWN, 401, 416};
    case LEFT: return {key::LEFT, key::LEFT, key::CTRL_LEFT, 411};
    case RIGHT: return {key::RIGHT, key::RIGHT, key::CTRL_RIGHT, 413};
    case HOME: return {key::HOME, key::HOME, key::CTRL_HOME, 407};
    case END: return {key::END, key::END, key::CTRL_END, 415};
    case PGUP: return {key::PGUP, key::PGUP, key::CTRL_PGUP, 409};
    case PGDN: return {key::PGDN, key::PGDN, key::CTRL_PGDN, 417};
    case INS: return {key::INS, key::INS, 402, 418};
    case DEL: return {key::DEL, key::DEL, 403, 419};
    case TAB: return {key::TAB, key::SHIFT_TAB, 404, 421};
    case ENTER: return {key::ENTER, key::ENTER, key::CTRL_ENTER, 284};
    case ESC: return {key::ESC, key::ESC, key::ESC, 257};
    case BACKSPACE: return {key::BS, key::BS, 127, 270};
    default: break;
    }
    const int n = name - F1 + 1;
    if (n >= 1 && n <= 10)
        return {n == 1 ? key::F1 : -(n - 1), key::SH_F1 - (n - 1), key::CTRL_F1 - (n - 1), key::ALT_F1 - (n - 1)};
    if (n == 11 || n == 12) {
        const int i = n - 11;
        return {-40 - i, -42 - i, -44 - i, -46 - i};
    }
    return {0, 0, 0, 0};
}

}  // namespace

int named_key_code(int name, int mods) {
    const Variants v = variants_of(name);
    if (mods & MOD_ALT) return v.alt;
    if (mods & MOD_CTRL) return v.ctrl;
    if (mods & MOD_SHIFT) return v.shift;
    return v.plain;
}

}  // namespace qv::rt
