#pragma once
// The checks and recalculations that the grids ask of other subsystems,
// reached by name: a routine that is not there accepts and changes nothing.
#include <initializer_list>
#include <string>
#include <vector>

#include "declaration/grids/grid_description.hpp"

namespace qv::declaration::grids {

// routine(value, args...): false keeps the entry open.
CellHook accepts(std::string routine, std::vector<rt::Value> args = {});
// value := routine(value, args...), when it answers something.
CellHook replaces(std::string routine, std::vector<rt::Value> args = {});
// routine(args...) for its effect.
std::function<void()> runs(std::string routine, std::vector<rt::Value> args = {});
// runs(routine, args)() at once.
void run_named(std::string_view routine, std::vector<rt::Value> args = {});

}  // namespace qv::declaration::grids
