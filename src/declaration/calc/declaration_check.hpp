#pragma once
// The consistency check run before a declaration is transferred: every
// numbered rule over the open declaration, its findings written into the
// declaration's error list (table 11), counted by grade, and the verdict.
#include <string_view>

namespace qv::declaration {

// Modes: 1 from the main menu (the folder's table 11, opened exclusive),
// 2 asked on the balance page, 3 automatic (the work copy in area 31).
void CONFERE(int nMode);
// Records one finding of rule `nCode`, its text followed by `cSuffix`.
void MARCAERRO(int nCode, std::string_view cSuffix = {});

// Text on the check's progress line at a column; a text from the line's
// start replaces the whole line.
void show_check_progress(int col, std::string_view text);

// The rules themselves, in their order, each stage announced on the
// progress row before its rules run.
void run_check_rules();

// Registers the check and the declaration helpers shared with the loop.
void register_check_routines();

}  // namespace qv::declaration
