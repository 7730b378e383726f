#include "declaration/grids/insert_before.hpp"

#include <algorithm>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "declaration/grids/grid_engine.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/date.hpp"
#include "runtime/core/expr.hpp"
#include "tables/locks.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {

namespace {

using rt::operator""_cp;
using rt::Value;

Value blank_like(const Value& v) {
    switch (v.type()) {
        case rt::Type::Number: return Value(0.0);
        case rt::Type::Logical: return Value(false);
        case rt::Type::Date: return Value(rt::Date{});
        default: return Value(std::string());
    }
}

// The fields the free row keeps: who the row is of and its kind.
std::vector<std::string> kept_fields(int code) {
    if (code == 11) return {"CPF"};
    return {"CPF", "I1_1", "I1_11"};
}

// Every record from the last down to `from` + 1 takes the fields of the one
// before it.
void shift_down(rt::table::Table& t, std::uint32_t from) {
    for (std::uint32_t r = t.lastrec(); r > from; --r) {
        t.go_to(r - 1);
        std::vector<Value> previous;
        for (int f = 0; f < t.field_count(); ++f) previous.push_back(t.get(f));
        t.go_to(r);
        for (int f = 0; f < t.field_count(); ++f) t.put(f, previous[static_cast<std::size_t>(f)]);
        t.commit();
    }
}

void blank_row(rt::table::Table& t, int code) {
    const std::vector<std::string> keep = kept_fields(code);
    for (int f = 0; f < t.field_count(); ++f) {
        const std::string& name = t.fields()[static_cast<std::size_t>(f)].name;
        if (std::find(keep.begin(), keep.end(), name) == keep.end()) t.put(f, blank_like(t.get(f)));
    }
    t.commit();
}

}  // namespace

bool insert_before(GridRun& grid) {
    const GridDescription& d = grid.description();
    tables::ws().select(d.area);
    rt::table::Table& t = grid.table();
    if (t.eof() || !common::asks_yes_default_no("Insere uma linha ANTES desse Item?")) return false;
    const std::uint32_t here = t.recno();
    if (!tables::FIL_LOCK()) return false;
    // Record order, every kind of row: the whole table moves as one.
    const int order = t.order();
    t.set_order(0);
    t.clear_filter();
    t.append_blank();
    shift_down(t, here);
    t.go_to(here);
    blank_row(t, d.code);
    if (d.code != 11) t.put("I1_1", common::Global{"I1_1"}.value());
    t.put("CPF", common::Global{"CPF"}.value());
    t.commit();
    t.unlock();
    t.set_order(order);
    if (!d.filter.empty()) t.set_filter(rt::Expr::compile(d.filter));
    t.go_to(here);
    grid.FRESHORDER();
    return true;
}

}  // namespace qv::declaration::grids
