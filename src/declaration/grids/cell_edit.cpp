#include "declaration/grids/cell_edit.hpp"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>

#include "common/documents.hpp"
#include "common/entry_notices.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/windows.hpp"
#include "declaration/grids/grid_engine.hpp"
#include "declaration/grids/grid_hooks.hpp"
#include "runtime/core/expr.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/ui/get_settings.hpp"
#include "runtime/ui/read.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {

namespace {

using rt::Value;
namespace key = rt::key;

constexpr int kDomesticEmployeeCode = 50;

bool is_alimony_code(const Value& v) {
    const double code = common::number_of(v);
    return code >= 30 && code <= 34;
}

// The active index's key on the current row (text, number or date), to see
// whether an edit moved it; nil without an order.
Value index_key_value(rt::table::Table& t) {
    const std::string expr = t.order_key();
    if (expr.empty() || t.eof()) return {};
    return rt::eval_text(expr);
}

// EXITKEY, then past the next column too when the column asks for it.
int leave_cell(const GridColumn& col, bool append) {
    const int k = rt::LASTKEY();
    const int next = EXITKEY(append);
    if (col.skips_next && (k == key::ENTER || (k >= 32 && k <= 255)) && col.skips_next()) rt::push_keys_front({key::RIGHT});
    return next;
}

}  // namespace

bool check_cell(CellCheck check, int grid, Value& value) {
    switch (check) {
        case CellCheck::None: return true;
        case CellCheck::Document: {
            const std::string digits = common::TIRA_PONTO(value.as_string());
            if (digits.empty()) return true;
            value = Value(common::CONTAPONTO(digits));
            return common::CPFCGC(value.as_string());
        }
        case CellCheck::PayeeDocument: {
            const std::string digits = common::TIRA_PONTO(value.as_string());
            const GridRun* g = current_grid();
            if (digits.empty() || !g) return true;
            const int code = static_cast<int>(common::number_of(g->table().get("I6_3")));
            value = Value(common::payee_layout(digits, code));
            return code == kDomesticEmployeeCode ? common::VAL_NIT(value.as_string()) : common::CPFCGC(value.as_string());
        }
        case CellCheck::Cpf: {
            const std::string digits = common::TIRA_PONTO(value.as_string());
            return digits.find_first_not_of(' ') == std::string::npos || common::VAL_CPF(digits);
        }
        case CellCheck::Code: return accepts("TES_COD", {rt::Value(grid)})(value);
        case CellCheck::Country1: return accepts("TES_PAIS", {rt::Value(1)})(value);
        case CellCheck::Country2: return accepts("TES_PAIS", {rt::Value(2)})(value);
        case CellCheck::PaymentCode:
            if (is_alimony_code(value) && common::Global{"DESPALIM"}.integer() == 0) {
                common::MENS(1, "Para lancar a pensao precisa antes cadastrar o alimentando");
                return false;
            }
            return accepts("TES_COD", {rt::Value(grid)})(value);
        case CellCheck::PaymentAmount: return replaces("FDOAPAG")(value);
        case CellCheck::NotDeductible: return replaces("FCONFNDEDU")(value);
    }
    return true;
}

namespace {

// Up and Down end the entry on a cell (the grid then moves); the
// scoreboard stays off. Both are put back when the edit ends.
class CellEntrySettings {
public:
    CellEntrySettings() : exit_(rt::READEXIT(true)), scoreboard_(rt::SET_SCOREBOARD(false)) {
        common::install_entry_notices();
    }
    ~CellEntrySettings() {
        rt::READEXIT(exit_);
        rt::SET_SCOREBOARD(scoreboard_);
    }
    CellEntrySettings(const CellEntrySettings&) = delete;
    CellEntrySettings& operator=(const CellEntrySettings&) = delete;

private:
    bool exit_, scoreboard_;
};

// The entry stays inside its cell: a text wider than the column scrolls
// within it instead of writing over the columns beside it.
std::string cell_picture(const std::string& picture, const rt::Value& value, int width) {
    if (!value.is_string() || width <= 0) return picture;
    if (rt::PictureEdit(picture, value).display_width() <= static_cast<std::size_t>(width)) return picture;
    std::string functions, mask = picture;
    if (!picture.empty() && picture[0] == '@') {
        const std::size_t space = picture.find(' ');
        const std::string given = picture.substr(1, space == std::string::npos ? std::string::npos : space - 1);
        mask = space == std::string::npos ? std::string() : picture.substr(space + 1);
        for (std::size_t i = 0; i < given.size(); ++i) {
            if (std::toupper(static_cast<unsigned char>(given[i])) != 'S') {
                functions += given[i];
                continue;
            }
            while (i + 1 < given.size() && std::isdigit(static_cast<unsigned char>(given[i + 1]))) ++i;
        }
    }
    std::string out = "@" + functions + "S" + std::to_string(width);
    if (!mask.empty()) out += " " + mask;
    return out;
}

}  // namespace

int DOGET(GridRun& grid, bool append) {
    rt::Browse& b = grid.browse();
    b.set_hit_top(false);
    b.force_stable();
    rt::table::Table& t = grid.table();
    const GridColumn& col = grid.current_column();
    const int code = grid.description().code;
    tables::ws().select(grid.description().area);
    if (col.read_only) return EXITKEY(false);
    if (!col.refusal.empty()) {
        common::MENS(1, col.refusal);
        return EXITKEY(false);
    }
    if (col.when && !col.when()) {
        tables::ws().select(grid.description().area);
        return EXITKEY(false);
    }
    tables::ws().select(grid.description().area);
    const CellEntrySettings settings;
    const Value key_before = index_key_value(t);
    Value value = t.get(col.field);
    if (col.entry_width > 0 && value.is_string()) value = Value(rt::PADR(value.as_string(), col.entry_width));
    const Value original = value;
    if (col.description && common::Global{"LASTECLA"}.integer() == 13 && !t.eof()) {
        const int area = grid.description().area;
        const std::string text = rt::TRIM(value.as_string());
        if (area == 25 || area == 38) MOS_DETDIV(text, b.cell_row(), b.cell_col());
        else MOS_DETBEM(text, b.cell_row(), b.cell_col());
    }
    rt::GetList gets;
    gets.emplace_back(b.cell_row(), b.cell_col(), col.field, [&value] { return value; },
                      [&value](const Value& v) { value = v; }, cell_picture(col.picture, value, b.cell_width()));
    if (value.is_number() && !col.negative) gets.back().no_negative();
    // A refused value stays in the cell as it was typed, for correction; an
    // accepted one is kept as the check leaves it (punctuation, a code
    // picked from the list).
    gets.back().valid([&value, &col, code] {
        Value checked = value;
        if (!check_cell(col.check, code, checked) || (col.hook && !col.hook(checked))) return false;
        value = checked;
        return true;
    });
    // The checks may walk the grid's table (the share movements are summed
    // through it): the value goes to the row the edit was started on, or to
    // a new one when that was the blank line.
    const bool on_blank = t.eof();
    bool appended = false;
    std::uint32_t row = t.recno();
    for (;;) {
        const bool done = rt::READ(gets);
        if (col.description) common::FECHAJAN(10);
        tables::ws().select(grid.description().area);
        if ((!on_blank || appended) && t.recno() != row) t.go_to(row);
        if (!done || rt::equals(value, original, true)) break;
        const bool created = on_blank;
        if (created && !appended) {
            if (!grid.ADIC_REG()) return 0;
            appended = true;
            row = t.recno();
        }
        common::Global{"LASTECLA"}.set(Value(0));
        // A row held at another terminal is not written: the value typed
        // stays in the entry, to be written again or given up with Esc.
        if (!grid.F_TROCA(value)) continue;
        grid.run_totals(col);
        if (col.after_write) col.after_write();
        tables::ws().select(grid.description().area);
        if (t.recno() != row) t.go_to(row);
        if (created) {
            b.refresh_all();
        } else if (!key_before.is_nil() && !rt::equals(index_key_value(t), key_before, true)) {
            grid.FRESHORDER();
            return 0;
        }
        b.refresh_current();
        return leave_cell(col, append);
    }
    return leave_cell(col, append);
}

namespace {

bool description_box(std::string_view text, int row, int col, int lines_up) {
    // Up to seven lines of about seventy characters: 511 characters fit.
    text = text.substr(0, 511);
    common::MensArgs at;
    at.lines = std::clamp(static_cast<int>(text.size() + 69) / 70, 1, 7);
    at.row = row + 1;
    if (at.row + 8 > 21) at.row -= lines_up;
    at.col = Value(col);
    common::MENS(13, text, at);
    return true;
}

}  // namespace

bool MOS_DETBEM(std::string_view text, int row, int col) { return description_box(text, row, col, 11); }

bool MOS_DETDIV(std::string_view text, int row, int col) { return description_box(text, row, col, 7); }

int EXITKEY(bool append) {
    const int k = rt::LASTKEY();
    if (k == key::PGDN) return append ? 0 : key::DOWN;
    if (k == key::PGUP) return append ? 0 : key::UP;
    if (k == key::UP || k == key::DOWN) return k;
    // On the blank line the entry shows nothing to tell it from the grid
    // waiting: Tab and Shift+Tab go on to leave the page as the clerk meant.
    if (append && (k == key::TAB || k == key::SHIFT_TAB)) return k;
    if (k == key::ESC) {
        common::FECHAJAN(10);
        common::Global{"TAM_OLD"}.set(Value(0));
        return 0;
    }
    if (k == key::ENTER || (k >= 32 && k <= 255)) {
        const GridRun* grid = current_grid();
        if (grid && grid->column() == grid->description().ult_pos) {
            rt::push_keys_front({key::CTRL_HOME, key::DOWN});
            common::Global{"PONTEIRO"}.set(Value(1));
        } else {
            rt::push_keys_front({key::RIGHT});
        }
    }
    return 0;
}

}  // namespace qv::declaration::grids
