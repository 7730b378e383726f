#pragma once
// Bookkeeping entries: the office records a taxpayer's income and expenses
// on a chart of accounts during the year, and posts them into the
// declaration's tables later.
#include <string>

namespace qv::office {

// The entries screen of the current taxpayer (CPF): the entries are edited
// in the terminal's own copy and written back when the screen is left.
void LANCAMEN();
// Entry after entry until "Fim".
void FAZLANC();
// Check of the account typed (CDCONTA): the account's data into variables.
bool VE_CONTA();
// Check of the first or last month ("MESINI" or "MESFIM").
bool VEDAT(const std::string& name);
// Posts every entry not yet posted; returns how many were posted, or -1
// (said) when the declaration has the status that protects it.
int LANCAVAL();
// Among the taxpayer's rows of the selected table, the first whose `field`
// equals `value` and whose `kind_field` equals the variable of that name;
// else a new row when `create`. The row is locked and carries the CPF.
bool ACHA_ITEM(const std::string& field, const std::string& value, bool create, const std::string& kind_field);

void register_bookkeeping_routines();

}  // namespace qv::office
