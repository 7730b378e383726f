#include "declaration/grids/grid_engine.hpp"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/windows.hpp"
#include "declaration/entry/footers.hpp"
#include "declaration/grids/cell_edit.hpp"
#include "declaration/grids/grid_actions.hpp"
#include "declaration/grids/dependant_delete.hpp"
#include "declaration/grids/grid_hooks.hpp"
#include "declaration/grids/grid_idle.hpp"
#include "declaration/grids/insert_before.hpp"
#include "declaration/grids/monthly_entry.hpp"
#include "declaration/loop/page_globals.hpp"
#include "declaration/loop/screen_loop.hpp"
#include "declaration/loop/usage.hpp"
#include "common/times.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/expr.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {

namespace {

using rt::operator""_cp;
using rt::Value;
namespace key = rt::key;

// How long a cell write waits for a row held at another terminal.
constexpr double kCellLockSeconds = 5;
constexpr int kBoxOnCoordinates = 2;
constexpr int kPageWindow = 3;
constexpr int kHintWindow = 10;   // the messages under a cell
constexpr int kAltQ = 272, kAltM = 306, kAltC = 302, kAltV = 303, kAltR = 275, kAltW = 273;

GridRun* g_current = nullptr;
const GridDescription* g_pending = nullptr;

const common::Global kLastecla{"LASTECLA"};
const common::Global kCliptex{"CLIPTEX"};

std::string colour_spec() {
    const auto part = [](const char* name, const char* fallback) { return common::Global{name}.text(fallback); };
    return part("COR_1_CLI", "W/B") + "," + part("COR_GET", "N/W") + "," + part("COR_2_CLI", "W+/B") + "," +
           part("COR_SAY", "W+/B");
}

// A column's display expression; none (the field is shown) when it has
// none or names a routine that is not there.
std::shared_ptr<rt::Expr> shown_expression(const std::string& text) {
    if (text.empty()) return nullptr;
    try {
        return std::make_shared<rt::Expr>(rt::Expr::compile(text));
    } catch (const std::exception&) {
        return nullptr;
    }
}

// The questions of the grid open on "Não": Enter keeps the rows as they are.
// A grid drawn on its page that reaches past the page's frame: the rows
// beyond the frame are put back as they were when the grid is left, for
// the frame's window, when it closes, puts back only what it covers.
class OutsidePage {
public:
    explicit OutsidePage(const GridDescription& d) {
        const common::TextWindow* page = common::find_window(kPageWindow);
        if (d.window != 0 || !page || !common::window_saved(kPageWindow)) return;
        const int first = page->type == 1 ? page->top - 1 : page->top;
        for (int row = std::max(d.top, 0); row <= std::min(d.bottom, rt::SCREEN_ROWS - 1); ++row)
            if (row < first || row > page->bottom) rows_.push_back({row, rt::SAVESCREEN(row, 0, row, rt::SCREEN_COLS - 1)});
    }
    ~OutsidePage() {
        for (const auto& [row, cells] : rows_) rt::RESTSCREEN(row, 0, row, rt::SCREEN_COLS - 1, cells);
    }
    OutsidePage(const OutsidePage&) = delete;
    OutsidePage& operator=(const OutsidePage&) = delete;

private:
    std::vector<std::pair<int, std::string>> rows_;
};

bool asks_yes(std::string_view question) { return common::asks_yes_default_no(question); }

}  // namespace

GridRun* current_grid() { return g_current; }

std::string column_picture(const rt::table::Table& t, const GridColumn& c) {
    if (!c.shown.empty() || rt::parse_picture(c.picture).has_mask()) return c.picture;
    const int at = t.field_index(c.field);
    if (at < 0) return c.picture;
    const rt::table::Field& f = t.fields()[static_cast<std::size_t>(at)];
    if (f.type != 'N' || f.len <= 0) return c.picture;
    const int whole = f.dec > 0 ? f.len - f.dec - 1 : f.len;
    std::string mask(static_cast<std::size_t>(std::max(whole, 1)), '9');
    if (f.dec > 0) mask += "." + std::string(static_cast<std::size_t>(f.dec), '9');
    return (c.picture.empty() ? std::string("@") : c.picture) + " " + mask;
}

GridRun::GridRun(const GridDescription& d, int top, int left, int bottom, int right)
    : d_(d), browse_(top + 1, left + 1, bottom - 1, right - 1) {
    select();
    lappend_ = table().lastrec() == 0;
    common::Global{"LAPPEND"}.set(Value(lappend_));
    common::Global{"TELA_ATUAL"}.set(Value(1));
    browse_.set_color_spec(colour_spec());
    browse_.set_col_sep("\xB3");
    browse_.set_head_sep("\xC2\xC4");
    if (d_.footing_sep) browse_.set_foot_sep("\xC1\xC4");
    rt::BrowseSource src;
    src.skip = [this](long n) {
        select();
        return tables::SKIPPED(n, lappend_);
    };
    src.go_top = [this] { table().go_top(); };
    src.go_bottom = [this] { table().go_bottom(); };
    browse_.set_source(std::move(src));
    for (GridColumn& c : d_.columns) c.picture = column_picture(table(), c);
    build_columns();
    update_footings();
    table().go_top();
    if (lappend_ || table().eof()) queued_ = key::DOWN;
    browse_.set_freeze(d_.freeze);
    apply_freeze();
    for (int c = 1; c < d_.start_col; ++c) browse_.right();
}

rt::table::Table& GridRun::table() const { return tables::ws().current(d_.area); }

void GridRun::select() const { tables::ws().select(d_.area); }

const GridColumn& GridRun::current_column() const {
    return d_.columns[static_cast<std::size_t>(std::clamp(column(), 1, static_cast<int>(d_.columns.size())) - 1)];
}

void GridRun::build_columns() {
    for (const GridColumn& c : d_.columns) {
        rt::BrowseColumn::Block block;
        std::shared_ptr<rt::Expr> expr = shown_expression(c.shown);
        if (!expr) {
            block = [this, field = c.field] { return table().get(field); };
        } else {
            block = [this, expr] {
                rt::table::Workspace::Selected on(tables::ws(), d_.area);
                return expr->eval();
            };
        }
        rt::BrowseColumn col(c.heading, std::move(block));
        col.picture = c.picture;
        col.cargo = c.field;
        browse_.add_column(std::move(col));
    }
}

// The cursor never rests on a frozen column.
void GridRun::apply_freeze() {
    while (d_.freeze > 0 && browse_.col_pos() <= d_.freeze && browse_.col_pos() < browse_.col_count()) browse_.right();
}

void GridRun::show() {
    browse_.refresh_all();
    browse_.force_stable();
    browse_.dehilite();
}

void GridRun::run() {
    GridRun* const outer = g_current;   // a grid opened from another's cell
    g_current = this;
    while (cycle()) {
    }
    g_current = outer;
}

bool GridRun::cycle() {
    apply_freeze();
    common::Global{"PONTEIRO"}.set(Value(browse_.col_pos()));
    common::Global{"PONTVERT"}.set(Value(browse_.row_pos()));
    int k = 0;
    if (queued_) {
        k = std::exchange(queued_, 0);
    } else {
        browse_.stabilize_polling();
        if (browse_.hit_bottom() && d_.code < 50 && !(lappend_ && table().eof())) on_hit_bottom();
        browse_.force_stable();
        // A meaning shown under a cell has its top edge on the cell's row,
        // and its words may lie on the row below, which the grid has just
        // drawn again; the cursor then goes back to the cell the next key
        // edits.
        if (hint_) {
            common::redraw_window(kHintWindow);
            rt::SETPOS(browse_.cell_row(), browse_.cell_col());
        }
        k = wait_grid_key(d_.code);
        if (hint_ && rt::LASTKEY_TYPED()) put_away_hint();
    }
    common::Global{"EDI_CAMPO"}.set(Value(current_column().field));
    return dispatch(k);
}

// The description shown under a cell is put away at the user's next key:
// the screen it covered comes back and the rows are drawn again over it, so
// that nothing of it stays on the page or is put back stale later.
void GridRun::put_away_hint() {
    hint_ = false;
    if (!common::window_saved(kHintWindow)) return;
    common::FECHAJAN(kHintWindow);
    common::Global{"TAM_OLD"}.set(Value(0));
    browse_.refresh_all();
    browse_.force_stable();
}

// A move past the last row opens the blank line below it, where an edit
// creates a row.
void GridRun::on_hit_bottom() {
    browse_.set_hit_bottom(false);
    if (lappend_) {
        browse_.refresh_current();
        browse_.go_bottom();
        return;
    }
    lappend_ = true;
    stamp(false);
    browse_.down();
    browse_.set_hit_bottom(false);
    browse_.force_stable();
}

// The grid's marks on a row: the taxpayer, the kind of row, and an order
// value after the others. A fresh row also gets the kind; an existing one
// keeps what it has.
void GridRun::stamp(bool fresh) {
    rt::table::Table& t = table();
    if (t.eof()) return;
    if (fresh) {
        if (d_.stamp_cpf) t.put("CPF", common::Global{"CPF"}.value());
        if (d_.stamp_rural) t.put("ATV_BRASIL", vars::ATV_BRASIL.value());
        for (const auto& [field, text] : d_.stamps) {
            const Value now = t.get(field);
            t.put(field, now.is_number() ? Value(std::stod(text)) : Value(text));
        }
        if (d_.stamp) d_.stamp(t);
    }
    if (!d_.order_field.empty() && t.get(d_.order_field).as_number() == 0) {
        if (!fresh && !tables::REC_LOCK()) return;
        t.put(d_.order_field, Value(static_cast<double>(t.recno()) * 10));
        if (!fresh) t.unlock();
    }
    t.commit();
}

bool GridRun::ADIC_REG() {
    select();
    if (!tables::ADD_REC()) return false;
    stamp(true);
    table().unlock();
    // The cursor stays on the row just made; the move that opened the blank
    // line is spent.
    browse_.set_hit_bottom(false);
    lappend_ = false;
    common::Global{"LAPPEND"}.set(Value(false));
    return true;
}

void GridRun::take_back_row() {
    select();
    rt::table::Table& t = table();
    if (t.eof() || !tables::REC_LOCK()) return;
    t.delete_record();
    t.commit();
    t.unlock();
    refresh_totals();
    select();
    browse_.refresh_all();
    browse_.go_bottom();
    // The move down opens the blank line below the last row, as before.
    lappend_ = table().eof();
    common::Global{"LAPPEND"}.set(Value(lappend_));
    queued_ = key::DOWN;
}

void GridRun::FRESHORDER() {
    select();
    const std::uint32_t at = table().recno();
    browse_.refresh_all();
    browse_.force_stable();
    while (table().recno() != at && !table().eof()) {
        browse_.up();
        browse_.force_stable();
        if (browse_.hit_top()) break;
    }
}

bool GridRun::F_TROCA(const Value& v) {
    common::Global{"EDI_CAMPO"}.set(Value(current_column().field));
    select();
    if (!tables::REC_LOCK(kCellLockSeconds)) return false;
    table().put(current_column().field, v);
    table().commit();
    table().unlock();
    update_footings();
    return true;
}

void GridRun::update_footings() {
    if (d_.rows_changed) d_.rows_changed();
    if (!d_.footings) return;
    const std::vector<std::string> lines = d_.footings();
    for (int c = 1; c <= browse_.col_count() && c <= static_cast<int>(lines.size()); ++c)
        browse_.get_column(c).footing = lines[static_cast<std::size_t>(c - 1)];
    browse_.configure();
}

void GridRun::run_totals(const GridColumn& col) const {
    if (col.totals && !d_.totals_routine.empty()) run_named(d_.totals_routine, {Value(col.totals)});
}

void GridRun::refresh_totals() const {
    for (const GridColumn& c : d_.columns) {
        if (c.totals == 0) continue;
        run_totals(c);
        return;
    }
}

// Leaving the blank line puts the cursor back on the last row.
void GridRun::end_append() {
    lappend_ = false;
    common::Global{"LAPPEND"}.set(Value(false));
    select();
    if (table().eof()) table().go_bottom();
    FRESHORDER();
}

void GridRun::leave(int k) {
    browse_.dehilite();
    vars::ULTTECLA.set(Value(k));
    vars::TECLAMUDA.set(Value(true));
}

bool GridRun::move(int k) {
    switch (k) {
        case key::DOWN:
            browse_.down();
            if (lappend_) browse_.set_hit_bottom(true);
            return true;
        case key::UP:
        case key::PGUP:
        case key::CTRL_PGUP:
        case key::CTRL_PGDN:
            if (lappend_) {
                end_append();
                return true;
            }
            if (k == key::UP) browse_.up();
            else if (k == key::PGUP) browse_.page_up();
            else if (k == key::CTRL_PGUP) browse_.go_top();
            else browse_.go_bottom();
            return true;
        case key::PGDN:
            if (lappend_) browse_.set_hit_bottom(true);
            else browse_.page_down();
            return true;
        case key::RIGHT: browse_.right(); return true;
        case key::LEFT: browse_.left(); return true;
        case key::HOME: browse_.home(); return true;
        case key::END: browse_.end(); return true;
        case key::CTRL_LEFT: browse_.pan_left(); return true;
        case key::CTRL_RIGHT: browse_.pan_right(); return true;
        case key::CTRL_HOME: browse_.pan_home(); return true;
        case key::CTRL_END: browse_.pan_end(); return true;
        default: return false;
    }
}

// One key of the loop; false when the grid is left.
bool GridRun::dispatch(int k) {
    if (move(k)) return true;
    const int code = d_.code;
    switch (k) {
        case key::ESC:
        case key::TAB:
        case key::SHIFT_TAB: leave(k); return false;
        case key::ENTER: {
            if (kLastecla.integer() == 0) kLastecla.set(Value(13));
            if (!lappend_ && table().eof()) return move(key::DOWN);
            if (enter_breaks_down(*this)) {
                month_by_month(*this);
                return true;
            }
            queued_ = DOGET(*this, lappend_);
            return true;
        }
        case key::DEL:
            if (code < 51) delete_row();
            return true;
        case key::INS:
            if (code == 1 || code == 2 || code == 11) insert_before(*this);
            else if (code == 45) new_slips();
            else if (code < 46 && !d_.order_field.empty()) insert_after();
            return true;
        case kAltR:
            if (!d_.item_field.empty()) renumber();
            return true;
        case kAltM: copy_cell(); return true;
        case kAltC: paste_cell(false); return true;
        case kAltV: paste_cell(true); return true;
        case kAltQ: DIGA_QUEM(); return true;
        case kAltW:
            if (vars::TEMP_SAL.integer(99) < 99) SAL_DEC();
            return true;
        default: break;
    }
    if (const KeyOutcome outcome = grid_action(*this, k); outcome != KeyOutcome::NotMine) {
        if (outcome == KeyOutcome::Stay) return true;
        if (outcome == KeyOutcome::Leave) browse_.dehilite();
        return false;
    }
    if (k == key::F1 && code < 40) {
        MUDATEL1();
        leave(k);
        return false;
    }
    int screen = 0;
    if (k <= key::F2 && k >= key::F10) screen = 1 - k;   // F2 = -1 .. F10 = -9
    else if (k == key::ALT_F1 || k == key::F11) screen = 11;
    else if ((k == key::ALT_F1 - 1 || k == key::F12) && vars::yes(vars::TEMRURAL)) screen = 12;
    if (screen && code < 40) {
        vars::TECLAMUDA.set(Value(false));
        QUETEL(screen);
        if (vars::flag(vars::TECLAMUDA)) {
            browse_.dehilite();
            return false;
        }
        return true;
    }
    // Keys the declaration's screen loop binds (end the declaration, menus).
    if (const rt::KeyHandler* handler = rt::key_handler(k); handler && *handler) {
        vars::TECLAMUDA.set(Value(false));
        (*handler)();
        browse_.refresh_all();
        return !vars::flag(vars::TECLAMUDA);
    }
    if (k >= 32 && k <= 255) {
        // The edit starts with this key, before any typed after it.
        rt::push_keys_front({key::ENTER, k});
        kLastecla.set(Value(k));
    }
    return true;
}

void GridRun::delete_row() {
    select();
    rt::table::Table& t = table();
    if (t.eof() || !tables::REC_LOCK()) return;
    if (asks_yes("Confirma a Exclusão dessa linha?"_cp)) {
        if (d_.code == 3) {
            if (!delete_dependant()) {
                t.unlock();
                browse_.refresh_all();
                return;
            }
        } else {
            t.delete_record();
            t.commit();
            if (d_.code == 13) run_named("FCALPOUPA", {Value(1)});
        }
        if (d_.code != 3 && tables::SKIPPED(1) == 0 && tables::SKIPPED(-1) == 0) t.go_top();
        if (t.eof()) lappend_ = true;
        t.unlock();
        // The page's totals lose the row at once, not when the grid is left.
        refresh_totals();
        select();
    }
    t.unlock();
    update_footings();
    browse_.refresh_all();
    if (lappend_) queued_ = key::DOWN;
}

// The records that follow the current one in grid order, collected before
// any of them is written: a write may move a record within an index keyed
// on the written field.
std::vector<std::uint32_t> GridRun::rows_after_current() {
    select();
    rt::table::Table& t = table();
    const std::uint32_t at = t.recno();
    std::vector<std::uint32_t> rows;
    while (tables::SKIPPED(1) == 1) rows.push_back(t.recno());
    t.go_to(at);
    return rows;
}

// Ins in the billing slips: the slip form adds slips; the reference number
// it ends on is the one offered next, and the new slips are shown.
void GridRun::new_slips() {
    run_named("UNICO_BOL");
    common::Global{"BOL_NOSNRO"}.set(common::Global{"NOSSONRO"}.value());
    FRESHORDER();
}

// Ins: a row after the current one, the following rows' order values
// spaced by ten after it.
void GridRun::insert_after() {
    rt::table::Table& t = table();
    if (t.eof() || !asks_yes("Insere uma linha após esse Item?"_cp)) return;
    select();
    const double order = t.get(d_.order_field).as_number() + 1;
    const std::vector<std::uint32_t> following = rows_after_current();
    if (!tables::ADD_REC()) return;
    if (d_.stamp_cpf) t.put("CPF", common::Global{"CPF"}.value());
    if (d_.stamp_rural) t.put("ATV_BRASIL", vars::ATV_BRASIL.value());
    t.put(d_.order_field, Value(order));
    t.commit();
    t.unlock();
    const std::uint32_t added = t.recno();
    double previous = order;
    for (const std::uint32_t r : following) {
        t.go_to(r);
        if (!tables::REC_LOCK()) break;
        previous += 10;
        t.put(d_.order_field, Value(previous));
        t.commit();
        t.unlock();
    }
    t.go_to(added);
    FRESHORDER();
}

// Alt+R: the items after the current one numbered on from it; items 0 are
// left as they are.
void GridRun::renumber() {
    rt::table::Table& t = table();
    if (t.eof() || !asks_yes("Reorganiza os nros dos Bens após esse Item.?"_cp)) return;
    select();
    double item = t.get(d_.item_field).as_number();
    if (item == 0) {
        common::MENS(1, "Só é possível reorganizar a partir de um Item diferente de 0"_cp);
        return;
    }
    const std::uint32_t at = t.recno();
    for (const std::uint32_t r : rows_after_current()) {
        t.go_to(r);
        if (t.get(d_.item_field).as_number() == 0) continue;
        if (!tables::REC_LOCK()) break;
        t.put(d_.item_field, Value(++item));
        t.commit();
        t.unlock();
    }
    t.go_to(at);
    FRESHORDER();
}

void GridRun::copy_cell() {
    if (table().eof()) return;
    kCliptex.set(table().get(current_column().field));
}

// Alt+C into the current cell, Alt+V into a new row; only a clipboard of
// the field's type is pasted.
void GridRun::paste_cell(bool new_row) {
    if (!kCliptex.exists()) return;
    select();
    const Value clip = kCliptex.value();
    if (clip.type() != table().get(current_column().field).type()) return;
    if ((new_row || (lappend_ && table().eof())) && !ADIC_REG()) return;
    if (table().eof()) return;
    F_TROCA(clip);
    run_totals(current_column());
    browse_.refresh_all();
}

void run_grid(const GridDescription& d) {
    if (!tables::ws().table(d.area)) return;
    tables::ws().select(d.area);
    tables::ws().set_deleted(true);
    rt::table::Table& t = tables::ws().current(d.area);
    if (d.natural_order) t.set_order(0);
    for (const auto& [name, value] : d.filter_vars) common::Global{name}.set(Value(value));
    if (!d.filter.empty()) t.set_filter(rt::Expr::compile(d.filter));
    if (d.totals_before) run_named(d.totals_routine, {Value(d.totals_before)});
    if (d.before && !d.before()) {
        tables::ws().select(d.area);
        t.clear_filter();
        return;
    }
    if (d.footer) MRODAPE(d.footer);
    if (d.rural_footer) run_named("MRODAPER", {Value(d.rural_footer)});
    if (!d.status.empty()) common::MENS(0, d.status);
    g_pending = &d;
    {
        const OutsidePage outside(d);
        MOSTRA(d.top, d.left, d.bottom, d.right, d.window);
    }
    g_pending = nullptr;
    tables::ws().select(d.area);
    if (!d.keep_filter) t.clear_filter();
    if (d.totals_after) run_named(d.totals_routine, {Value(d.totals_after)});
    if (d.after) d.after();
}

void open_grid_window(int id, int top, int left, int bottom, int right) {
    common::DEFINEJAN(id, common::Global{"COR_TEL1"}.integer(30), common::Global{"COR_TEL2"}.integer(31),
                      common::Global{"COR_TEL3"}.integer(8), top, left, bottom, right, kBoxOnCoordinates);
    common::ABREJAN(id);
}

void MOSTRA(int top, int left, int bottom, int right, int window) {
    const int id = window == 6 ? 6 : 2;
    // The frame stands on the grid's rectangle, the grid just inside it:
    // no border is painted over, no cell of the screen below shows through.
    if (window) open_grid_window(id, top, left, bottom, right);
    CL5BROWSE(top, left, bottom, right);
    if (window) common::FECHAJAN(id);
    common::FECHAJAN(10);
    common::Global{"TAM_OLD"}.set(Value(0));
    for (int area = 21; area <= 40; ++area)
        if (rt::table::Table* t = tables::ws().table(area)) t->commit();
}

bool CL5BROWSE(int top, int left, int bottom, int right) {
    if (!g_pending) return true;
    GridRun grid(*g_pending, top, left, bottom, right);
    if (common::Global{"SO_MOS"}.integer(1) == 0) grid.show();
    else grid.run();
    return true;
}

bool DIGA_QUEM() {
    const std::string cpf = rt::TRANSFORM(common::Global{"CPF"}.value(), "@R 999.999.999-99");
    common::ESCRLCOL(1, 0, 0, cpf + "  " + common::Global{"NOMECONTR"}.text() + std::string(10, ' '));
    return true;
}

void PARA_REL() {
    const common::Global start{"INI_DECLA"}, end{"FIM_DECLA"}, used{"TEM_USO"};
    const long from = start.integer(), to = end.integer();
    used.set(Value(used.number() + (to < from ? to + 86399 - from : to - from)));
    start.set(Value(static_cast<double>(common::HORA_SEG(rt::TIME()))));
}

void DESLIG_RELG() {
    if (common::Global{"OPCAO_1"}.integer() != 11) return;
    const common::Global off{"SEMHORA"};
    off.set(Value(!off.value().as_bool()));
    if (off.value().as_bool()) PARA_REL();
}

}  // namespace qv::declaration::grids
