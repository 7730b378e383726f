// MENUSELECT: the handler of every main-menu item.
#include <string>

#include "common/globals.hpp"
#include "common/windows.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/workspace.hpp"
#include "shell/dispatcher.hpp"
#include "shell/main_menu.hpp"
#include "shell/main_program.hpp"
#include "shell/menu_features.hpp"
#include "shell/startup_steps.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::shell {

namespace {

const common::Global kOpcao1("OPCAO_1");
const common::Global kNposmenu("NPOSMENU");
const common::Global kPrimEti("PRIM_ETI");
const common::Global kQueimp("QUEIMP");
const common::Global kQuemod("QUEMOD");
const common::Global kQuepag("QUEPAG");
const common::Global kCorEnchC("COR_ENCH_C");

// The bar the menu reopens on: the id's first digit, one less above 2
// (there is no bar of ids 3x); the ways out reopen on the first bar.
int bar_of(int id) {
    if (id == 18 || id == 91) return 1;
    const int digit = id / 10;
    return digit > 2 ? digit - 1 : digit;
}

// The options bar's routines, each run with the settings tables open.
const char* option_routine(int id) {
    switch (id) {
        case 21: return "SELAREA";
        case 22: return "TRANOME";
        case 24: return "MODCOR";
        case 25: return "VAL_DECL";
        case 26: return "TIP_GRAV";
        case 27: return "MUDA_ESTATUS";
        case 28: return "CAD_UFIR";
        case 29: return "REINDEXA";
        case 30: return "MUDA_CPF";
        case 31: return "TRANF_PARTE";
        case 32: return "EXPORTA";
        case 33: return "BOLETO";
        case 34: return "GERA_EMAIL";
        default: return nullptr;
    }
}

void close_option_tables() {
    tables::ws().close(42);
    tables::ws().close(43);
}

void run_option(int id) {
    if (has_menu_feature(id)) {
        tables::ABERTURA(43);
        open_terminal_config();
        run_menu_feature(id);
        close_option_tables();
        return;
    }
    const char* name = option_routine(id);
    if (!name) return;
    tables::ABERTURA(43);
    open_terminal_config();
    switch (id) {
        case 21:
        case 22: rt::call_routine(name, {rt::Value(1)}); break;
        case 24: rt::call_routine(name, {rt::Value(true)}); break;
        case 27:
            tables::ABERTURA(9);
            rt::call_routine(name);
            break;
        case 29:
            rt::call_routine(name);
            tables::ABERTURA(43);
            open_terminal_config();
            break;
        default: rt::call_routine(name); break;
    }
    close_option_tables();
}

// Ids 41-47: the print selection; the chosen item's caption shows the choice.
void print_selection(rt::MenuItem& item) {
    const int id = item.id;
    const std::string answer = SELITEMIMP(id);
    if (id >= 41 && id <= 44) {
        if (!answer.empty()) {
            item.caption = "&" + std::to_string(id % 10) + "-" + answer;
            const int queimp = kQueimp.integer(1);
            const int max_mod = rt::variables().exists("AQUEIT2")
                                    ? static_cast<int>(rt::variables().get("AQUEIT2").at(queimp).as_number())
                                    : 1;
            const int max_pag = rt::variables().exists("AQUEIT3")
                                    ? static_cast<int>(rt::variables().get("AQUEIT3").at(queimp).as_number())
                                    : 1;
            if (kQuemod.integer(1) > max_mod) kQuemod.set(rt::Value(max_mod));
            if (kQuepag.integer(1) > max_pag) kQuepag.set(rt::Value(max_pag));
        }
        MONTA_ITENS();
        // Paper and pages follow the document: their items show the values
        // now in force, never those of the document chosen before.
        if (!answer.empty() && main_menu())
            for (const int other : {42, 43})
                if (rt::MenuItem* shown = main_menu()->find(other))
                    shown->caption = rt::variables().get("ITEM" + std::to_string(other % 10)).as_string();
    } else if (id == 47) {
        item.caption = "&7-Vias " + answer;
    }
}

}  // namespace

void repaint_background() {
    common::ENCHETELA(" ", kCorEnchC.text("W+/B"));
    rt::call_routine("MTELA1", {rt::Value(9)});
}

void MENUSELECT(rt::MenuItem& item) {
    const int id = item.id;
    kOpcao1.set(rt::Value(id));
    kNposmenu.set(rt::Value(bar_of(id)));
    // A work folder removed or made read-only since it was chosen must not
    // end the program when a declaration's work copies are made there.
    startup::settle_work_folder();

    if (id >= 21 && id <= 36) {
        run_option(id);
        return;
    }
    if (run_menu_feature(id)) return;

    switch (id) {
        case 11:
        case 12:
        case 13:
        case 51: rt::call_routine("DECLARA"); break;
        case 14: agenda_menu(); break;
        case 15: rt::call_routine("EDITA", {rt::Value(40)}); break;
        case 16: rt::call_routine("EXCLUI"); break;
        case 17: start_converter(); break;
        case 18:
        case 91: ROTSAIDA(id); break;
        case 41: case 42: case 43: case 44: case 45: case 46: case 47: print_selection(item); break;
        case 52: print_nao_dos(); break;
        case 53:
            kPrimEti.set(rt::Value(true));
            rt::call_routine("EDITEXT");
            break;
        case 61: case 62: case 63: case 64: case 65: case 66: case 67: case 68: transfer_option(item); break;
        case 71: case 72: case 73: case 74: case 75: case 76: case 77: case 78:
            if (backup_option(item) && id >= 73 && id <= 76) repaint_background();
            break;
        default: break;
    }
}

void MENUSELECT(int id) {
    if (rt::TopBarMenu* menu = main_menu())
        if (rt::MenuItem* item = menu->find(id)) {
            MENUSELECT(*item);
            return;
        }
    rt::MenuItem stand_in;
    stand_in.id = id;
    MENUSELECT(stand_in);
}

}  // namespace qv::shell
