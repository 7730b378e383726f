#pragma once
// The monthly SELIC rates of table UFIRM (one record a month, key ANOMES).
#include <string_view>

namespace qv::office {

void CAD_UFIR();
// Looks the month (or, for BUSANO, the year) up: the multiplier and rate
// variables named receive the record's MULTIPL and TJM, or 0 and 1 when the
// month has no record. BUSMES refuses a month outside 1-12.
bool BUSMES(int month, std::string_view multiplier, std::string_view rate);
bool BUSANO(int year, std::string_view multiplier, std::string_view rate);

}  // namespace qv::office
