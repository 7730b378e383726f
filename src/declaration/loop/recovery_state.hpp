#pragma once
// What the terminal's work copies hold, kept in a small file beside them
// (TMP_<terminal>.rec in the work folder): whose copies they are, the
// client folder they were loaded from, whether they hold an edit that was
// never saved and closed, and a sum of the folder's rows of the taxpayer
// as they were when the copies were last loaded or saved. F4 at the CPF
// prompt reopens only an edit that a crash left, in its own folder, and
// asks before it reopens one that is older than the folder's rows.
#include <array>
#include <optional>
#include <string>
#include <vector>

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
// The taxpayer's rows folder_contents() sums, gathered table by table
// while a load has each table open anyway: a table not gathered is read
// when the sum is taken.
class FolderRows {
public:
    // Nothing is gathered unless `wanted` (a load that edits nothing).
    explicit FolderRows(const std::string& cpf, bool wanted = true);
    // The rows of `table`, open in its own area as the catalogue opens it,
    // as they are now; the table is left on another record.
    void gather(int table);
    // The sum folder_contents() would give with the rows gathered.
    std::string sum();

private:
    std::string key_;
    bool wanted_;
    std::array<std::optional<std::vector<std::string>>, 21> rows_;
};

// The copies hold `cpf` for an edit, as the current client folder holds it
// now (or as `rows` gathered it while the copies were filled).
void copies_editing(const std::string& cpf, FolderRows* rows = nullptr);
// The edit was saved and closed: nothing is left to recover.
void copies_closed();

// A sum of every row of the taxpayer in the declaration tables of the
// current client folder (the register without the office's own fields):
// it changes with any change another terminal saves or writes.
std::string folder_contents(const std::string& cpf);

}  // namespace qv::declaration
