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
#include <initializer_list>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include "runtime/core/value.hpp"

namespace qv::rt {

using Function = std::function<Value(std::span<const Value>)>;

// A name called that no routine was registered under: a fault of the
// program, never of the user's data. It reaches the top of the program,
// which writes it to the error log and shows it.
struct UnregisteredRoutine : std::invalid_argument {
    using std::invalid_argument::invalid_argument;
};

// A registered routine; its address is stable for the program's life.
struct FunctionEntry {
    std::string name;   // upper case
    Function fn;
};

void register_function(std::string_view name, Function fn);
// nullptr when no routine has that name.
const FunctionEntry* find_function(std::string_view name);
bool has_function(std::string_view name);
// Calls by name; UnregisteredRoutine when the name is unknown.
Value call_function(std::string_view name, std::span<const Value> args);

// The system's routines that one subsystem calls in another by name (so
// that no lower subsystem includes a higher one): as call_function, with
// the arguments written in place.
Value call_routine(std::string_view name, std::initializer_list<Value> args = {});
// The routine's result read as a logical: a routine that returns anything
// but a logical (nothing, say) counts as success.
bool call_as_bool(std::string_view name, std::initializer_list<Value> args = {});

}  // namespace qv::rt
