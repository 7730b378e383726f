// ALERT: layout, drawing and the choice loop.
#include "runtime/ui/alert.hpp"
#include <algorithm>
#include <optional>
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::rt {

namespace {

constexpr std::string_view kDefaultColour = "W+/R,W+/B";
constexpr std::size_t kButtonGap = 2;

std::vector<std::string> split_message(std::string_view message) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        const auto semi = message.find(';', start);
        lines.emplace_back(message.substr(start, semi == std::string_view::npos ? semi : semi - start));
        if (semi == std::string_view::npos) break;
        start = semi + 1;
    }
    return lines;
}

// A line that fits inside the screen's box stands as it was given, its
// trailing blanks kept: lines padded alike are centred alike, one under the
// other (the choices of a numbered question). A longer one breaks at its
// last blank before the limit (or at the limit when there is none).
std::vector<std::string> wrap_lines(const std::vector<std::string>& lines) {
    constexpr std::size_t kWidest = SCREEN_COLS - 4;
    std::vector<std::string> out;
    for (const auto& line : lines) {
        std::string rest = line.size() <= kWidest ? line : TRIM(line);
        if (rest.size() <= kWidest) {
            out.push_back(rest);
            continue;
        }
        while (rest.size() > ALERT_LINE_WIDTH) {
            auto cut = rest.rfind(' ', ALERT_LINE_WIDTH);
            if (cut == std::string::npos || cut == 0) cut = ALERT_LINE_WIDTH;
            out.push_back(TRIM(rest.substr(0, cut)));
            rest = LTRIM(rest.substr(cut));
        }
        out.push_back(rest);
    }
    return out;
}

struct AlertColours {
    Attr box;
    Attr selected;
};

AlertColours alert_colours(std::string_view spec) {
    if (ALLTRIM(spec).empty()) spec = kDefaultColour;
    const Attr box = parse_colour(spec);
    const auto comma = spec.find(',');
    if (comma != std::string_view::npos && !ALLTRIM(spec.substr(comma + 1)).empty()) {
        return {box, parse_colour(spec.substr(comma + 1))};
    }
    const Attr inverse = static_cast<Attr>(((box & 0x0F) << 4) | (box >> 4));
    return {box, inverse};
}

struct AlertLayout {
    int top, left, bottom, right;
    int buttons_row, buttons_col;
    std::vector<int> button_cols;
    std::size_t inner;
};

AlertLayout layout(const std::vector<std::string>& lines, const std::vector<std::string>& buttons) {
    std::size_t widest = 0;
    for (const auto& l : lines) widest = std::max(widest, l.size());
    std::size_t buttons_width = 0;
    for (const auto& b : buttons) buttons_width += b.size() + 2;
    buttons_width += kButtonGap * (buttons.size() - 1);
    AlertLayout lay{};
    lay.inner = std::min<std::size_t>(std::max(widest, buttons_width), SCREEN_COLS - 4);
    const int width = static_cast<int>(lay.inner) + 4;
    const int height = static_cast<int>(lines.size()) + 4;
    lay.top = (SCREEN_ROWS - height) / 2;
    lay.left = (SCREEN_COLS - width) / 2;
    lay.bottom = lay.top + height - 1;
    lay.right = lay.left + width - 1;
    lay.buttons_row = lay.bottom - 1;
    lay.buttons_col = lay.left + 2 + static_cast<int>((lay.inner - std::min(lay.inner, buttons_width)) / 2);
    int col = lay.buttons_col;
    for (const auto& b : buttons) {
        lay.button_cols.push_back(col);
        col += static_cast<int>(b.size() + 2 + kButtonGap);
    }
    return lay;
}

void draw_buttons(const AlertLayout& lay, const std::vector<std::string>& buttons, std::size_t current,
                  const AlertColours& colours) {
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        at_say(lay.buttons_row, lay.button_cols[i], " " + buttons[i] + " ",
               i == current ? colours.selected : colours.box);
    }
    SETPOS(lay.buttons_row, lay.button_cols[current] + 1);
    refresh_screen();
}

// The button whose first letter is the key's, upper or lower case.
std::optional<std::size_t> hot_button(const std::vector<std::string>& buttons, int key) {
    if (key <= 32 || key > 255) return std::nullopt;
    const char want = upper_char(static_cast<char>(key));
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const std::string name = ALLTRIM(buttons[i]);
        if (!name.empty() && upper_char(name[0]) == want) return i;
    }
    return std::nullopt;
}


// Buttons padded with blanks that would not fit inside the screen's box
// are shown without the padding.
std::vector<std::string> fitting_buttons(const std::vector<std::string>& given) {
    if (given.empty()) return {"Ok"};
    std::size_t width = kButtonGap * (given.size() - 1);
    for (const auto& b : given) width += b.size() + 2;
    if (width <= static_cast<std::size_t>(SCREEN_COLS - 4)) return given;
    std::vector<std::string> trimmed;
    for (const auto& b : given) trimmed.push_back(TRIM(b));
    return trimmed;
}

int alert_box(const std::vector<std::string>& message_lines, const std::vector<std::string>& given_buttons,
              std::string_view colour, int first, const std::function<bool()>& done, double poll_seconds,
              AlertLines laid = AlertLines::Centred) {
    const std::vector<std::string> buttons = fitting_buttons(given_buttons);
    std::vector<std::string> lines = wrap_lines(message_lines);
    if (lines.size() > static_cast<std::size_t>(SCREEN_ROWS - 4)) lines.resize(SCREEN_ROWS - 4);
    const AlertColours colours = alert_colours(colour);
    const AlertLayout lay = layout(lines, buttons);

    const std::string saved = SAVESCREEN(lay.top, lay.left, lay.bottom, lay.right);
    const int old_cursor = SETCURSOR(0);
    const int old_row = ROW(), old_col = COL();
    DISPBEGIN();
    DISPBOX(lay.top, lay.left, lay.bottom, lay.right, std::string(B_SINGLE) + " ", colours.box);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string text = LEFT(lines[i], static_cast<long>(lay.inner));
        const std::size_t margin = laid == AlertLines::Left ? 0 : (lay.inner - text.size()) / 2;
        const int col = lay.left + 2 + static_cast<int>(margin);
        at_say(lay.top + 1 + static_cast<int>(i), col, text, colours.box);
    }
    DISPEND();

    std::size_t current = static_cast<std::size_t>(std::clamp(first, 1, static_cast<int>(buttons.size())) - 1);
    int chosen = -1;
    while (chosen < 0) {
        draw_buttons(lay, buttons, current, colours);
        if (done && done()) break;
        const int k = INKEY(done ? poll_seconds : -1.0);
        if (k == 0) continue;
        if (k == key::ESC) {
            chosen = 0;
        } else if (k == key::ENTER) {
            chosen = static_cast<int>(current) + 1;
        } else if (k == key::LEFT || k == key::SHIFT_TAB || k == key::UP) {
            current = current == 0 ? buttons.size() - 1 : current - 1;
        } else if (k == key::RIGHT || k == key::TAB || k == key::DOWN) {
            current = (current + 1) % buttons.size();
        } else if (k == key::HOME) {
            current = 0;
        } else if (k == key::END) {
            current = buttons.size() - 1;
        } else if (const auto hot = hot_button(buttons, k)) {
            chosen = static_cast<int>(*hot) + 1;
        }
    }
    RESTSCREEN(lay.top, lay.left, lay.bottom, lay.right, saved);
    SETCURSOR(old_cursor);
    SETPOS(old_row, old_col);
    refresh_screen();
    return chosen;
}

}  // namespace

int ALERT(std::string_view message, const std::vector<std::string>& buttons, std::string_view colour, int first) {
    return ALERT(split_message(message), buttons, colour, first);
}

int ALERT(const std::vector<std::string>& message_lines, const std::vector<std::string>& given_buttons,
          std::string_view colour, int first, AlertLines laid) {
    return alert_box(message_lines, given_buttons, colour, first, {}, 0.5, laid);
}

int ALERT_UNTIL(const std::vector<std::string>& message_lines, const std::vector<std::string>& given_buttons,
                std::string_view colour, const std::function<bool()>& done, double poll_seconds) {
    return alert_box(message_lines, given_buttons, colour, 1, done, poll_seconds);
}

}  // namespace qv::rt
