#pragma once
// Saving the loaded declaration: the register and declaration records from
// the variables, then each table's work copy in place of the taxpayer's rows
// of the shared table. Each shared table is rewritten beside itself and put
// in place whole, so a save cut short leaves every table with either the
// old rows or the new ones; the work copies stay on disk until the next
// load, and F4 at the CPF prompt reopens them.
#include <string_view>
#include "runtime/core/value.hpp"

namespace qv::declaration {

inline constexpr std::string_view kSaveWait = "Aguardando outro Terminal salvar dados...";

// Mode 1: on leaving the declaration (work copies closed); 0: autosave
// (they stay open, each on its record). False when nothing could be saved
// (the work copies then stay as they are).
bool SALVATUDO(int mode);
// Writes table `table` (2-20) back; `mode` as SALVATUDO's.
void SALVA_PARC(int table, int mode);
// In the selected area: seeks `key` and locks the record found, or appends
// a locked one. False when neither could be had.
bool PREP_REG(const rt::Value& key);
// INDGAS and SALDO kept inside their field widths.
void VE_LIM_NEG();

}  // namespace qv::declaration
