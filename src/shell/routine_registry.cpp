#include "shell/routine_registry.hpp"

#include "common/common_functions.hpp"
#include "console/message_box.hpp"
#include "declaration/loop/calculator_call.hpp"
#include "office/office_routines.hpp"

namespace qv::shell {

void register_system_routines() {
    common::ensure_common_functions();
    console::register_console_routines();
    declaration::register_calculator_call();
    office::register_office_routines();
}

}  // namespace qv::shell
