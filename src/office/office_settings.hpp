#pragma once
// The office-wide settings record (DEFINE): billing prices, the autosave
// policy and the write-protected status code; and the status options.
#include <initializer_list>

namespace qv::office {

void VAL_DECL();
void TIP_GRAV();
void MUDA_ESTATUS();
// The help line of price field 1-4 on the status line; true.
bool MENS_VAL(int field);
// The autosave interval is at least one minute.
bool VAL_TEMP();

// The interval kept for autosave mode 1-3, given the one before.
int autosave_interval(int mode, int current);
// Writes the named variables into the DEFINE record under its lock; false
// when the lock is not granted (the record keeps its values).
bool write_define(std::initializer_list<const char*> names);
// The DEFINE record's values for the named variables that do not exist yet.
void load_define(std::initializer_list<const char*> names);
// Calls a grid by its code when the grid engine is built, else says that
// the option is not available yet.
void open_grid(int code);

}  // namespace qv::office
