#pragma once
// Steps several end-to-end tests share: importing a folder of the tax
// program's declaration files from the main menu.
#include <string>

#include "e2e/tmux_session.hpp"

namespace qv::e2e {

// Declaração > Importação > Receita from `source` into `prog`, every
// declaration marked; back on the main menu. `last_name` is a name the
// list of declarations shows. Fails the test (gtest) when a step does.
void import_declarations(TmuxSession& s, const std::string& source, const std::string& prog,
                         const std::string& last_name);

}  // namespace qv::e2e
