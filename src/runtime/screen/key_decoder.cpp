#include "runtime/screen/key_decoder.hpp"

#include <cctype>

#include "runtime/core/cp850.hpp"
#include "runtime/screen/keys.hpp"

namespace qv::rt {
namespace {

constexpr unsigned char ESC = 0x1B;

// One decoding step over the front of the held bytes. consumed == 0 means
// the bytes so far are the start of something longer.
struct Step {
    std::size_t consumed = 0;
    int code = 0;          // 0: nothing to deliver
    bool named = false;    // a named key (an escape sequence); Alt may apply
    int name = 0, mods = 0;
};

constexpr Step NEED_MORE{};

Step plain(std::size_t consumed, int code) { return Step{consumed, code, false, 0, 0}; }

Step named(std::size_t consumed, int name, int mods) {
    return Step{consumed, named_key_code(name, mods), true, name, mods};
}

// xterm modifier parameter: 1 + (shift 1, alt 2, ctrl 4, meta 8).
int mods_of_param(int p) {
    if (p < 2) return 0;
    int bits = p - 1;
    if (bits & 8) bits = (bits & 7) | MOD_ALT;
    return bits & 7;
}

int unicode_key(char32_t u) {
    if (u < 0x80) return static_cast<int>(u);
    return unicode_to_cp850(u);
}

// Alt pressed together with a character key (ESC + byte, or a CSI u report).
int alt_code(int c) {
    if (c >= 0 && c < 0x80 && std::isalpha(c)) return key::alt_letter(static_cast<char>(c));
    if (c >= '1' && c <= '9') return 376 + (c - '1');
    if (c == '0') return 385;
    if (c == '-') return 386;
    if (c == '=') return 387;
    if (c == '\r') return named_key_code(keyname::ENTER, MOD_ALT);
    if (c == 0x7F || c == 0x08) return named_key_code(keyname::BACKSPACE, MOD_ALT);
    if (c == '\t') return named_key_code(keyname::TAB, MOD_ALT);
    return 0;
}

// A character key with modifiers, as CSI u and modifyOtherKeys report it.
Step char_with_mods(std::size_t consumed, int code, int mods) {
    switch (code) {
    case 13: return named(consumed, keyname::ENTER, mods);
    case 9: return named(consumed, keyname::TAB, mods);
    case 27: return named(consumed, keyname::ESC, mods);
    case 8: case 127: return named(consumed, keyname::BACKSPACE, mods);
    default: break;
    }
    if (mods & MOD_ALT) {
        if (const int alt = alt_code(code)) return plain(consumed, alt);
    }
    if ((mods & MOD_CTRL) && code < 0x80 && std::isalpha(code)) return plain(consumed, code & 0x1F);
    return plain(consumed, code < 0 ? 0 : unicode_key(static_cast<char32_t>(code)));
}

int letter_key(char final) {
    using namespace keyname;
    switch (final) {
    case 'A': return UP;
    case 'B': return DOWN;
    case 'C': return RIGHT;
    case 'D': return LEFT;
    case 'H': return HOME;
    case 'F': return END;
    case 'P': return F1;
    case 'Q': return F1 + 1;
    case 'R': return F1 + 2;
    case 'S': return F1 + 3;
    default: return 0;
    }
}

// The number before '~' (and rxvt's '^', '$', '@'); shift_fn marks the
// Linux console's Shift+F3..F10, which have numbers of their own.
int tilde_key(int n, bool& shift_fn) {
    using namespace keyname;
    shift_fn = false;
    switch (n) {
    case 1: case 7: return HOME;
    case 2: return INS;
    case 3: return DEL;
    case 4: case 8: return END;
    case 5: return PGUP;
    case 6: return PGDN;
    case 23: return F1 + 10;
    case 24: return F1 + 11;
    default: break;
    }
    if (n >= 11 && n <= 15) return F1 + (n - 11);
    if (n >= 17 && n <= 21) return F1 + 5 + (n - 17);
    static constexpr int console_shift_fn[][2] = {{25, 3}, {26, 4}, {28, 5}, {29, 6}, {31, 7}, {32, 8}, {33, 9}, {34, 10}};
    for (const auto& [code, fn] : console_shift_fn)
        if (code == n) {
            shift_fn = true;
            return F1 + fn - 1;
        }
    return 0;
}

std::vector<int> parse_params(std::string_view text) {
    std::vector<int> params{0};
    bool in_sub = false;   // ':' sub-parameters are ignored
    for (const char c : text) {
        if (c == ';') {
            params.push_back(0);
            in_sub = false;
        } else if (c == ':') {
            in_sub = true;
        } else if (c >= '0' && c <= '9' && !in_sub) {
            params.back() = params.back() * 10 + (c - '0');
            if (params.back() > 100000) params.back() = 100000;
        }
    }
    return params;
}

// ESC [ params intermediates final
Step parse_csi(std::string_view b) {
    if (b.size() < 3) return NEED_MORE;
    if (b[2] == '[') {   // Linux console F1-F5: ESC [ [ A .. E
        if (b.size() < 4) return NEED_MORE;
        const char f = b[3];
        if (f >= 'A' && f <= 'E') return named(4, keyname::F1 + (f - 'A'), 0);
        return plain(4, 0);
    }
    std::size_t i = 2;
    while (i < b.size() && b[i] >= 0x30 && b[i] <= 0x3F) ++i;
    const std::string_view param_text = b.substr(2, i - 2);
    while (i < b.size() && b[i] >= 0x20 && b[i] <= 0x2F) ++i;
    if (i >= b.size()) return NEED_MORE;
    const auto final = static_cast<unsigned char>(b[i]);
    const std::size_t n = i + 1;
    if (final < 0x40 || final > 0x7E) return plain(i, 0);   // broken: drop what came
    if (!param_text.empty() && param_text.front() >= '<' && param_text.front() <= '?')
        return plain(n, 0);   // private reports (mouse, focus, ...) are not keys

    const auto p = parse_params(param_text);
    const int mods = p.size() >= 2 ? mods_of_param(p[1]) : 0;
    switch (final) {
    case 'Z': return named(n, keyname::TAB, mods | MOD_SHIFT);
    case 'u': return char_with_mods(n, p[0], mods);
    case 'a': return named(n, keyname::UP, MOD_SHIFT);      // rxvt shifted arrows
    case 'b': return named(n, keyname::DOWN, MOD_SHIFT);
    case 'c': return named(n, keyname::RIGHT, MOD_SHIFT);
    case 'd': return named(n, keyname::LEFT, MOD_SHIFT);
    case '~': case '^': case '$': case '@': {
        if (p[0] == 27 && p.size() >= 3) return char_with_mods(n, p[2], mods);   // modifyOtherKeys
        int extra = 0;
        if (final == '^') extra = MOD_CTRL;
        if (final == '$') extra = MOD_SHIFT;
        if (final == '@') extra = MOD_CTRL | MOD_SHIFT;
        bool shift_fn = false;
        const int name = tilde_key(p[0], shift_fn);
        if (!name) return plain(n, 0);
        return named(n, name, mods | extra | (shift_fn ? MOD_SHIFT : 0));
    }
    default: break;
    }
    if (const int name = letter_key(static_cast<char>(final))) {
        // Old xterms sent the modifier as the only parameter: ESC [ 5 D.
        const int m = p.size() >= 2 ? mods : (p[0] > 1 ? mods_of_param(p[0]) : 0);
        return named(n, name, m);
    }
    return plain(n, 0);
}

// ESC O [modifier] final
Step parse_ss3(std::string_view b) {
    std::size_t i = 2;
    int param = 0;
    while (i < b.size() && b[i] >= '0' && b[i] <= '9') param = param * 10 + (b[i++] - '0');
    if (i >= b.size()) return NEED_MORE;
    const char f = b[i];
    const std::size_t n = i + 1;
    const int mods = mods_of_param(param);
    if (const int name = letter_key(f)) return named(n, name, mods);
    switch (f) {
    case 'M': return named(n, keyname::ENTER, mods);   // keypad Enter
    case 'a': return named(n, keyname::UP, MOD_CTRL);  // rxvt Ctrl+arrows
    case 'b': return named(n, keyname::DOWN, MOD_CTRL);
    case 'c': return named(n, keyname::RIGHT, MOD_CTRL);
    case 'd': return named(n, keyname::LEFT, MOD_CTRL);
    case 'X': return plain(n, '=');
    default: break;
    }
    if (f >= 'j' && f <= 'y') {   // application keypad: * + , - . / 0-9
        static constexpr std::string_view keypad = "*+,-./0123456789";
        return plain(n, keypad[static_cast<std::size_t>(f - 'j')]);
    }
    return plain(n, 0);
}

// A byte that is not UTF-8 is taken as Latin-1, the likeliest other encoding.
Step latin1(unsigned char c) { return plain(1, unicode_to_cp850(c)); }

Step parse_utf8(std::string_view b, bool at_end) {
    const auto lead = static_cast<unsigned char>(b[0]);
    std::size_t len = 0;
    char32_t u = 0;
    if (lead >= 0xC2 && lead <= 0xDF) { len = 2; u = lead & 0x1F; }
    else if (lead >= 0xE0 && lead <= 0xEF) { len = 3; u = lead & 0x0F; }
    else if (lead >= 0xF0 && lead <= 0xF4) { len = 4; u = lead & 0x07; }
    else return latin1(lead);
    for (std::size_t i = 1; i < len; ++i) {
        if (i >= b.size()) return at_end ? latin1(lead) : NEED_MORE;
        const auto c = static_cast<unsigned char>(b[i]);
        if ((c & 0xC0) != 0x80) return latin1(lead);
        u = (u << 6) | (c & 0x3F);
    }
    return plain(len, unicode_key(u));
}

Step parse_one(std::string_view b, bool at_end);

Step parse_escape(std::string_view b, bool at_end) {
    if (b.size() == 1) return at_end ? plain(1, key::ESC) : NEED_MORE;
    const auto c = static_cast<unsigned char>(b[1]);
    if (c == '[' || c == 'O') {
        const Step s = c == '[' ? parse_csi(b) : parse_ss3(b);
        if (s.consumed || !at_end) return s;
        // The line went quiet inside a sequence: with only ESC and one
        // character it was Alt+character typed by hand; anything longer is
        // a sequence that lost its end.
        if (b.size() == 2) {
            if (const int alt = alt_code(c)) return plain(2, alt);
            return plain(1, key::ESC);
        }
        return plain(b.size(), 0);
    }
    if (c == ESC) {   // ESC + sequence: some terminals send Alt this way
        const Step inner = parse_one(b.substr(1), at_end);
        if (!inner.consumed) return NEED_MORE;
        if (inner.named) return named(1 + inner.consumed, inner.name, inner.mods | MOD_ALT);
        return plain(1, key::ESC);
    }
    if (const int alt = alt_code(c)) return plain(2, alt);
    return plain(1, key::ESC);   // Esc, then the byte on its own
}

Step parse_one(std::string_view b, bool at_end) {
    const auto c = static_cast<unsigned char>(b[0]);
    if (c == ESC) return parse_escape(b, at_end);
    if (c == 0x7F) return plain(1, key::BS);
    if (c < 0x80) return plain(1, c);   // control bytes are the Ctrl+letter codes
    return parse_utf8(b, at_end);
}

}  // namespace

std::vector<int> KeyDecoder::decode(bool at_end) {
    std::vector<int> out;
    std::string_view rest = held_;
    while (!rest.empty()) {
        const Step s = parse_one(rest, at_end);
        if (!s.consumed) break;
        if (s.code) out.push_back(s.code);
        rest.remove_prefix(s.consumed);
    }
    held_.erase(0, held_.size() - rest.size());
    return out;
}

std::vector<int> KeyDecoder::feed(std::string_view bytes) {
    held_ += bytes;
    return decode(false);
}

std::vector<int> KeyDecoder::flush() { return decode(true); }

}  // namespace qv::rt
