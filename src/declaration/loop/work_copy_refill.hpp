#pragma once
// A walk that sends declaration after declaration to the tax program loads
// each one only to read it. Its work copies stay open from one taxpayer to
// the next and are refilled with the next taxpayer's rows, instead of being
// removed, created and indexed anew for every declaration. The copies an
// earlier declaration left closed on the disk are refilled the same way.
#include <string>

namespace qv::declaration {

class FolderRows;

// True for the menu ids of such a walk (the marked declarations, all).
constexpr bool walking_transfer(int id) { return id == 64 || id == 65; }

// Refills the terminal's open work copies with the rows of `cpf`. False,
// with nothing refilled, when the copies are not all open (the first
// taxpayer of the walk), and false after a failure (the copies are then
// closed): the caller makes them the ordinary way. Each table's rows of
// the taxpayer go into `rows` while the table is open.
bool refill_work_copies(int id, const std::string& cpf, FolderRows& rows);

// Opens again, as a load leaves them, the work copies an earlier
// declaration of this terminal left closed. False, with none of them open,
// when any is missing or is not as a load makes it.
bool reopen_kept_copies();

}  // namespace qv::declaration
