#pragma once
// NRODP: counts the dependants of the dependants work table (area 23) and
// numbers the rows that have no number yet.
#include "runtime/table/table.hpp"

namespace qv::declaration {

struct DependantCount {
    int dependants = 0;   // relationship codes below 98
    int alimony = 0;      // 98 and 99: alimony recipients
};

// Counts over every row of `t` from the top, numbering the blank NRODEPEN
// of dependants and alimony recipients with their running count (heirs,
// 100 and above, are neither counted nor numbered). The table's filter is
// lifted and stays off; the record is left where it was.
DependantCount count_dependants(rt::table::Table& t);
// Sets N_DEPEN and DESPALIM and returns N_DEPEN; the selected area is kept.
int NRODP();

}  // namespace qv::declaration
