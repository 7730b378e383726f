#pragma once
// The reference tables delivered with the program (code lists the system
// reads but never creates): their layouts, and their installation into the
// program folder from the CSV lists shipped in the program's data folder.
#include <optional>
#include <string>
#include <string_view>
#include "tables/schemas.hpp"

namespace qv::tables {

// The layout of a reference table code (41, 45-49, 51, 54, 55, 58-62, 64-66, 69).
std::optional<Structure> reference_schema(int code);
// The reference code of a table file name ("CODBENS" -> 46); 0 when none.
int reference_code_of(std::string_view file_stem);

// The folder holding the shipped CSV lists: QV_DATA when set (and only it),
// else "data/" in the program folder, else the "data" folder next to (or
// above) the executable's folder. Empty when none holds the lists.
std::string reference_data_folder();

// Builds the DBF of one reference table at `dbf_path` from the shipped
// lists (CP850 text); tables without a list get their layout and the rows
// the system itself depends on. False when the code is not a reference
// table or the file cannot be written.
bool build_reference_table(int code, const std::string& dbf_path, const std::string& data_folder);
// Installs every missing reference table into `program_folder`; returns
// how many were written.
int install_reference_tables(const std::string& program_folder);

}  // namespace qv::tables
