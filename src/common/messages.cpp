#include "common/messages.hpp"

#include <algorithm>

#include "common/colours.hpp"
#include "common/common_functions.hpp"
#include "common/globals.hpp"
#include "common/text_helpers.hpp"
#include "common/windows.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/expr.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/backend.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/read.hpp"

namespace qv::common {

namespace {

const Global kCorTel1{"COR_TEL1"};
const Global kCorTel2{"COR_TEL2"};
const Global kCorTel3{"COR_TEL3"};
const Global kCorCliHe{"COR_CLI_HE"};
const Global kTamOld{"TAM_OLD"};
const Global kNlOld{"NL_OLD"};
const Global kContOld{"CONT_OLD"};

// Colours of a new terminal, used until the terminal's own are loaded.
constexpr int kDefaultTel1 = 30, kDefaultTel2 = 31, kDefaultTel3 = 63;

std::string column_code(const rt::Value& col) {
    return col.is_string() ? rt::UPPER(rt::ALLTRIM(col.as_string())) : std::string();
}

int window_start(const rt::Value& col, int width) {
    if (col.is_number()) return static_cast<int>(col.as_number());
    const std::string code = column_code(col);
    if (code == "E") return 2;
    if (code == "C") return (80 - width) / 2;
    return 75 - width;
}

rt::Value status_message(std::string_view text, const rt::Value& col) {
    ESCRJAN(0, rt::SPACE(80));
    const int at = column_code(col) == "C" ? CENTER(text) : 1;
    ESCRLCOL(0, 0, at, text);
    rt::SETCURSOR(1);
    return rt::Value(std::string());
}

// Characters a line of the window holds (the writer's right margin).
int line_capacity(int frame, int width) { return frame != 0 ? width - 1 : width + 1; }

struct MessageBox {
    int window, frame, row, start, width, lines;
};

void define_and_open(const MessageBox& box) {
    const int tel1 = kCorTel1.integer(kDefaultTel1), tel2 = kCorTel2.integer(kDefaultTel2);
    const int tel3 = box.frame == 7 ? kCorTel3.integer(kDefaultTel3) : tel2;
    REDEFJAN(box.window, tel1, tel2, tel3, box.row, box.start, box.row + box.lines + 1, box.start + box.width,
             box.frame);
    ABREJAN(box.window);
}

// A progress message reuses its open window while the size stays the same.
void show_progress(const MessageBox& box, std::string_view text) {
    const bool same = kTamOld.integer() == box.width && kNlOld.integer() == box.lines &&
                      kContOld.integer() == box.frame && window_saved(box.window);
    if (!same) {
        define_and_open(box);
        ESCRJAN(box.window, rt::SPACE(static_cast<long>(box.lines) * line_capacity(box.frame, box.width)));
        kTamOld.set(rt::Value(box.width));
        kNlOld.set(rt::Value(box.lines));
        kContOld.set(rt::Value(box.frame));
    }
    ESCRJAN(box.window, text);
}

rt::Value read_variable(const std::string& name) {
    auto& store = rt::variables();
    try {
        return store.read(name);
    } catch (const rt::UndefinedName&) {
        store.assign_variable(name, rt::Value(std::string()));
        return rt::Value(std::string());
    }
}

rt::Value entry_field(const MessageBox& box, std::size_t text_len, const MensArgs& args) {
    const int end = box.lines == 1 ? static_cast<int>(text_len)
                                   : box.width - static_cast<int>(text_len % static_cast<std::size_t>(box.width)) - 1;
    // One blank between the text and the field, on the last line.
    const int row = box.row + box.lines - 1;
    const int col = box.start + end + 1;
    const rt::Value before = read_variable(args.name);
    rt::GetList gets;
    gets.emplace_back(row, col, args.name, args.picture);
    try {
        gets.back().valid(rt::condition_from_text(args.valid));
    } catch (const rt::ExprError&) {
        // A validation that does not compile cannot refuse anything.
    }
    rt::CLEAR_TYPEAHEAD();
    if (!rt::READ(gets)) rt::variables().assign(args.name, empty_like(before));
    FECHAJAN(box.window);
    return read_variable(args.name);
}

std::string wait_for_letter(std::string_view letters) {
    const std::string valid = rt::UPPER(letters);
    for (;;) {
        const int k = rt::INKEY(-1);
        if (k <= 0 || k > 255) continue;
        const char c = rt::upper_char(static_cast<char>(k));
        if (valid.find(c) != std::string::npos) return std::string(1, c);
    }
}

}  // namespace

int entry_width(const rt::Value& v, int numeric_width) {
    switch (v.type()) {
    case rt::Type::Character: return static_cast<int>(v.as_string().size());
    case rt::Type::Number:
        return numeric_width > 0 ? numeric_width : static_cast<int>(rt::STR(v.as_number()).size());
    case rt::Type::Date: return 8;
    case rt::Type::Logical: return 1;
    default: return 0;
    }
}

rt::Value empty_like(const rt::Value& v) {
    switch (v.type()) {
    case rt::Type::Number: return rt::Value(0);
    case rt::Type::Date: return rt::Value(rt::DATE());
    case rt::Type::Logical: return rt::Value(false);
    default: return rt::Value(std::string());
    }
}

rt::Value MENS() { return status_message({}, {}); }

rt::Value MENS(int type, std::string_view text, const MensArgs& args) {
    ensure_common_functions();
    const int frame = type / 10, units = type % 10;
    if (units == 0) return status_message(text, args.col);

    std::string body(text);
    const std::size_t text_len = body.size();
    if (units == 4) body += rt::SPACE(entry_width(read_variable(args.name), args.width));
    const int lines = std::max(args.lines, 1);
    int width = static_cast<int>(body.size()) + 2;
    if (lines > 1) {
        width = width / lines + 1;
        int pad = lines * width - static_cast<int>(body.size());
        if (frame != 7 && pad > lines) pad -= lines + 1;
        if (pad > 0) body += rt::SPACE(pad);
    }
    if (frame == 7) ++width;
    // The box's inside is written whole, so that nothing of the screen
    // under it shows beside the text.
    const auto inside = static_cast<std::size_t>(lines * line_capacity(frame, width));
    if ((frame == 1 || frame == 2) && units != 4 && body.size() < inside) body += rt::SPACE(static_cast<long>(inside - body.size()));
    const MessageBox box{args.window, frame, args.row, window_start(args.col, width), width, lines};

    if (units == 3) {
        show_progress(box, body);
        return rt::Value(std::string());
    }
    define_and_open(box);
    ESCRJAN(box.window, body);
    if (units == 4) return entry_field(box, text_len, args);

    rt::CLEAR_TYPEAHEAD();
    std::string answer;
    if (units == 2) {
        answer = wait_for_letter(args.name);
    } else {
        if (units == 1) BEEP_ERRO(1);
        rt::INKEY(-1);
    }
    FECHAJAN(box.window);
    return rt::Value(answer);
}

std::string choose_from_lines(const std::vector<std::string>& lines, std::string_view keys, int row, const rt::Value& col) {
    if (lines.empty()) return MENS(12, "", MensArgs{row, col, 1, std::string(keys)}).as_string();
    // Every line as wide as the longest and the last one a character
    // shorter: the box's width then splits the text exactly at the lines.
    std::size_t width = 0;
    for (const std::string& line : lines) width = std::max(width, line.size());
    if (lines.back().size() == width) ++width;
    std::string body;
    for (const std::string& line : lines) body += rt::PADR(line, static_cast<long>(width));
    body.pop_back();
    return MENS(12, body, MensArgs{row, col, static_cast<int>(lines.size()), std::string(keys)}).as_string();
}

void AVISO(std::string_view text, int row, int col) {
    rt::at_say(row, col, text, rt::parse_colour(kCorCliHe.text("N/W")));
}

void TONE(double /*frequency*/, double /*ticks*/) { rt::backend().beep(); }

void BEEP_ERRO(int n) {
    for (int round = 0; round < n; ++round)
        for (int pair = 0; pair < 2; ++pair) {
            TONE(300, 1);
            TONE(499, 1);
        }
}

bool NDA() { return true; }

}  // namespace qv::common
