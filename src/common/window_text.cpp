// Writing into text windows and the status line.
#include "common/colours.hpp"
#include "common/globals.hpp"
#include "common/window_state.hpp"
#include "common/windows.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::common {

namespace {

constexpr char kColour1 = '\x01', kColour2 = '\x02', kColour3 = '\x03', kRepeat = '\x04';
constexpr char kShade = '\xB0';   // light shade, the shadow
constexpr int kStatusRow = 24;
constexpr std::string_view kStatusNormal = "GR+/B";
constexpr std::string_view kStatusBright = "W+/B";

const Global kCor1Cli{"COR_1_CLI"};
const Global kCor2Cli{"COR_2_CLI"};
const Global kCorIni{"COR_INI"};

bool is_colour_code(char c) { return c == kColour1 || c == kColour2 || c == kColour3; }

// Writers leave the client colours in their standard state.
void reset_client_colours() {
    kCor1Cli.set(rt::Value(std::string(kStatusNormal)));
    kCor2Cli.set(rt::Value(std::string(kStatusBright)));
    kCorIni.set(rt::Value(std::string(kStatusBright)));
}

void put(int row, int col, char c, rt::Attr attr) { rt::at_say(row, col, std::string_view(&c, 1), attr); }

// One character over what is on screen, in the colour already there.
void put_keeping_colour(int row, int col, char c) { put(row, col, c, rt::cell_at(row, col).attr); }

void write_status_line(std::string_view text) {
    rt::SETPOS(kStatusRow, 0);
    const rt::Attr normal = rt::parse_colour(kStatusNormal);
    if (rt::ALLTRIM(text).empty()) {
        rt::DEVOUT(text, normal);
        return;
    }
    rt::Attr current = normal;
    for (const char c : text) {
        if (c == kColour1) {
            current = normal;
        } else if (c == kColour2 || c == kColour3) {
            current = rt::parse_colour(kStatusBright);
        } else {
            rt::DEVOUT(std::string_view(&c, 1), current);
        }
    }
}

std::string without_colour_codes(std::string_view text) {
    std::string out;
    for (const char c : text)
        if (!is_colour_code(c)) out += c;
    return out;
}

void write_window(TextWindow& w, std::string_view text) {
    const rt::Attr colours[3] = {rt::parse_colour(w.colour1), rt::parse_colour(w.colour2),
                                 rt::parse_colour(w.colour3)};
    const int margin = w.type != 0 ? w.right - 2 : w.right;
    const std::string expanded = XREP(text);
    w.last_text = without_colour_codes(expanded);

    rt::DISPBEGIN();
    int row = w.top, col = w.left;
    rt::Attr current = colours[0];
    const std::string shadow2(2, kShade);
    for (const char c : expanded) {
        if (col > margin) {
            if (w.type == 7 && row != w.top) rt::at_say(row, col, shadow2, colours[2]);
            ++row;
            col = w.left;
        }
        if (is_colour_code(c)) {
            current = colours[c - kColour1];
        } else if (c != kRepeat) {
            put(row, col, c, current);
            ++col;
        }
    }
    if (w.type == 7) {
        rt::at_say(row, col, shadow2, colours[2]);
        ++row;
        rt::at_say(row, w.left + 1, std::string(static_cast<std::size_t>(std::max(margin - w.left + 2, 0)), kShade),
                   colours[2]);
    }
    rt::SETPOS(row, col);
    rt::DISPEND();
}

}  // namespace

std::string REP(int n) { return std::string{kRepeat, static_cast<char>(n)}; }

std::string XREP(std::string_view given) {
    std::string text(given);
    for (;;) {
        const auto p = text.find(kRepeat);
        if (p == std::string::npos || p + 2 >= text.size()) break;
        const auto count = static_cast<unsigned char>(text[p + 1]);
        const char c = text[p + 2];
        // A repeated repeat code would expand without end.
        if (c == kRepeat) break;
        text = rt::STRTRAN(text, std::string{kRepeat, static_cast<char>(count), c}, std::string(count, c));
    }
    return text;
}

void ESCRJAN(int id, std::string_view text) {
    if (id == 0) {
        write_status_line(text);
    } else if (TextWindow* w = detail::window(id)) {
        write_window(*w, text);
    } else {
        return;
    }
    reset_client_colours();
}

void ESCRLCOL(int id, int row, int col, std::string_view text) {
    if (id == 0) {
        rt::SETPOS(kStatusRow, col);
        int at = col;
        for (const char c : text) {
            if (is_colour_code(c)) continue;
            put_keeping_colour(kStatusRow, at++, c);
        }
    } else if (const TextWindow* w = detail::window(id)) {
        const int r = w->top + row - 1;
        int at = w->left + col - 1;
        for (const char c : text) put_keeping_colour(r, at++, c);
    } else {
        return;
    }
    reset_client_colours();
}

void ESCRATR(int id, int row, int col, int attr, int len) {
    const TextWindow* w = detail::window(id);
    if (w == nullptr) return;
    int width = w->right - w->left - 1;
    if (w->type == 0) width += 2;
    if (len == 1) width = w->right - w->left + 1;
    const long start = static_cast<long>(width) * (row - 1) + col;
    const std::string slice = rt::SUBSTR(w->last_text, start, len);
    rt::at_say(w->top + row - 1, w->left + col - 1, slice, attr_of(attr));
}

void ENCHETELA(std::string_view ch, std::string_view colour) {
    const std::string line(rt::SCREEN_COLS, ch.empty() ? ' ' : ch.front());
    const rt::Attr attr = rt::parse_colour(colour);
    rt::DISPBEGIN();
    for (int row = 0; row < rt::SCREEN_ROWS; ++row) rt::at_say(row, 0, line, attr);
    rt::DISPEND();
}

}  // namespace qv::common
