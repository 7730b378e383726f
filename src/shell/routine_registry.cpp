#include "shell/routine_registry.hpp"

#include "common/common_functions.hpp"
#include "console/message_box.hpp"
#include "declaration/loop/calculator_call.hpp"
#include "tables/folders.hpp"

namespace qv::shell {

void register_system_routines() {
    common::ensure_common_functions();
    console::register_console_routines();
    declaration::register_calculator_call();
    tables::register_folder_routines();
}

}  // namespace qv::shell
