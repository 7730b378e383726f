#pragma once
// The spouse's results on the spouse form: typed by hand, or fetched from
// the spouse's own declaration in this or another client folder.
#include "runtime/table/table.hpp"

namespace qv::declaration {

// Copies the spouse's results from the spouse's register record (the
// current record of `reg`); false when this declaration gives up the fetch.
bool TRAZVALCONJ(rt::table::Table& reg);
// Fetches the spouse's results; false when there is nothing to fetch.
bool INFO_CONJU(int mode);

void register_spouse_routines();

}  // namespace qv::declaration
