#pragma once
// Looking through the registers of the terminal's data folders, always
// coming back to the folder the search started from.
#include <functional>
#include <string>

#include "runtime/table/table.hpp"

namespace qv::tables {

// Calls `visit` with the register of every listed folder that has one.
void for_each_register(const std::function<void(rt::table::Table&)>& visit);

// Finds the taxpayer by CPF in the current folder, then in the other listed
// folders, and calls `found` with the register on that record; false when
// the CPF is nowhere.
bool with_taxpayer(const std::string& cpf, const std::function<void(rt::table::Table&)>& found);

}  // namespace qv::tables
