// SELITEMIMP: one item of the print-selection bar.
#include <algorithm>
#include <string>
#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/option_bar.hpp"
#include "common/windows.hpp"
#include "declaration/entry/dialog_painters.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/workspace.hpp"
#include "runtime/core/functions.hpp"
#include "shell/main_menu.hpp"
#include "shell/menu_features.hpp"
#include "shell/print_lists.hpp"
#include "tables/locks.hpp"
#include "tables/state.hpp"

namespace qv::shell {

using rt::operator""_cp;

namespace {

constexpr int kListWindow = 4;
const char* const kChoiceNames[] = {"QUEIMP", "QUEMOD", "QUEPAG", "QUECON"};
const common::Global kQueimp("QUEIMP");
const common::Global kAltur("ALTUR");
const common::Global kLarg("LARG");
const common::Global kQuemostra("QUEMOSTRA");
const common::Global kPosver("POSVER");
const common::Global kNroVias("NRO_VIAS");

// The caption list of choice n (1 what, 2 paper, 3 pages, 4 taxpayers) and
// how many of its entries the current document allows.
std::pair<std::string, int> choice_list(int n) {
    const int queimp = std::clamp(kQueimp.integer(1), 1, 15);
    const auto limit = [&](const char* table) {
        return static_cast<int>(rt::variables().exists(table) ? rt::variables().get(table).at(queimp).as_number() : 1);
    };
    switch (n) {
        case 1: return {"ALISTIMP", list_size("ALISTIMP")};
        case 2: {
            const char* list = queimp == 5 ? "MODO1OP" : queimp == 12 ? "MODOETI" : queimp == 14 ? "MODETID" : "NOMCONT";
            return {list, std::min(list_size(list), limit("AQUEIT2"))};
        }
        case 3: {
            if (queimp == 3) return {"NOMEPRUR", list_size("NOMEPRUR")};
            if (queimp <= 4) return {"NOMEPAGR", std::min(list_size("NOMEPAGR"), limit("AQUEIT3"))};
            return {"MODOUNI", 1};
        }
        default: return {"NOMECON", list_size("NOMECON")};
    }
}

// The choice window: the print menu of the caption list of choice n.
void draw_choice_list(int n) {
    const auto [list, count] = choice_list(n);
    kQuemostra.set(rt::Value(list));
    declaration::MTELA13(2, count);
}

void save_print_choices() {
    if (!open_terminal_config()) return;
    rt::table::Table* config = tables::ws().table(42);
    if (!tables::REC_LOCK(5)) return;
    for (const char* name : {"QUEIMP", "QUEMOD", "QUEPAG", "QUECON", "COMPAGA", "IMPBEM", "IMPBAL", "MOSIMP",
                             "MOSTEL", "MOSCPF", "MARESQ", "INIFOL", "LINETI", "NRO_LIN"}) {
        if (!rt::variables().exists(name) || config->field_index(name) < 0) continue;
        config->put(name, rt::variables().get(name));
    }
    config->unlock();
}

std::string choose(int n) {
    const common::Global var(kChoiceNames[n - 1]);
    draw_choice_list(n);
    kPosver.set(rt::Value(std::max(var.integer(1), 1)));
    const int chosen = common::ESC_OPCAO(kListWindow, kAltur.integer(1) - 1, 1, kLarg.integer(1), 0, 1, 1);
    if (chosen == 0) {
        common::FECHAJAN(kListWindow);
        return {};
    }
    var.set(rt::Value(chosen));
    return list_entry(kQuemostra.text(choice_list(n).first), chosen);
}

void configure_nao_dos() {
    common::Global("MOSIMP").set(common::AVISOSN("Mostre antes de imprimir as Impressoras Existentes", 2));
    common::Global("MOSTEL").set(common::AVISOSN("Mostre antes de imprimir no video o texto a ser impresso", 2));
    common::Global("MOSCPF").set(common::AVISOSN("Crie uma copia do arquivo TXT com o CPF do arquivo impresso?", 2));
}

std::string ask_copies() {
    if (!kNroVias.exists()) kNroVias.set(rt::Value(1));
    common::MensArgs args;
    args.name = "M->NRO_VIAS";
    args.picture = "@ 9";
    common::MENS(14, "Informe o nro vias (vezes) a imprimir", args);
    if (kNroVias.integer(0) == 0) kNroVias.set(rt::Value(1));
    return rt::STR(kNroVias.integer(1), 1);
}

}  // namespace

std::string SELITEMIMP(int id) {
    const int n = id - 40;
    common::Global("PRIM_ETI").set(rt::Value(true));
    std::string answer;
    switch (n) {
        case 1: case 2: case 3: case 4:
            answer = choose(n);
            if (answer.empty()) return {};
            break;
        case 5:
            rt::call_routine("CONFIMP");
            return {};
        case 6: configure_nao_dos(); break;
        case 7: return ask_copies();
        default: return {};
    }
    save_print_choices();
    common::FECHAJAN(kListWindow);
    return answer;
}

}  // namespace qv::shell
