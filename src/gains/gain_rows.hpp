#pragma once
// The gain being edited travels between the declaration's variables (copies
// of its table 27 row) and the arithmetic of gain_chain; its parcels are the
// table 28 rows of its number.
#include <string>
#include <vector>

#include "gains/gain_chain.hpp"

namespace qv::gains {

inline constexpr int kGainsArea = 27;
inline constexpr int kParcelsArea = 28;

// A date variable; the empty date when it holds none.
rt::Date date_variable(const char* name);
// The name of a month field: prefix + 01..12.
std::string month_field(const char* prefix, int month);

Gain gain_from_variables();
void gain_to_variables(const Gain& g);

// The parcels of gain `number` in parcel order; none when area 28 is empty.
std::vector<Parcel> read_parcels(int number);
// Writes the figures back into the same rows, appending rows the
// arithmetic added (a single acquisition's one row).
void write_parcels(int number, const std::vector<Parcel>& parcels);

}  // namespace qv::gains
