#pragma once
// The loaded declaration's variables: named like the fields of its records,
// they live with the declaration when one is open (and with the program
// otherwise, as when a routine is run on its own).
#include <initializer_list>
#include <optional>
#include <string_view>
#include "runtime/core/value.hpp"
#include "runtime/core/varstore.hpp"

namespace qv::declaration {

rt::Lifetime declaration_lifetime();
// Declares (or sets) a variable of the declaration.
void set_variable(std::string_view name, rt::Value v);
// The variable's value; nil when it does not exist.
rt::Value variable(std::string_view name);
double variable_number(std::string_view name);
std::string variable_text(std::string_view name);

// Every field of the current record of `area` into its variable; CPF and
// NOMEAG keep the values they had.
void record_to_variables(int area);
// Every field of the current record of `area` whose variable exists and
// holds a value of the field's type takes that value.
void variables_to_record(int area);

// A routine of another subsystem, by name (rt::call_routine); always a value.
std::optional<rt::Value> call_named(std::string_view name, std::initializer_list<rt::Value> args = {});

}  // namespace qv::declaration
