#pragma once
// The print-selection lists (program-wide arrays of captions) and their
// reading. CREATE_PRINT_LISTS and MONTA_ITENS are declared in main_menu.hpp.
#include <string>
#include <string_view>

namespace qv::shell {

// Entry n (1-based) of a program-wide list; "" when the list or entry is missing.
std::string list_entry(std::string_view list, int n);
// The number of entries of a program-wide list (0 when missing).
int list_size(std::string_view list);

}  // namespace qv::shell
