#pragma once
// Before its file is written a declaration is computed again whole: the
// summary chain and what is otherwise computed only on its own screens
// (the variable-income statements, each capital gain, the rural results).
// A declaration written straight into the tables, never opened (as an
// import writes it), so goes out as it would after being opened and saved.
#include <string>

namespace qv::transfer {

// Empty when done; otherwise why the declaration could not be computed
// (it is then not to be sent).
std::string recalculate_declaration();

}  // namespace qv::transfer
