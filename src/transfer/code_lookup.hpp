#pragma once
// Names and codes the declaration file takes from the reference tables.
#include <string>

namespace qv::transfer {

// The country's name for its code; empty when the code is not listed.
std::string country_name(const std::string& code);
// The municipality's code for its name and state; empty when not listed.
std::string municipality_code(const std::string& name, const std::string& state);

}  // namespace qv::transfer
