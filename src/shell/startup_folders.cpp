// The data and work folders at start-up and the folder list.
#include <filesystem>
#include <fstream>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/paths.hpp"
#include "common/startup.hpp"
#include "common/windows.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"
#include "shell/startup_steps.hpp"
#include "tables/folders.hpp"
#include "tables/locks.hpp"
#include "tables/state.hpp"

namespace qv::shell::startup {
namespace {

using common::Global;
using rt::operator""_cp;
namespace tb = rt::table;

std::string text_of(const char* name) { return rt::ALLTRIM(Global{name}.text()); }
void set(std::string_view name, rt::Value v) { Global{name}.set(std::move(v)); }

bool same_folder(std::string_view a, std::string_view b) {
    return rt::UPPER(common::BAR_FORA(a)) == rt::UPPER(common::BAR_FORA(b));
}

}  // namespace

bool check_data_folder() {
    set("ROTA", text_of("ROTADEF"));
    const std::string folder = text_of("ROTADOANO");
    if (common::VERDIR(folder)) return true;
    const std::vector<std::string> question{"A Pasta "_cp + folder + " não foi encontrada!"_cp,
                                            "Sim - Assume: " + text_of("ROTA"), "Não - Sai do programa!"_cp};
    if (common::AVISOSN(question, 2).as_string() == "N") return false;
    set("ROTADOANO", text_of("ROTADEF"));
    tb::Table* config = tables::ws().table(42);
    if (config) {
        tables::ws().select(42);
        if (tables::REC_LOCK(5)) {
            config->put("ROTADOANO", rt::Value(text_of("ROTADOANO")));
            config->unlock();
        }
    }
    return true;
}

// A work folder that is gone or where nothing can be written (a read-only
// mount, a share without the right) gives way to the data folder, in memory
// only: the declaration's work copies are made there.
void settle_work_folder() {
    if (!common::folder_writable(text_of("DIRTRAB"))) set("DIRTRAB", text_of("ROTA"));
    set("LOCTRAB", common::BAR_DIR(text_of("DIRTRAB")));
}

void settle_folders() {
    set("ROTA", text_of("ROTADOANO"));
    set("LOCARQ", common::BAR_DIR(text_of("ROTADOANO")));
    settle_work_folder();
    set("DIRORIG", Global{"LOCARQ"}.value());
    common::REDFATR(0, 1, Global{"COR_TEL2"}.integer());
    common::REDFATR(0, 2, Global{"COR_TEL1"}.integer());
    common::REDFATR(0, 3, Global{"COR_TEL2"}.integer());
    rt::SETCOLOR(text_of("CORNORM"));
}

void mark_current_folder() {
    const std::string current = common::BAR_DIR(text_of("ROTADOANO"));
    set("LOCARQ", current);
    const std::string name = common::BAR_FORA(current);
    tb::Table* list = tables::ws().table(50);
    if (!list) return;
    tables::ws().select(50);
    list->go_top();
    while (!list->eof()) {
        if (same_folder(rt::ALLTRIM(list->get("DIRETOR").as_string()), name)) {
            if (list->get("SELEC").as_string() != "S") tables::TROCASIM(1);
            return;
        }
        list->skip(1);
    }
    if (!tables::ADD_REC(5)) return;
    list->put("SELEC", rt::Value("S"));
    list->put("DIRETOR", rt::Value(rt::PADR(name, 80)));
    list->unlock();
    // The folder just added is the selected one: the others lose their mark.
    tables::TROCASIM(1);
}

}  // namespace qv::shell::startup
