#pragma once
namespace qv::declaration {
// Pages 1 and 2 and their frames, by name.
void register_income_screen_routines();
}  // namespace qv::declaration
