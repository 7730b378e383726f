#pragma once
// The gains' own rows: table 27 holds one row per gain (the gain number is
// the key of its parcels in table 28), copied into the declaration's
// variables of the same names while the gain is edited.
#include <cstdint>

#include "runtime/table/table.hpp"

namespace qv::gains {

// The gains table of the open declaration; nullptr when it is not open.
rt::table::Table* gains_table();
// The first number, counting from 1, that no gain of any kind holds.
int first_free_number(rt::table::Table& t);
// Stands on the live row of gain `number`; false when there is none.
bool find_gain(rt::table::Table& t, int number);
// Live parcel rows of gain `number` in table 28.
int parcel_count(int number);
// Deletes the parcel rows of gain `number`, all of them or those after the first.
void delete_parcels(int number, bool keep_first = false);

// The current row into the variables of the same names, and back.
void row_to_variables(rt::table::Table& t);
void variables_to_row(rt::table::Table& t);

}  // namespace qv::gains
