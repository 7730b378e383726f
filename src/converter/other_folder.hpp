#pragma once
// A taxpayer of an import registered in another folder of the terminal's
// folder list: the import writes there, and the run comes back to its own
// folder, so that the terminal's folder and the list's selection stay as
// they were and later taxpayers go on in the destination.
#include <functional>
#include <initializer_list>
#include <string>

namespace qv::converter {

enum class Elsewhere {
    Nowhere,   // in no other folder of the list
    Written,   // written there
    Busy,      // that folder's tables could not be had
    InUse,     // a terminal there has the taxpayer (said in `in_use`)
};

// Finds the CPF in the other folders of the list. Found, and its mark
// taken there: the tables `codes` of that folder are opened in their work
// areas and locked with its register, and `write` runs with the register
// on the taxpayer's row. Afterwards the data folder's tables `codes` and
// its register are open again, order 1. Busy and InUse write nothing: the
// taxpayer is there all the same and must not be registered a second time.
// A write that changes the declaration (`Change::Declaration`) is also
// refused, as InUse, when that folder's register protects the taxpayer.
enum class Change { ReceiptsOnly, Declaration };
Elsewhere write_in_other_folder(const std::string& cpf, std::initializer_list<int> codes,
                                const std::function<void()>& write, std::string& in_use,
                                Change change = Change::Declaration);

}  // namespace qv::converter
