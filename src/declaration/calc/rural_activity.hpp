#pragma once
// The rural activity shown: in Brazil or abroad. Each has its own rows in
// the rural tables; switching saves the one and loads the other.
#include <string>
#include <string_view>

namespace qv::declaration {

// The activity field changed from `old_value` to `typed` ("S" Brazil, "N"
// abroad); false refuses the value.
bool MUDA_ATV(std::string_view typed, std::string_view old_value);
// The key help of the rural pages on the status line.
std::string rural_footer(int page);
void MRODAPER(int page);

void register_rural_activity_routines();

}  // namespace qv::declaration
