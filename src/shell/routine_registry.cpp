#include "shell/routine_registry.hpp"

#include "common/common_functions.hpp"
#include "console/message_box.hpp"
#include "declaration/calc/calc_routines.hpp"
#include "declaration/loop/calculator_call.hpp"
#include "declaration/entry/field_checks.hpp"
#include "declaration/grids/grid_routines.hpp"
#include "declaration/calc/declaration_check.hpp"
#include "gains/gain_routines.hpp"
#include "office/calendar.hpp"
#include "office/billing.hpp"
#include "office/email.hpp"
#include "printing/printing_routines.hpp"
#include "declaration/loop/declaration_io_routines.hpp"
#include "declaration/loop/declara.hpp"
#include "office/office_routines.hpp"
#include "tables/folders.hpp"

namespace qv::shell {

void register_system_routines() {
    common::ensure_common_functions();
    console::register_console_routines();
    declaration::register_calculator_call();
    gains::register_gain_routines();
    printing::register_printing_routines();
    office::register_calendar_routines();
    office::register_email_routines();
    office::register_billing_routines();
    declaration::register_calc_routines();
    declaration::register_declaration_io_routines();
    declaration::register_declaration_loop_routines();
    office::register_office_routines();
    tables::register_folder_routines();
    declaration::register_field_check_routines();
    declaration::register_check_routines();
    declaration::grids::register_grid_routines();
}

}  // namespace qv::shell
