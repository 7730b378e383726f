#include "shell/routine_registry.hpp"

#include "common/common_functions.hpp"
#include "console/message_box.hpp"
#include "darf/darf_routines.hpp"
#include "declaration/calc/calc_routines.hpp"
#include "declaration/loop/calculator_call.hpp"
#include "declaration/entry/dialog_painters.hpp"
#include "declaration/entry/exempt_windows.hpp"
#include "declaration/entry/field_checks.hpp"
#include "declaration/grids/grid_checks.hpp"
#include "declaration/grids/grid_routines.hpp"
#include "declaration/calc/declaration_check.hpp"
#include "declaration/grids/matrix_routines.hpp"
#include "declaration/entry/income_screen_routines.hpp"
#include "declaration/entry/mtela1_frames.hpp"
#include "declaration/calc/balance_page.hpp"
#include "declaration/calc/declaration_helpers.hpp"
#include "declaration/calc/detail_lists.hpp"
#include "declaration/calc/rural_activity.hpp"
#include "declaration/calc/rural_page.hpp"
#include "declaration/calc/rural_results.hpp"
#include "declaration/calc/variable_income.hpp"
#include "gains/gain_list.hpp"
#include "gains/gain_routines.hpp"
#include "office/calendar.hpp"
#include "office/billing.hpp"
#include "office/bookkeeping.hpp"
#include "office/email.hpp"
#include "office/letters_editor.hpp"
#include "printing/printing_routines.hpp"
#include "printing/report_routines.hpp"
#include "printing/office_report_routines.hpp"
#include "declaration/loop/declaration_io_routines.hpp"
#include "declaration/loop/declara.hpp"
#include "office/office_routines.hpp"
#include "shell/taxpayer_selection.hpp"
#include "tables/folders.hpp"
#include "tables/pick_lists.hpp"
#include "transfer/transfer_routines.hpp"

namespace qv::shell {

void register_system_routines() {
    common::ensure_common_functions();
    console::register_console_routines();
    declaration::register_calculator_call();
    gains::register_gain_routines();
    gains::register_gain_screen_routines();
    declaration::register_variable_income_routines();
    declaration::register_rural_result_routines();
    declaration::register_rural_page_routines();
    declaration::register_rural_activity_routines();
    declaration::register_balance_page_routines();
    declaration::register_detail_list_routines();
    declaration::register_declaration_helper_routines();
    printing::register_printing_routines();
    printing::register_report_routines();
    darf::register_darf_routines();
    printing::register_office_report_routines();
    office::register_calendar_routines();
    office::register_email_routines();
    office::register_letter_routines();
    office::register_billing_routines();
    office::register_bookkeeping_routines();
    declaration::register_calc_routines();
    declaration::register_declaration_io_routines();
    declaration::register_declaration_loop_routines();
    office::register_office_routines();
    tables::register_folder_routines();
    declaration::register_field_check_routines();
    declaration::register_check_routines();
    declaration::grids::register_grid_check_routines();
    declaration::grids::register_matrix_routines();
    declaration::register_income_screen_routines();
    declaration::register_dialog_frame_routines();
    transfer::register_transfer_routines();
    declaration::grids::register_grid_routines();
    declaration::register_dialog_painter_routines();
    declaration::register_exempt_window_routines();
    tables::register_pick_list_routines();
    register_selection_routines();
}

}  // namespace qv::shell
