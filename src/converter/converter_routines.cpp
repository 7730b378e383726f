#include "converter/converter_routines.hpp"
#include "converter/payroll_posting.hpp"

#include <mutex>
#include <span>
#include <string>

#include "converter/converter_screens.hpp"
#include "converter/destination_tables.hpp"
#include "converter/disk_import.hpp"
#include "converter/folder_form.hpp"
#include "converter/last_year_import.hpp"
#include "common/common_functions.hpp"
#include "common/globals.hpp"
#include "console/message_box.hpp"
#include "tables/folders.hpp"
#include "tables/pick_lists.hpp"
#include "converter/name_grid.hpp"
#include "runtime/core/functions.hpp"

namespace qv::converter {

namespace {

using Args = std::span<const rt::Value>;

int number(Args a, std::size_t i, int fallback = 0) {
    return i < a.size() && a[i].is_number() ? static_cast<int>(a[i].as_number()) : fallback;
}

std::string text(Args a, std::size_t i) { return i < a.size() && a[i].is_string() ? a[i].as_string() : std::string(); }

// A routine taking one number and returning nothing.
void with_number(const char* name, void (*fn)(int)) {
    rt::register_function(name, [fn](Args a) {
        fn(number(a, 0));
        return rt::Value();
    });
}

}  // namespace

void register_converter_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        // The routines of the subsystems the converter shares with the main
        // program.
        common::ensure_common_functions();
        console::register_console_routines();
        tables::register_folder_routines();
        tables::register_pick_list_routines();
        // The shared modules call these; only the main program has them.
        for (const char* name : {"DEL_GP", "MOSTR_BEM", "MTELAVER", "FI13_07", "FI13_08"})
            rt::register_function(name, [](Args) { return rt::Value(); });
        with_number("MTELA1", MTELA1);
        rt::register_function("MTELA3", [](Args a) {
            MTELA3(number(a, 0), number(a, 1), number(a, 2));
            return rt::Value();
        });
        with_number("EDITA", EDITA);
        with_number("CONVDISCO", CONVDISCO);
        with_number("ABRE_DISCO", ABRE_DISCO);
        rt::register_function("MOSTRA", [](Args a) {
            MOSTRA(number(a, 0), number(a, 1), number(a, 2), number(a, 3), number(a, 4));
            return rt::Value();
        });
        rt::register_function("PEGAOSDIR", [](Args a) { return rt::Value(PEGAOSDIR(number(a, 0, 1))); });
        rt::register_function("AJUST_DIR", [](Args) {
            AJUST_DIR();
            return rt::Value();
        });
        rt::register_function("REORG", [](Args a) {
            REORG(text(a, 0), number(a, 1, 1));
            return rt::Value();
        });
        // Menu ids 1 and 2 call the driver without arguments: the menu's
        // choice says which import it is.
        rt::register_function("CONVIRHELP", [](Args a) {
            CONVIRHELP(number(a, 0, common::Global{"OPCAO_1"}.integer(1)));
            return rt::Value();
        });
        rt::register_function("VE_IDADE", [](Args) { return rt::Value(VE_IDADE()); });
        rt::register_function("CONVAUX", [](Args) {
            CONVAUX();
            return rt::Value();
        });
        rt::register_function("CRIA_BASE", [](Args) { return rt::Value(CRIA_BASE()); });
        rt::register_function("CONVFOLHA", [](Args) {
            CONVFOLHA();
            return rt::Value();
        });
        rt::register_function("IMPORTA", [](Args) { return rt::Value(IMPORTA()); });
        rt::register_function("CPFCNPJ", [](Args a) { return rt::Value(CPFCNPJ(text(a, 0))); });
        rt::register_function("PEGACOM", [](Args) {
            PEGACOM();
            return rt::Value();
        });
    });
}

}  // namespace qv::converter
