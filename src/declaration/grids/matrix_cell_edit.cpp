#include "declaration/grids/matrix_cell_edit.hpp"

#include "common/globals.hpp"
#include "common/messages.hpp"
#include "declaration/grids/capital_gain_instalments.hpp"
#include "declaration/grids/cell_edit.hpp"
#include "declaration/loop/declaration_variables.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/get_settings.hpp"
#include "runtime/ui/read.hpp"

namespace qv::declaration::grids {

namespace {

using rt::operator""_cp;
using rt::Value;
namespace key = rt::key;

const std::string kNotAllowed = "Não é permitido inserir valor nesse campo."_cp;
const std::string kCommonTaxOnly = "Lance o valor do imposto pago na operação comum"_cp;

// Stock-market operations: two blocks of months' results (rows 1-13 common,
// 14-26 day-trade) and the tax lines after them.
CellRule variable_income_rule(int row, int col) {
    const std::string day_trade = common::Global{"DAY_TRADE"}.text("1");
    if (day_trade == "3") {
        if (row == 1 || row == 6 || (row == 2 && col == 2)) return {};
        return {false, kNotAllowed};
    }
    const bool common_operations = day_trade != "2";
    if (row == 19) return {false, {}};
    if (row == 24 && !common_operations) return {false, kCommonTaxOnly};
    if (row <= 26) return {};
    if (row == 27) return {false, kNotAllowed};
    if (row == 28) return {true, common_operations ? std::string() : kCommonTaxOnly};
    return {false, {}};
}

// After an entry the cursor goes on as in the table grids; past the grid's
// wrap column it goes to the first month column of the next row.
int next_key(const MatrixGrid& g, int col) {
    const int k = rt::LASTKEY();
    if (g.ult_pos > 0 && col == g.ult_pos && (k == key::ENTER || (k >= 32 && k <= 255))) {
        rt::push_keys_front({key::CTRL_HOME, key::DOWN});
        return 0;
    }
    return EXITKEY(false);
}

}  // namespace

CellRule cell_rule(int code, int row, int col) {
    switch (code) {
        case 7: return {row != 13, {}};
        case 16: return {col <= 6 && row <= 12, {}};
        case 14: return variable_income_rule(row, col);
        default: return {};
    }
}

void recalculate(const MatrixGrid& g, int row, int col, double amount) {
    switch (g.code) {
        case 7: call_named("FX_RT", {Value("CALC_MENS"), Value(row), Value(col)}); break;
        case 12: FX_GANHO(row); break;
        case 14: call_named("SOMA_RENVAR", {Value(col), Value(amount)}); break;
        case 16:
            call_named("VE_LEAO", {Value(row), Value(1)});
            call_named("FX_RT", {Value(g.matrix), Value(row), Value(col)});
            break;
        case 37:
            call_named("FX_RT", {Value("Rend_Rural"), Value(row), Value(col)});
            call_named("MARCA_NEG");
            break;
        default: break;
    }
}

int GETMTX(MatrixRun& run) {
    const MatrixGrid& g = run.grid();
    rt::Browse& b = run.browse();
    b.force_stable();
    const int col = run.column();
    const int row = run.matrix_row();
    const CellRule rule = cell_rule(g.code, row, col);
    if (!rule.message.empty()) common::MENS(1, rule.message);
    if (!rule.editable) {
        // A character typed on a refused cell is dropped with the edit it began.
        if (const int typed = rt::NEXTKEY(); typed >= 32 && typed <= 255) rt::INKEY(0);
        return EXITKEY(false);
    }

    const bool scoreboard = rt::SET_SCOREBOARD(false);
    const bool read_exit = rt::READEXIT(true);
    const int cursor = rt::SETCURSOR(2);
    double value = matrix_amount(g.matrix, row, col);
    const std::string picture =
        static_cast<std::size_t>(col) <= g.columns.size() ? g.columns[static_cast<std::size_t>(col - 1)].picture : "";
    rt::GetList gets;
    gets.emplace_back(b.cell_row(), b.cell_col(), g.matrix, [&value] { return Value(value); },
                      [&value](const Value& v) { value = v.is_number() ? v.as_number() : 0.0; }, picture);
    const bool done = rt::READ(gets);
    rt::SETCURSOR(cursor);
    rt::READEXIT(read_exit);
    rt::SET_SCOREBOARD(scoreboard);
    if (done) {
        set_matrix_amount(g.matrix, row, col, value, g.store_picture);
        recalculate(g, row, col, value);
    }
    run.redraw();
    return next_key(g, col);
}

}  // namespace qv::declaration::grids
