#pragma once
// The converter's reading and writing of its program-wide variables.
#include <string>

#include "common/globals.hpp"
#include "runtime/core/text.hpp"

namespace qv::converter {

// A variable's text, trimmed.
inline std::string global_text(const char* name) { return rt::ALLTRIM(common::Global{name}.text()); }
inline void set_global(const char* name, rt::Value v) { common::Global{name}.set(std::move(v)); }

}  // namespace qv::converter
