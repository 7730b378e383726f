#include "common/calculator.hpp"

#include <algorithm>
#include <cctype>
#include <string>

#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/windows.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::common {

namespace {


const Global kResult{"RESULT"};
const Global kPicUsu{"PIC_USU"};
const Global kLcal{"LCAL"};
const Global kCcal{"CCAL"};
const Global kCorTel1{"COR_TEL1"};
const Global kCorTel2{"COR_TEL2"};

constexpr int kRows = 14, kCols = 26;
constexpr int kMaxMantissa = 10, kMaxDecimals = 4;
constexpr char kEsc = 27, kCtrlEnter = 10;
constexpr const char* kWhole = "@Ez 99,999,999,999";
constexpr const char* kDecimal = "@Ez 99,999,999,999.9999";

void beep() { TONE(800, 10); }

bool is_operator(char op) {
    return op == '+' || op == '-' || op == '*' || op == '/' || op == '=' || op == 'X' || op == 'C' ||
           op == kEsc || op == kCtrlEnter;
}

class Calculator {
public:
    explicit Calculator(int window) : window_(window) {}

    bool run();

private:
    // The entry being typed; it ends at an operator key, which is returned.
    char read_entry(bool clear_display);
    void apply(char op, double operand);
    void draw_keypad() const;
    void show(double value, char op) const;
    void move_window(int key);
    double entry_value() const { return (negative_ ? -1 : 1) * rt::VAL(digits_); }
    // The operand an entry gives: after "=", an entry with nothing typed
    // carries the result on ("12 = * 3 =" is 36).
    double operand_after(char before) const { return before == '=' && !typed_ ? result_ : entry_value(); }

    int window_;
    std::string digits_ = "0";
    bool negative_ = false;
    bool point_ = false;
    bool typed_ = false;   // the entry got a digit, a point, a sign or the memory
    bool decimals_shown_ = false;
    double result_ = 0;
    double memory_ = 0;
    bool error_ = false;
    char last_ = 0;
    // What the display shows, written again where the window is moved to.
    mutable double shown_value_ = 0;
    mutable char shown_op_ = ' ';
};

void Calculator::draw_keypad() const {
    static const char* const rows[5][5] = {
        {"Mr ", "Mc ", "M- ", "M+ ", " ^Enter "},
        {" 7 ", " 8 ", " 9 ", " * ", "  ESC   "},
        {" 4 ", " 5 ", " 6 ", " + ", "  \x1B     "},
        {" 1 ", " 2 ", " 3 ", " - ", "(C)lear "},
        {" 0 ", " . ", " = ", " / ", " I +/-  "},
    };
    const TextWindow* w = find_window(window_);
    if (!w) return;
    const rt::Attr body = static_cast<rt::Attr>(kCorTel1.integer(30));
    const rt::Attr keys = static_cast<rt::Attr>(kCorTel2.integer(31));
    rt::DISPBOX(w->top, w->left, w->bottom, w->right, std::string(rt::B_SINGLE) + " ", body);
    rt::at_say(w->top + 2, w->left + 4, std::string(19, ' '), keys);
    // Four keys of three cells a row from column 2, the wide key from column
    // 18 to 25: all inside the frame, which stands on columns 1 and 26.
    for (int r = 0; r < 5; ++r)
        for (int k = 0; k < 5; ++k)
            rt::at_say(w->top + 4 + 2 * r, w->left + 1 + 4 * k, rows[r][k], keys);
}

void Calculator::show(double value, char op) const {
    shown_value_ = value;
    shown_op_ = op;
    const TextWindow* w = find_window(window_);
    if (!w) return;
    const rt::Attr keys = static_cast<rt::Attr>(kCorTel2.integer(31));
    const rt::Attr body = static_cast<rt::Attr>(kCorTel1.integer(30));
    const std::string picture = decimals_shown_ ? kDecimal : kWhole;
    kPicUsu.set(rt::Value(picture));
    std::string text = rt::TRANSFORM(rt::Value(value), picture);
    if (rt::ALLTRIM(text).empty()) text = rt::PADL("0", text.size());
    rt::at_say(w->top + 2, w->left + 4, rt::PADL(rt::RIGHT(text, 19), 19), keys);
    std::string sign = op == '/' ? "\xF6" : std::string(1, is_operator(op) && op >= ' ' ? op : ' ');
    rt::at_say(w->top + 2, w->left + 24, sign, body);
    rt::at_say(w->top + 2, w->left + 1, memory_ != 0 ? "M" : " ", body);
}

void Calculator::move_window(int key) {
    switch (key) {
        case rt::key::UP: MOVEVER(window_, 129); kLcal.set(rt::Value(kLcal.integer() - 1)); break;
        case rt::key::DOWN: MOVEVER(window_, 0); kLcal.set(rt::Value(kLcal.integer() + 1)); break;
        case rt::key::LEFT: MOVEHOR(window_, 129); kCcal.set(rt::Value(kCcal.integer() - 1)); break;
        default: MOVEHOR(window_, 0); kCcal.set(rt::Value(kCcal.integer() + 1)); break;
    }
    draw_keypad();
    show(shown_value_, shown_op_);
}

char Calculator::read_entry(bool clear_display) {
    digits_ = "0";
    negative_ = false;
    point_ = false;
    typed_ = false;
    if (clear_display) show(0, ' ');
    for (;;) {
        int key = rt::INKEY(-1);
        if (key == rt::key::UP || key == rt::key::DOWN || key == rt::key::LEFT || key == rt::key::RIGHT) {
            move_window(key);
            continue;
        }
        if (key == rt::key::HOME || key == rt::key::END || key == rt::key::CTRL_LEFT || key == rt::key::CTRL_RIGHT)
            continue;
        if (key == rt::key::ESC) return kEsc;
        if (key == rt::key::CTRL_ENTER) return kCtrlEnter;
        if (key == rt::key::ENTER) return '=';
        if (key == rt::key::BS) {
            digits_ = "0";
            negative_ = point_ = false;
            typed_ = true;
            show(0, ' ');
            continue;
        }
        if (key < 32 || key > 126) {
            beep();
            continue;
        }
        char c = static_cast<char>(std::toupper(key));
        if (c == ',') c = '.';
        if (is_operator(c)) return c;
        if (c >= '0' && c <= '9') {
            typed_ = true;
            const auto dot = digits_.find('.');
            const std::size_t whole = dot == std::string::npos ? digits_.size() : dot;
            const std::size_t decimals = dot == std::string::npos ? 0 : digits_.size() - dot - 1;
            if (digits_ == "0") digits_ = std::string(1, c);
            else if ((point_ ? decimals : whole) >= static_cast<std::size_t>(point_ ? kMaxDecimals : kMaxMantissa)) beep();
            else digits_ += c;
        } else if (c == '.') {
            if (point_) {
                beep();
                continue;
            }
            point_ = decimals_shown_ = typed_ = true;
            digits_ += '.';
        } else if (c == 'I') {
            negative_ = !negative_;
            typed_ = true;
        } else if (c == 'M') {
            const int next = std::toupper(rt::INKEY(-1));
            if (next == '+') memory_ += result_;
            else if (next == '-') memory_ -= result_;
            else if (next == 'R') {
                digits_ = rt::ALLTRIM(rt::STR(std::abs(memory_), 20, 4));
                negative_ = memory_ < 0;
                typed_ = true;
            } else if (next == 'C') memory_ = 0;
            else beep();
        } else {
            beep();
            continue;
        }
        show(entry_value(), ' ');
    }
}

void Calculator::apply(char op, double operand) {
    switch (op) {
        case '+': result_ += operand; break;
        case '-': result_ -= operand; break;
        case '*': result_ *= operand; break;
        case '/':
            decimals_shown_ = true;
            if (operand == 0) {
                beep();
                error_ = true;
                result_ = 0;
            } else {
                result_ /= operand;
            }
            break;
        default: break;
    }
}

bool Calculator::run() {
    draw_keypad();
    show(0, ' ');
    char op = 0;
    while (op != 'X' && op != kEsc && op != kCtrlEnter) {
        error_ = false;
        const char before = op;
        op = read_entry(before != '=');
        if (op == '=' || op == 'X' || op == 'C' || op == kEsc || op == kCtrlEnter) {
            if (op == '=' || (op == 'X' && before != '=')) result_ = operand_after(before);
            show(result_, op);
            kResult.set(rt::Value(result_));
            continue;
        }
        result_ = operand_after(before);
        char pending = op;
        for (;;) {
            op = read_entry(true);
            if (op == 'X' || op == 'C' || op == kEsc || op == kCtrlEnter) break;
            apply(pending, entry_value());
            show(result_, op);
            if (op == '=') break;
            pending = op;
        }
        kResult.set(rt::Value(result_));
    }
    kResult.set(rt::Value(result_));
    return op == kCtrlEnter && !error_;
}

// The calculator's window, closed however the calculator ends.
class OpenWindow {
public:
    explicit OpenWindow(int id) : id_(id) { ABREJAN(id); }
    ~OpenWindow() { FECHAJAN(id_); }
    OpenWindow(const OpenWindow&) = delete;
    OpenWindow& operator=(const OpenWindow&) = delete;

private:
    int id_;
};

}  // namespace

bool CALCULADORA(int window, std::optional<int> row, std::optional<int> col) {
    // Without a place of its own the calculator stands clear of the status
    // line: its 14 rows end on row 23.
    const int top = std::min(row.value_or(10), 11);
    const int left = std::min(col.value_or(11), 48);
    DEFINEJAN(window, kCorTel1.integer(30), kCorTel2.integer(31), kCorTel2.integer(31), top, left,
              top + kRows - 1, left + kCols - 1, 0);
    const int row_before = rt::ROW(), col_before = rt::COL();
    bool ok = false;
    {
        OpenWindow open(window);
        rt::SETCURSOR(0);
        ok = Calculator(window).run();
    }
    rt::SETPOS(row_before, col_before);
    rt::SETCURSOR(1);
    return ok;
}

}  // namespace qv::common
