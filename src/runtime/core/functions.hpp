#pragma once
// The functions expressions may call, by name (case-insensitive). The core
// registers the built-ins (UPPER, STR, DTOS, SUBSTR, ...); other subsystems
// add their own routines (DELETED, RECNO, VE_STAT, ...) at start-up, before
// expressions that use them are compiled. Registering a name again replaces
// the routine, also for expressions compiled before.
//
// IIF (and IF) are not here: the evaluator handles them itself so that only
// the chosen branch is evaluated.
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include "runtime/core/value.hpp"

namespace qv::rt {

using Function = std::function<Value(std::span<const Value>)>;

// A registered routine; its address is stable for the program's life.
struct FunctionEntry {
    std::string name;   // upper case
    Function fn;
};

void register_function(std::string_view name, Function fn);
// nullptr when no routine has that name.
const FunctionEntry* find_function(std::string_view name);
bool has_function(std::string_view name);
// Calls by name; std::invalid_argument when the name is unknown.
Value call_function(std::string_view name, std::span<const Value> args);

}  // namespace qv::rt
