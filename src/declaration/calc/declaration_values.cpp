#include "declaration/calc/declaration_values.hpp"

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/globals.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/varstore.hpp"
#include "tables/state.hpp"

namespace qv::declaration {

namespace {

struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

// The recalculation reads the same few hundred names over and over: each
// name as written is interned once (handles outlive the variables).
rt::VarHandle handle_of(std::string_view name) {
    static std::unordered_map<std::string, rt::VarHandle, NameHash, std::equal_to<>> handles;
    if (const auto it = handles.find(name); it != handles.end()) return it->second;
    const rt::VarHandle h = rt::variables().intern(name);
    handles.emplace(std::string(name), h);
    return h;
}

const rt::Value& value_of(std::string_view name) {
    static const rt::Value nil;
    const rt::Value* v = rt::variables().find(handle_of(name));
    return v ? *v : nil;
}

}  // namespace

double amount(std::string_view name) { return common::number_of(value_of(name)); }

void set_amount(std::string_view name, double value) { set_value(name, rt::Value(no_negative_zero(value))); }

std::string text(std::string_view name) {
    const rt::Value& v = value_of(name);
    return v.is_string() ? v.as_string() : std::string();
}

bool is(std::string_view name, char letter) {
    const rt::Value& v = value_of(name);
    if (!v.is_string() || v.as_string().empty()) return false;
    const char first = v.as_string()[0];
    return first == letter || first == letter + ('a' - 'A');
}

bool logical(std::string_view name) {
    const rt::Value& v = value_of(name);
    return v.is_logical() && v.as_bool();
}

rt::Date date(std::string_view name) {
    const rt::Value& v = value_of(name);
    return v.is_date() ? v.as_date() : rt::Date{};
}

// A value the declaration did not bring goes with the declaration when one
// is open, so nothing of one taxpayer outlives it; outside one it lives for
// the program, as the program's own globals do.
void set_value(std::string_view name, rt::Value v) {
    auto& vars = rt::variables();
    const rt::VarHandle h = handle_of(name);
    if (vars.exists(h)) {
        vars.set(h, std::move(v));
    } else if (vars.in_declaration()) {
        vars.declare_declaration(name, std::move(v));
    } else {
        common::Global{name}.set(std::move(v));
    }
}

double element(std::string_view name, int index) {
    const rt::Value& v = value_of(name);
    if (!v.is_array() || index < 1 || static_cast<std::size_t>(index) > v.len()) return 0.0;
    return common::number_of(v.at(static_cast<std::size_t>(index)));
}

double divide(double a, double b) { return b == 0.0 ? 0.0 : a / b; }

double no_negative_zero(double v) { return v == 0.0 ? 0.0 : v; }

void for_each_row(int area, const std::function<void(rt::table::Table&)>& visit) {
    auto& ws = tables::ws();
    rt::table::Table* t = ws.table(area);
    if (!t) return;
    const rt::table::Workspace::Selected keep_selection(ws, area);
    const std::uint32_t position = t->recno();
    for (t->go_top(); !t->eof(); t->skip()) visit(*t);
    if (position >= 1 && position <= t->lastrec()) t->go_to(position);
    else t->go_top();
}

rt::table::Table* work_table(int area) { return tables::ws().table(area); }

double field_number(rt::table::Table& t, std::string_view field) {
    if (t.field_index(field) < 0) return 0.0;
    return common::number_of(t.get(field));
}

rt::Value call_if_present(std::string_view name, std::initializer_list<rt::Value> args) {
    return rt::call_routine(name, args);
}

}  // namespace qv::declaration
