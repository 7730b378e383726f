#include "declaration/grids/sub_grids.hpp"

#include <string>

#include "common/globals.hpp"
#include "declaration/entry/footers.hpp"
#include "declaration/grids/grid_catalogue.hpp"
#include "declaration/grids/grid_engine.hpp"
#include "declaration/grids/grid_hooks.hpp"
#include "declaration/loop/page_globals.hpp"
#include "runtime/screen/keys.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {

namespace {

using rt::Value;
namespace key = rt::key;

constexpr int kAltF4 = key::ALT_F1 - 3, kAltF5 = key::ALT_F1 - 4, kAltF6 = key::ALT_F1 - 5;
constexpr int kSavedPayees = 30, kSavedDescriptions = 31, kSavings = 13;
constexpr int kAssetsArea = 24, kDescriptionsArea = 52, kPayeesArea = 53;

// Where a saved description goes in a row of each list: its code field,
// its description field.
struct DescriptionFields {
    const char* code;
    const char* text;
};

DescriptionFields description_fields(int grid) {
    switch (grid) {
        case 5: case 8: case 22: return {"I7_5", "I7_2"};
        case 6: case 9: case 23: return {"I8_5", "I8_2"};
        case 35: return {"CODIGO", "I8R_1"};
        case 36: return {"ITEM", "I9R_1"};
        default: return {nullptr, nullptr};
    }
}

// Runs the list `code` from inside `g`, then gives the grid back its area,
// footer and code; true when the list was left with Ctrl+Enter.
bool run_pick_list(GridRun& g, int code, int area) {
    if (!tables::ws().table(area) && !tables::ABERTURA(area)) return false;
    vars::ULTTECLA.set(Value(0));
    EDITA(code);
    const bool picked = vars::ULTTECLA.integer() == key::CTRL_ENTER;
    const GridDescription& d = g.description();
    common::Global{"OPC"}.set(Value(d.code));
    tables::ws().select(d.area);
    if (d.footer) MRODAPE(d.footer);
    if (d.rural_footer) run_named("MRODAPER", {Value(d.rural_footer)});
    vars::TECLAMUDA.set(Value(false));
    return picked;
}

// Writes `fields` into the current row under its record lock.
void fill_row(rt::table::Table& t, std::initializer_list<std::pair<const char*, Value>> fields) {
    if (t.eof() || !tables::REC_LOCK()) return;
    for (const auto& [field, v] : fields) t.put(field, v);
    t.commit();
    t.unlock();
}

// Alt+F4: a payment made for the payee picked.
void saved_payees(GridRun& g) {
    if (!run_pick_list(g, kSavedPayees, kPayeesArea) || !g.ADIC_REG()) return;
    const auto global = [](const char* name) { return common::Global{name}.value(); };
    fill_row(g.table(), {{"I6_1", global("NOME")}, {"I6_2", global("CGCCPF")}, {"I6_3", global("CODIGO")}});
}

// Alt+F5: a row after the current one carrying the description picked.
void saved_descriptions(GridRun& g) {
    rt::table::Table& t = g.table();
    const std::string& order_field = g.description().order_field;
    const double after = t.eof() || order_field.empty() ? 0 : t.get(order_field).as_number();
    if (!run_pick_list(g, kSavedDescriptions, kDescriptionsArea) || !g.ADIC_REG()) return;
    const DescriptionFields f = description_fields(g.description().code);
    fill_row(t, {{f.code, common::Global{"CODIGO"}.value()}, {f.text, common::Global{"DESCRICAO"}.value()}});
    if (after > 0) fill_row(t, {{order_field.c_str(), Value(after + 1)}});
}

// Alt+F6: the savings income list, its totals taken into the declaration.
void savings(GridRun& g) {
    EDITA(kSavings);
    run_named("FCALPOUPA", {Value(0)});
    common::Global{"OPC"}.set(Value(g.description().code));
    tables::ws().select(kAssetsArea);
}

}  // namespace

bool open_sub_grid(GridRun& g, int k) {
    const int code = g.description().code;
    if (k == kAltF4 && code == 4) saved_payees(g);
    else if (k == kAltF5 && description_fields(code).code) saved_descriptions(g);
    else if (k == kAltF6 && (code == 5 || code == 8 || code == 22)) savings(g);
    else return false;
    g.FRESHORDER();
    return true;
}

}  // namespace qv::declaration::grids
