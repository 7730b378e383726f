#pragma once
// What the terminal's work copies hold, kept in a small file beside them
// (TMP_<terminal>.rec in the work folder): whose copies they are, the
// client folder they were loaded from, whether they hold an edit that was
// never saved and closed, and a sum of the folder's rows of the taxpayer
// as they were when the copies were last loaded or saved. F4 at the CPF
// prompt reopens only an edit that a crash left, in its own folder, and
// asks before it reopens one that is older than the folder's rows.
#include <optional>
#include <string>

namespace qv::declaration {

struct RecoveryState {
    std::string folder;      // the client folder, with its separator
    std::string cpf;         // 11 characters
    bool editing = false;    // loaded to be edited and not yet saved and closed
    std::string contents;    // folder_contents() at the last load or save
};

// The state of the terminal's copies; none when no load wrote one.
std::optional<RecoveryState> recovery_state();
// Written beside and put in place whole.
void keep_recovery_state(const RecoveryState& state);

// The copies are about to hold `cpf` of the current client folder, not for
// an edit (or not yet).
void copies_replaced(const std::string& cpf);
// The copies hold `cpf` for an edit, as the current client folder holds it
// now.
void copies_editing(const std::string& cpf);
// The edit was saved and closed: nothing is left to recover.
void copies_closed();

// A sum of every row of the taxpayer in the declaration tables of the
// current client folder (the register without the office's own fields):
// it changes with any change another terminal saves or writes.
std::string folder_contents(const std::string& cpf);

}  // namespace qv::declaration
