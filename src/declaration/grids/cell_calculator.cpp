#include "declaration/grids/cell_calculator.hpp"

#include <optional>
#include <string>
#include <utility>

#include "common/calculator.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "declaration/grids/grid_engine.hpp"
#include "declaration/grids/grid_hooks.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {

namespace {

using rt::Value;

constexpr const char* kResultPicture = "@EZ 9,999,999,999.99";

// The totals routine (and its argument) that a value written by the
// calculator feeds, by grid.
std::pair<const char*, int> totals_of(int grid) {
    switch (grid) {
        case 1: case 2: return {"FI1_T", 1};
        case 5: case 8: return {"FI7_T", 1};
        case 6: case 9: return {"FI8_T", 1};
        case 22: return {"FI7_T", 6};
        case 23: return {"FI8_T", 7};
        default: return {nullptr, 0};
    }
}

// The result as the cell takes it; nothing for a field of another type.
std::optional<Value> cell_value(const Value& current, double result) {
    if (current.is_number()) return Value(result);
    if (!current.is_string()) return std::nullopt;
    const std::string text =
        rt::ALLTRIM(current.as_string()) + " " + rt::ALLTRIM(rt::TRANSFORM(Value(result), kResultPicture));
    return Value(rt::PADR(text, current.len()));
}

}  // namespace

void calculate_into_cell(GridRun& g) {
    const GridColumn& col = g.current_column();
    const common::Global lcal{"LCAL"}, ccal{"CCAL"};
    const bool confirmed = common::CALCULADORA(9, lcal.integer(5), ccal.integer(40));
    rt::SETCURSOR(1);
    tables::ws().select(g.description().area);
    rt::table::Table& t = g.table();
    if (confirmed && !t.eof()) {
        // A computed or refused column keeps its value.
        if (!col.refusal.empty()) {
            common::MENS(1, col.refusal);
        } else if (!col.read_only) {
            if (std::optional<Value> v = cell_value(t.get(col.field), common::Global{"RESULT"}.number())) {
                if (g.description().code == 4 && col.field == "I6_4") replaces("FDOAPAG")(*v);
                if (g.F_TROCA(*v)) {
                    if (const auto [routine, arg] = totals_of(g.description().code); routine) run_named(routine, {Value(arg)});
                }
            }
        }
    }
    tables::ws().select(g.description().area);
    g.browse().refresh_all();
}

}  // namespace qv::declaration::grids
