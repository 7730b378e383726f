#pragma once
// Which rural activities the client folder's saved rural tables (summary,
// properties, assets, debts) hold rows of, remembered between transfers
// while each table's file stays as it was: a batch of transfers then opens
// a table once rather than for every taxpayer whose activity has no rows
// in it.
#include <string>

namespace qv::transfer {

// False only when the saved rural table `table` (15 to 18) is known to
// hold no row of `key` (the CPF padded to eleven characters and the
// activity letter); true when it holds one or cannot be read.
bool saved_rows_may_exist(int table, const std::string& key);

// Forgets what was remembered (the next question reads the tables again).
void forget_saved_activities();

}  // namespace qv::transfer
