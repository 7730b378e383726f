#include "declaration/loop/declaration_variables.hpp"

#include <span>
#include <vector>

#include "common/globals.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/table/table.hpp"
#include "tables/state.hpp"

namespace qv::declaration {

rt::Lifetime declaration_lifetime() {
    return rt::variables().in_declaration() ? rt::Lifetime::Declaration : rt::Lifetime::Program;
}

void set_variable(std::string_view name, rt::Value v) {
    rt::variables().declare(name, declaration_lifetime(), std::move(v));
}

rt::Value variable(std::string_view name) {
    const auto& vars = rt::variables();
    return vars.exists(name) ? vars.get(name) : rt::Value();
}

double variable_number(std::string_view name) { return common::number_of(variable(name)); }

std::string variable_text(std::string_view name) {
    const rt::Value v = variable(name);
    return v.is_string() ? v.as_string() : std::string();
}

void record_to_variables(int area) {
    const rt::Value cpf = variable("CPF");
    const rt::Value nomeag = variable("NOMEAG");
    if (rt::table::Table* t = tables::ws().table(area)) {
        for (int i = 0; i < t->field_count(); ++i) set_variable(t->fields()[std::size_t(i)].name, t->get(i));
    }
    set_variable("CPF", cpf);
    set_variable("NOMEAG", nomeag);
}

namespace {

bool fits(char field_type, const rt::Value& v) {
    switch (field_type) {
        case 'C': return v.is_string();
        case 'N': return v.is_number();
        case 'D': return v.is_date();
        case 'L': return v.is_logical();
        default: return false;
    }
}

}  // namespace

void variables_to_record(int area) {
    rt::table::Table* t = tables::ws().table(area);
    if (!t) return;
    const auto& vars = rt::variables();
    for (int i = 0; i < t->field_count(); ++i) {
        const rt::table::Field& f = t->fields()[std::size_t(i)];
        if (!vars.exists(f.name)) continue;
        const rt::Value& v = vars.get(f.name);
        if (fits(f.type, v)) t->put(i, v);
    }
}

std::optional<rt::Value> call_named(std::string_view name, std::initializer_list<rt::Value> args) {
    return rt::call_routine(name, args);
}

}  // namespace qv::declaration
