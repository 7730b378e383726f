#pragma once
// The time and the data size spent on a declaration (the office bills them),
// and the save made while the declaration is still open.
namespace qv::declaration {

// Seconds used on the declaration so far (TEMGAST); mode 3 also appends a
// row to the usage log (table 73). A stopped clock (SEMHORA) counts nothing
// since the last start.
long VETEMPO(int mode);
// The declaration's data size in bytes (TAM_USO): the work tables' sizes,
// capped at 999999. On pages 1, 4 and 7 the page's record is written back
// from its variables first.
long VETAMHO(int mode = 0);
// Alt+W and the timed save: saves without ending the declaration, unless it
// is write-protected.
void SAL_DEC();
// The declaration's status is the write-protected one (STATRAVA).
bool write_protected();
// Tells the user that a write-protected declaration cannot be saved.
void show_protection();
// True when the timed save is due: 0 < TEMP_SAL < 98 and at least TEMP_SAL
// whole minutes since the last save (SEM_SALV).
bool autosave_due();

}  // namespace qv::declaration
