#include "gains/gain_table.hpp"

#include <set>
#include <string>
#include <string_view>

#include "common/globals.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "gains/gain_rows.hpp"
#include "tables/state.hpp"

namespace qv::gains {

namespace {

// Fields the variable-income page keeps in variables of its own.
bool kept_apart(std::string_view field) { return field == "DAY_TRADE" || field == "RVAR_NRO"; }

int number_of_row(rt::table::Table& t) { return static_cast<int>(declaration::field_number(t, "BEM_NRO")); }

}  // namespace

rt::table::Table* gains_table() { return tables::ws().table(kGainsArea); }

int first_free_number(rt::table::Table& t) {
    std::set<int> used;
    const std::uint32_t saved = t.recno();
    for (t.go_top(); !t.eof(); t.skip())
        if (!t.deleted()) used.insert(number_of_row(t));
    if (saved) t.go_to(saved);
    int n = 1;
    while (used.count(n)) ++n;
    return n;
}

bool find_gain(rt::table::Table& t, int number) {
    for (t.go_top(); !t.eof(); t.skip())
        if (!t.deleted() && number_of_row(t) == number && number_of_row(t) > 0 &&
            static_cast<int>(declaration::field_number(t, "TIPO_BEM")) < VariableIncome)
            return true;
    return false;
}

int parcel_count(int number) {
    rt::table::Table* t = tables::ws().table(kParcelsArea);
    if (!t) return 0;
    int count = 0;
    for (const std::uint32_t rec : parcel_records(*t, number)) {
        t->go_to(rec);
        if (!t->deleted()) ++count;
    }
    return count;
}

void delete_parcels(int number, bool keep_first) {
    rt::table::Table* t = tables::ws().table(kParcelsArea);
    if (!t) return;
    bool first = true;
    for (const std::uint32_t rec : parcel_records(*t, number)) {
        t->go_to(rec);
        if (t->deleted()) continue;
        if (keep_first && first) {
            first = false;
            continue;
        }
        RowWrite lock(*t);
        t->delete_record();
        t->commit();
    }
}

void row_to_variables(rt::table::Table& t) {
    for (int i = 0; i < t.field_count(); ++i) {
        const std::string& name = t.fields()[static_cast<std::size_t>(i)].name;
        if (!kept_apart(name)) common::Global{name}.set(t.get(i));
    }
}

void variables_to_row(rt::table::Table& t) {
    RowWrite lock(t);
    for (int i = 0; i < t.field_count(); ++i) {
        const std::string& name = t.fields()[static_cast<std::size_t>(i)].name;
        const common::Global var{name};
        if (kept_apart(name) || !var.exists()) continue;
        const rt::Value v = var.value();
        if (!v.is_nil()) t.put(i, v);
    }
    t.commit();
}

}  // namespace qv::gains
