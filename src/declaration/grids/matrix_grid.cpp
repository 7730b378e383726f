#include "declaration/grids/matrix_grid.hpp"

#include <algorithm>
#include <utility>

#include "common/amounts.hpp"
#include "common/calculator.hpp"
#include "common/globals.hpp"
#include "common/windows.hpp"
#include "declaration/entry/footers.hpp"
#include "declaration/grids/grid_idle.hpp"
#include "declaration/grids/grid_engine.hpp"
#include "declaration/grids/matrix_cell_edit.hpp"
#include "declaration/grids/matrix_modes.hpp"
#include "declaration/loop/declaration_variables.hpp"
#include "declaration/loop/monthly_matrices.hpp"
#include "declaration/loop/page_globals.hpp"
#include "declaration/loop/screen_loop.hpp"
#include "declaration/loop/usage.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::declaration::grids {

namespace {

using rt::Value;
namespace key = rt::key;

constexpr int kAltB = 304, kAltC = 302, kAltH = 291, kAltI = 279, kAltM = 306, kAltS = 287, kAltT = 276,
              kAltU = 278, kAltW = 273, kAltF2 = key::ALT_F1 - 1;
constexpr const char* kAmountPicture = "@Ez 9999,999.99";

MatrixRun* g_current = nullptr;

const common::Global kNlin{"NLIN"};
const common::Global kPoshormat{"POSHORMAT"};
const common::Global kCliptex{"CLIPTEX"};

long matrix_length(std::string_view name) {
    const Value m = variable(rt::UPPER(name));
    return m.is_array() ? static_cast<long>(m.len()) : 0;
}

Value cell_value(std::string_view name, int row, int col) {
    const Value m = variable(rt::UPPER(name));
    if (!m.is_array() || row < 1 || static_cast<std::size_t>(row) > m.len()) return Value("");
    const Value& r = m.at(static_cast<std::size_t>(row));
    if (!r.is_array() || col < 1 || static_cast<std::size_t>(col) > r.len()) return Value("");
    return r.at(static_cast<std::size_t>(col));
}

std::string colour_spec() {
    const auto part = [](const char* name, const char* fallback) { return common::Global{name}.text(fallback); };
    return part("COR_1_CLI", "W/B") + "," + part("COR_GET", "N/W") + "," + part("COR_2_CLI", "W+/B") + "," +
           part("COR_SAY", "W+/B");
}

void call_by_name(std::string_view name, std::initializer_list<Value> args) { call_named(name, args); }

// A routine of the screen loop that may change the page: the grid is left
// when it did.
bool page_left(auto&& routine) {
    vars::TECLAMUDA.set(Value(false));
    routine();
    return vars::flag(vars::TECLAMUDA);
}

}  // namespace

long SKIP_MATRIZ(long length, long current, long n) {
    if (current + n < 1) return 1 - current;
    if (current + n > length) return length - current;
    return n;
}

double matrix_amount(std::string_view matrix, int row, int col) {
    const Value v = cell_value(matrix, row, col);
    if (v.is_number()) return v.as_number();
    return v.is_string() ? common::CAR_TO_VAL(rt::ALLTRIM(v.as_string())) : 0.0;
}

void set_matrix_amount(std::string_view matrix, int row, int col, double amount, std::string_view picture) {
    set_matrix_cell(rt::UPPER(matrix), row, col, Value(rt::TRANSFORM(Value(amount), picture)));
}

MatrixRun* current_matrix_grid() { return g_current; }

MatrixRun::MatrixRun(const MatrixGrid& g, int top, int left, int bottom, int right)
    : g_(g), browse_(top + 1, left + 1, bottom - 1, right - 1) {
    browse_.set_color_spec(colour_spec());
    browse_.set_col_sep("\xB3");
    browse_.set_head_sep("\xC2\xC4");
    if (g_.code == 16) browse_.set_foot_sep("\xC1\xC4");
    rt::BrowseSource src;
    src.skip = [this](long n) {
        const long moved = SKIP_MATRIZ(matrix_length(g_.matrix), kNlin.integer(1), n);
        kNlin.set(Value(static_cast<double>(kNlin.integer(1) + moved)));
        return moved;
    };
    src.go_top = [] { kNlin.set(Value(1)); };
    src.go_bottom = [this] { kNlin.set(Value(static_cast<double>(std::max(matrix_length(g_.matrix), 1L)))); };
    browse_.set_source(std::move(src));
    for (std::size_t i = 0; i < g_.columns.size(); ++i) {
        const int col = static_cast<int>(i) + 1;
        const std::string picture = g_.columns[i].picture;
        rt::BrowseColumn c(g_.columns[i].heading, [this, col, picture] {
            const Value v = cell_value(g_.matrix, kNlin.integer(1), col);
            return v.is_number() ? Value(rt::TRANSFORM(v, picture)) : v;
        });
        browse_.add_column(std::move(c));
    }
    browse_.set_freeze(g_.freeze);
    apply_freeze();
}

int MatrixRun::matrix_row() const {
    const int shown = kNlin.integer(1);
    if (g_.code != 14) return shown;
    const Value label = cell_value(g_.matrix, shown, 1);
    const int n = label.is_string() ? std::atoi(label.as_string().substr(0, 2).c_str()) : 0;
    return n > 0 ? n : shown;
}

void MatrixRun::redraw() {
    browse_.refresh_all();
    browse_.force_stable();
}

// The cursor never rests on a frozen column.
void MatrixRun::apply_freeze() {
    while (g_.freeze > 0 && browse_.col_pos() <= g_.freeze && browse_.col_pos() < browse_.col_count())
        browse_.right();
}

// How the rural months are filled: typed as totals or fed by the cash book.
static void show_rural_months_mode() {
    rt::at_say(3, 2, vars::flag(common::Global{"SO_TOTAL"}) ? "S\xA2 Totais " : " L. Caixa ");
}

void MatrixRun::run() {
    MatrixRun* outer = std::exchange(g_current, this);
    // The rural months say from the start how they are filled.
    if (g_.code == 37) show_rural_months_mode();
    for (;;) {
        apply_freeze();
        int k = std::exchange(queued_, 0);
        if (k == 0) {
            browse_.stabilize_polling();
            browse_.force_stable();
            if (g_.code == 37) common::Global{"TIPOCR"}.set(Value(browse_.col_pos() == 1 ? "C" : "D"));
            kPoshormat.set(Value(browse_.col_pos()));
            common::Global{"PONTEIRO"}.set(Value(browse_.col_pos()));
            common::Global{"POSVERMAT"}.set(Value(browse_.row_pos()));
            common::Global{"PONTVERT"}.set(Value(browse_.row_pos()));
            k = wait_grid_key(g_.code);   // the usage clock stops while nobody types
        }
        if (!dispatch(k)) break;
    }
    g_current = outer;
}

void MatrixRun::leave(int k) {
    browse_.dehilite();
    vars::ULTTECLA.set(Value(k));
    vars::TECLAMUDA.set(Value(true));
}

bool MatrixRun::move(int k) {
    switch (k) {
        case key::DOWN: browse_.down(); return true;
        case key::UP: browse_.up(); return true;
        case key::LEFT: browse_.left(); return true;
        case key::PGDN: browse_.page_down(); return true;
        case key::PGUP: browse_.page_up(); return true;
        case key::HOME: browse_.home(); return true;
        case key::CTRL_LEFT: browse_.pan_left(); return true;
        case key::CTRL_RIGHT: browse_.pan_right(); return true;
        case key::CTRL_HOME: browse_.pan_home(); return true;
        case key::CTRL_PGUP: browse_.go_top(); return true;
        case key::CTRL_PGDN: browse_.go_bottom(); return true;
        case key::RIGHT:
            if (g_.code != 37 || browse_.col_pos() == 1) browse_.right();
            return true;
        case key::END:
            if (g_.code != 16 || browse_.col_pos() <= 5) browse_.end();
            return true;
        case key::CTRL_END:
            if (g_.code != 37) browse_.pan_end();
            return true;
        default: return false;
    }
}

// One key of the loop; false when the grid is left.
bool MatrixRun::dispatch(int k) {
    if (move(k)) return true;
    const int code = g_.code;
    const bool carne_leao_page = code == 16 && vars::TELA.integer() == 2;
    switch (k) {
        case key::ESC:
        case key::TAB:
        case key::SHIFT_TAB: leave(k); return false;
        case key::ENTER: return enter();
        case key::F1: return !page_left([] { MUDATEL1(); });
        case key::ALT_A:
            if (carne_leao_page) next_carne_leao_mode();
            else if (code == 37) flip_rural_totals();
            return true;
        case kAltB:
            if (code == 7) break_down_amount();
            return true;
        case kAltI:
        case kAltH: return !page_left([k] { ESC_HORIZ(k == kAltI ? 1 : 2); });
        case 305:   // Alt+N
            if (carne_leao_page) flip_only_paid();
            return true;
        case kAltT: DESLIG_RELG(); return true;
        case kAltS:
            if (code == 7 || code == 12 || code == 14 || code == 16) calculator();
            return true;
        case kAltU:
            if (code == 12 || code == 16) dollar_form();
            return true;
        case kAltW:
            if (vars::TEMP_SAL.integer(99) < 98) SAL_DEC();
            return true;
        case kAltM: copy_cell(); return true;
        case kAltC: paste_cell(); return true;
        default: break;
    }
    int screen = 0;
    if (k <= key::F2 && k >= key::F10 && code < 40) screen = 1 - k;   // F2 = -1 .. F10 = -9
    else if (k == key::ALT_F1 || k == key::F11) screen = 11;
    else if ((k == kAltF2 || k == key::F12) && code < 40 && vars::yes(vars::TEMRURAL)) screen = 12;
    if (screen) return !page_left([screen] { QUETEL(screen); });
    if (const rt::KeyHandler* handler = rt::key_handler(k); handler && *handler) {
        const bool left = page_left([handler] { (*handler)(); });
        redraw();
        return !left;
    }
    if (k >= 32 && k <= 255) {
        // A month fed by the rural cash book is not typed in: the key opens
        // the book, whose first field is a date the key has no part in.
        if (code == 37 && !vars::flag(common::Global{"SO_TOTAL"})) return enter();
        // The edit starts with this key, before any typed after it.
        rt::push_keys_front({key::ENTER, k});
    }
    return true;
}

// Enter: the rows behind a month's cell, or an edit of the cell.
bool MatrixRun::enter() {
    const int col = browse_.col_pos();
    const int row = kNlin.integer(1);
    const int mode = common::Global{"CAL_AUTO"}.integer(1);
    if (g_.code == 16 && (mode == 1 || mode == 3) && col <= 6) {
        open_month_rows(col, mode);
        redraw();
        MRODAPE(12);
        return true;
    }
    if (g_.code == 37 && !vars::flag(common::Global{"SO_TOTAL"})) {
        open_rural_cash_book(row, col);
        redraw();
        return true;
    }
    queued_ = GETMTX(*this);
    return true;
}

void MatrixRun::next_carne_leao_mode() {
    show_next_carne_leao_mode();
    redraw();
}

void MatrixRun::flip_only_paid() {
    flip_carne_leao_carried();
    redraw();
}

void MatrixRun::flip_rural_totals() {
    const common::Global totals{"SO_TOTAL"};
    totals.set(Value(!vars::flag(totals)));
    show_rural_months_mode();
    call_by_name("MRODAPER", {Value(2)});
}

// Alt+B: the amount being broken down goes into the month's cell, in reais
// or converted at the month's dollar rate.
void MatrixRun::break_down_amount() {
    const int col = browse_.col_pos();
    const int row = kNlin.integer(1);
    const double amount = common::Global{common::Global{"EDI_CAMPO"}.text()}.number();
    if (col == 2) {
        set_matrix_amount(g_.matrix, row, col, amount, kAmountPicture);
    } else if (col == 3 && row <= 12) {
        const Value rates = common::Global{"TAB_DOLAR"}.value();
        const double rate = rates.is_array() && static_cast<std::size_t>(row) <= rates.len()
                                ? common::number_of(rates.at(static_cast<std::size_t>(row)))
                                : 0.0;
        set_matrix_amount(g_.matrix, row, col, rate > 0 ? amount / rate : 0.0, kAmountPicture);
    } else {
        return;
    }
    call_by_name("FX_RT", {Value("calc_MENS"), Value(row), Value(col)});
    redraw();
}

void MatrixRun::calculator() {
    if (!common::CALCULADORA()) {
        redraw();
        return;
    }
    const double result = common::Global{"RESULT"}.number();
    set_matrix_amount(g_.matrix, matrix_row(), browse_.col_pos(), result, kAmountPicture);
    if (g_.code != 14) recalculate(g_, matrix_row(), browse_.col_pos(), result);
    redraw();
}

// Alt+U: the month's amount worked out from a dollar amount.
void MatrixRun::dollar_form() {
    const int row = matrix_row();
    const auto r = call_named("MUDATEL13", {Value(row), Value(matrix_amount(g_.matrix, row, browse_.col_pos()))});
    if (r && common::number_of(*r) > 0) {
        set_matrix_amount(g_.matrix, row, browse_.col_pos(), common::number_of(*r), kAmountPicture);
        recalculate(g_, row, browse_.col_pos(), common::number_of(*r));
    }
    redraw();
}

void MatrixRun::copy_cell() { kCliptex.set(cell_value(g_.matrix, matrix_row(), browse_.col_pos())); }

// Alt+C: the copied cell pasted; the grids of amounts take any copy, the
// others only a text. No recalculation follows.
void MatrixRun::paste_cell() {
    if (!kCliptex.exists()) return;
    const Value clip = kCliptex.value();
    const bool amounts = g_.code == 7 || g_.code == 12 || g_.code == 16;
    if (!amounts && !clip.is_string()) return;
    set_matrix_cell(rt::UPPER(g_.matrix), matrix_row(), browse_.col_pos(), clip);
    browse_.refresh_current();
}

void MBROWSE(const MatrixGrid& g, int top, int left, int bottom, int right) {
    const Value saved = kNlin.value();
    kNlin.set(Value(1));
    common::Global{"TELA_ATUAL"}.set(Value(2));
    {
        MatrixRun run(g, top, left, bottom, right);
        for (int row = 1; row < g.start_row; ++row) run.browse().down();
        if (vars::SO_MOS.integer(1) == 0) run.redraw();
        else run.run();
    }
    rt::SETCURSOR(1);
    kNlin.set(saved);
    kPoshormat.set(Value(1));
}

void MOSBROW(const MatrixGrid& g, int top, int left, int bottom, int right, int window) {
    const int id = window == 6 ? 6 : 2;
    if (window) open_grid_window(id, top, left, bottom, right);
    MBROWSE(g, top, left, bottom, right);
    if (window) common::FECHAJAN(id);
}

}  // namespace qv::declaration::grids
