// Colour specifications: "W+/B" and friends, and the SETCOLOR slots.
#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/screen/screen.hpp"
#include "runtime/screen/screen_state.hpp"

namespace qv::rt {
namespace {

constexpr Attr DEFAULT_ATTR = 0x07;
constexpr std::size_t MAX_SLOTS = 8;
constexpr std::string_view DEFAULT_COLOURS = "W/N,N/W,N/N,N/N,N/W";

// One side of a pair: its colour (0-15) and what the side asked for besides.
struct Side {
    int colour = 0;
    bool given = false;    // any colour letter or number was present
    bool blink = false;    // '*': bright background
    bool inverse = false;  // 'I'
    bool blank = false;    // 'X'
};

std::optional<Side> parse_side(std::string_view text) {
    Side side;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
        if (std::isdigit(static_cast<unsigned char>(c))) {
            int n = 0;
            while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
                n = n * 10 + (text[i] - '0');
                ++i;
            }
            if (n > 15) return std::nullopt;
            side.colour |= n;
            side.given = true;
            continue;
        }
        switch (c) {
        case 'N': side.given = true; break;
        case 'B': side.colour |= 1; side.given = true; break;
        case 'G': side.colour |= 2; side.given = true; break;
        case 'R': side.colour |= 4; side.given = true; break;
        case 'W': side.colour |= 7; side.given = true; break;
        case 'U': side.colour |= 1; side.given = true; break;  // underline shows as blue
        case 'I': side.inverse = true; break;
        case 'X': side.blank = true; break;
        case '+': side.colour |= 8; break;
        case '*': side.blink = true; break;
        case ' ': case '"': case '\'': break;
        default: return std::nullopt;
        }
        ++i;
    }
    return side;
}

std::optional<Attr> parse_slot(std::string_view spec) {
    const auto slash = spec.find('/');
    const auto fg = parse_side(spec.substr(0, slash));
    if (!fg) return std::nullopt;
    Side bg;
    if (slash != std::string_view::npos) {
        const auto parsed = parse_side(spec.substr(slash + 1));
        if (!parsed) return std::nullopt;
        bg = *parsed;
    }
    if (fg->inverse || bg.inverse) return Attr{0x70};
    int fore = fg->colour;
    int back = bg.colour;
    if (fg->blink || bg.blink) back |= 8;
    if (fg->blank || bg.blank) fore = back;
    return static_cast<Attr>((back << 4) | fore);
}

bool is_blank(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c == ' ' || c == '"' || c == '\''; });
}

std::vector<std::string_view> split_slots(std::string_view spec) {
    std::vector<std::string_view> out;
    while (true) {
        const auto comma = spec.find(',');
        out.push_back(spec.substr(0, comma));
        if (comma == std::string_view::npos) break;
        spec.remove_prefix(comma + 1);
    }
    return out;
}

std::string side_name(int colour) {
    static constexpr std::array<std::string_view, 8> names{"N", "B", "G", "BG", "R", "RB", "GR", "W"};
    return std::string(names[colour & 7]);
}

struct ColourSlots {
    std::vector<Attr> slots;
    ColourSlots() { assign(DEFAULT_COLOURS); }
    void assign(std::string_view spec) {
        const auto parts = split_slots(spec);
        for (std::size_t i = 0; i < parts.size() && i < MAX_SLOTS; ++i) {
            if (is_blank(parts[i])) continue;   // an empty slot keeps its colour
            if (i >= slots.size()) slots.resize(i + 1, DEFAULT_ATTR);
            slots[i] = parse_slot(parts[i]).value_or(DEFAULT_ATTR);
        }
    }
    std::string text() const {
        std::string out;
        for (std::size_t i = 0; i < slots.size(); ++i) {
            if (i) out += ',';
            out += colour_name(slots[i]);
        }
        return out;
    }
};

ColourSlots& current_colours() {
    static ColourSlots colours;
    return colours;
}

}  // namespace

Attr parse_colour(std::string_view spec) {
    const auto comma = spec.find(',');
    const auto first = spec.substr(0, comma);
    if (is_blank(first)) return DEFAULT_ATTR;
    return parse_slot(first).value_or(DEFAULT_ATTR);
}

std::string colour_name(Attr a) {
    const int fore = a & 0x0F;
    const int back = a >> 4;
    std::string out = side_name(fore);
    if (fore & 8) out += '+';
    out += '/';
    out += side_name(back);
    if (back & 8) out += '*';
    return out;
}

std::string SETCOLOR(std::string_view spec) {
    auto& colours = current_colours();
    std::string old = colours.text();
    if (!spec.empty()) colours.assign(spec);
    return old;
}

Attr colour_slot(int slot) {
    const auto& slots = current_colours().slots;
    if (slot < 0 || static_cast<std::size_t>(slot) >= slots.size()) return slots.front();
    return slots[static_cast<std::size_t>(slot)];
}

}  // namespace qv::rt

namespace qv::rt::detail {
void reset_colours() { current_colours() = ColourSlots{}; }
}  // namespace qv::rt::detail
