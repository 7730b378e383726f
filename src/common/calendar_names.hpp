#pragma once
// Names of months and weekdays as the printouts write them (no accents).
#include <string>
#include "runtime/core/date.hpp"

namespace qv::common {

// "Janeiro  " .. "Dezembro ", nine characters; "" outside 1-12.
std::string TRAZ_MES(int month);
// "Domingo" .. "Sabado"; "" for the empty date.
std::string DIA_SEMANA(rt::Date date);

}  // namespace qv::common
