// MAIN, ROTSAIDA and ENCHEAG.
#include "shell/main_program.hpp"
#include "tables/settings_records.hpp"

#include "console/message_box.hpp"
#include "shell/routine_registry.hpp"

#include <exception>

#include "common/colours.hpp"
#include "common/fault_report.hpp"
#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/startup.hpp"
#include "common/text_helpers.hpp"
#include "common/windows.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/ui/alert.hpp"
#include "runtime/ui/menu.hpp"
#include "shell/main_menu.hpp"
#include "shell/menu_features.hpp"
#include "shell/startup_steps.hpp"
#include "tables/locks.hpp"
#include "tables/open_failure.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"
#include "tables/terminal_mark.hpp"

namespace qv::shell {
namespace {

using common::Global;
using rt::operator""_cp;
namespace tb = rt::table;

bool& leaving() {
    static bool flag = false;
    return flag;
}

std::string text_of(const char* name) { return rt::ALLTRIM(Global{name}.text()); }

constexpr const char* kSavedFields[] = {"NOMEAG", "ROTADOANO", "ROTARECEI", "ROTAJAVA", "ULT_CPF", "DIRTRAB",
                                        "OPTTRAN", "SOESTE",  "ULTBACK",   "OPCIRPF",  "ENV_STAT", "MARESQ",
                                        "INIFOL", "LINETI",  "NRO_LIN",   "OPC_TRAN", "XDRIVE"};

// Writes the settings changed in memory back to the terminal's CONFIG record.
void save_config() {
    try {
        if (!tables::ABERTURA(42)) return;
        tb::Table* t = tables::ws().table(42);
        if (!t || !t->seek(rt::Value(text_of("NUSU")))) return;
        tables::ws().select(42);
        if (!tables::REC_LOCK(5)) return;
        for (const char* name : kSavedFields)
            if (t->field_index(name) >= 0) t->put(name, Global{name}.value());
        t->commit();
        t->unlock();
    } catch (const tb::TableError&) {
        // The record keeps its old values, as when it cannot be locked.
    }
}

// The "está em uso" refusal of a second copy on the same terminal.
int refuse_second_copy() {
    common::AVISOSN("O programa QV2012 no terminal " + text_of("NUSU") + " está em uso"_cp, 0);
    rt::CLS();
    return 1;
}

// A start-up failure that is not another copy: said, and the program ends
// having changed nothing.
int stop_with(const std::string& text) {
    common::AVISOSN(text.empty() ? "Arquivos do programa não puderam ser abertos"_cp : text, 0);
    rt::CLS();
    return 1;
}

// The start-up steps up to the open tables; an exit code when the program
// must end here.
std::optional<int> start(std::optional<std::string> terminal) {
    register_system_routines();
    startup::create_program_variables();
    Global{"NUSU"}.set(rt::Value(common::INICIOSIS(std::move(terminal))));
    if (const auto fault = common::program_folder_fault()) return stop_with(*fault);
    common::build_colour_strings();
    startup::build_calendar();
    if (!tables::CONFIGURA(text_of("NUSU"))) return 1;
    startup::load_config_variables();
    tables::ws().select(42);
    startup::load_define_variables();
    if (!startup::check_data_folder()) {
        rt::CLS();
        return 0;
    }
    startup::settle_folders();
    startup::printer_variables();
    CREATE_PRINT_LISTS();
    common::FECHAJAN(2);
    if (!tables::terminal_mark().take(tables::program_folder(), tables::terminal())) return refuse_second_copy();
    if (!tables::open_at_start(0)) {
        // Only another copy holding the folder list means "in use"; any
        // other table still held by another terminal is named.
        if (tables::failed_in_use() &&
            rt::UPPER(tb::stem_of(tables::last_open_failure().file)) == "DIRET" + tables::terminal())
            return refuse_second_copy();
        return stop_with(tables::open_failure_text());
    }
    startup::mark_current_folder();
    return std::nullopt;
}

void load_agenda() {
    common::FECHAJAN(10);
    common::AVISO(rt::SPACE(80));
    Global{"AAGEN"}.set(rt::Value::array());
    int count = 0;
    if (tables::open_at_start(72)) count = ENCHEAG();
    else common::AVISOSN(agenda_failure(), 0);
    Global{"NTEMAGEN"}.set(rt::Value(count));
}

void run_menu() {
    auto menu = CREATEMAINMENU(text_of("CORMENU"));
    tables::ABERTURA(9);
    common::FECHAJAN(10);
    // The menu stands on the same background as after any full-screen
    // routine, so that each item gives back the screen it found.
    repaint_background();
    Global{"TELA"}.set(rt::Value(6));
    Global{"NPOSMENU"}.set(rt::Value(1));
    leaving() = false;
    while (!leaving()) {
        // The status line is the menu's: a text an item left there would
        // show again inside the next item chosen.
        common::AVISO(rt::SPACE(80));
        rt::MenuModalOptions options;
        options.bar = std::max(1, Global{"NPOSMENU"}.integer(1));
        options.msg_row = 24;
        rt::menu_modal(*menu, options);
    }
}

// The tables are closed first: a fault of too many open files leaves no
// descriptor for the log until they are.
void report_fault(std::string_view what) {
    try {
        tables::ws().close_all();
    } catch (...) {
    }
    common::report_fault(what);
}

}  // namespace

bool leaving_requested() { return leaving(); }

int MAIN(std::optional<std::string> terminal) {
    // The terminal stays marked in use until this copy ends.
    struct ReleaseMark {
        ~ReleaseMark() { tables::terminal_mark().release(); }
    } release_mark;
    try {
        if (auto code = start(std::move(terminal))) return *code;
        load_agenda();
        run_menu();
        return 0;
    } catch (const std::exception& e) {
        report_fault(e.what());
        return 1;
    } catch (...) {
        report_fault("unknown fault");
        return 1;
    }
}

bool ROTSAIDA(int id) {
    if (id == 91 && common::AVISOSN("Confirma saída do programa?"_cp, 2).as_string() == "N") return false;
    save_config();
    tables::ws().close_all();
    rt::CLS();
    leaving() = true;
    return true;
}

int ENCHEAG() {
    tb::Table* t = tables::ws().table(72);
    const rt::Value list = Global{"AAGEN"}.value().is_array() ? Global{"AAGEN"}.value() : rt::Value::array();
    if (!Global{"AAGEN"}.value().is_array()) Global{"AAGEN"}.set(list);
    if (!t) return 0;
    const std::string user = rt::RTRIM(Global{"NOMEAG"}.text());
    const rt::Date today = rt::DATE();
    const std::string time = rt::TIME();
    const std::string now = time.substr(0, 2) + time.substr(3, 2);
    int count = 0;
    for (; !t->eof(); t->skip(1)) {
        if (!t->get("AVISAG").as_bool()) continue;
        if (rt::RTRIM(t->get("NOMEAG").as_string()) != user) continue;
        if (t->get("DATAG").as_date() != today) continue;
        const rt::Value hour = t->get("HORAG");
        if (rt::compare(hour, rt::Value(now)) != std::partial_ordering::greater) continue;
        rt::Value entry = rt::Value::array();
        entry.as_array()->push_back(hour);
        entry.as_array()->push_back(t->get("ANOTAG"));
        list.as_array()->push_back(entry);
        ++count;
    }
    return count;
}

}  // namespace qv::shell
