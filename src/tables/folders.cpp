#include "tables/folders.hpp"
#include "tables/settings_records.hpp"

#include <filesystem>
#include <mutex>
#include <span>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/paths.hpp"
#include "common/windows.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/kept_mappings.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/schema_upgrade.hpp"
#include "tables/state.hpp"

namespace qv::tables {
namespace {

using namespace rt::literals;
namespace fs = std::filesystem;
namespace tb = rt::table;

const common::Global kDiretor{"DIRETOR"};
const common::Global kRotadoano{"ROTADOANO"};
const common::Global kRota{"ROTA"};
const common::Global kCpf{"CPF"};
const common::Global kNomecontr{"NOMECONTR"};
const common::Global kDirorig{"DIRORIG"};
const common::Global kDescrtatus{"DESCRTATUS"};
const common::Global kTamCalc{"TAM_CALC"};

std::function<void()>& status_pick() {
    static std::function<void()> pick;
    return pick;
}

// Clears the mark of every record but the current one.
void clear_other_marks(tb::Table& list) {
    const std::uint32_t here = list.recno();
    for (list.go_top(); !list.eof(); list.skip(1)) {
        if (list.recno() == here) continue;
        if (rt::ALLTRIM(list.get("SELEC").as_string()) != "S") continue;
        if (REC_LOCK(5)) {
            list.put("SELEC", rt::Value("N"));
            list.unlock();
        }
    }
    list.go_to(here);
}

// Mode 1: the current record becomes the selected folder. False when it
// could not be locked or its folder is missing and not created.
bool select_current(tb::Table& list) {
    const bool ok = list.eof() ? ADD_REC(5) : REC_LOCK(5);
    if (!ok) return false;
    list.put("SELEC", rt::Value("S"));
    std::string name = rt::ALLTRIM(list.get("DIRETOR").as_string());
    if (name.empty()) {
        name = without_separator(program_folder());
        list.put("DIRETOR", rt::Value(name));
    } else if (!common::VERDIR(name) && !CRI_NDIR(name, " QV2012")) {
        list.unlock();
        return false;
    }
    list.unlock();
    kDiretor.set(rt::Value(name));
    kRotadoano.set(rt::Value(name));
    kRota.set(rt::Value(name));
    set_client_folder(name);
    CORRECAO(0);
    return true;
}

void store_folder_in_config() {
    if (!ABERTURA(42)) return;
    tb::Table* config = ws().table(42);
    if (!config || !config->seek(rt::Value(terminal()))) return;
    if (REC_LOCK(5)) {
        config->put("ROTADOANO", rt::Value(kRotadoano.text()));
        config->unlock();
    }
}

bool same_folder(std::string_view a, std::string_view b) {
    return rt::UPPER(with_separator(a)) == rt::UPPER(with_separator(b));
}

// Writes a text at the current entry window's row + 1, column + 27.
void show_in_entry_window(const std::string& text) {
    auto& vars = rt::variables();
    if (!vars.exists("ALJ") || !vars.exists("ACJ") || !vars.exists("NT")) return;
    const auto nt = static_cast<std::size_t>(common::number_of(vars.get("NT")));
    const rt::Value& alj = vars.get("ALJ");
    const rt::Value& acj = vars.get("ACJ");
    if (!alj.is_array() || !acj.is_array() || nt == 0) return;
    rt::at_say(static_cast<int>(alj.at(nt).as_number()) + 1, static_cast<int>(acj.at(nt).as_number()) + 27, text);
}

}  // namespace

void set_status_pick_list(std::function<void()> pick) { status_pick() = std::move(pick); }

bool TROCASIM(int mode) {
    tb::Table* list = ws().table(50);
    if (!list) return false;
    ws().select(50);
    if (mode == 1 && !list->eof()) {
        // A folder that is gone and not to be created again leaves the
        // selection as it was.
        const std::string name = rt::ALLTRIM(list->get("DIRETOR").as_string());
        if (!name.empty() && !common::VERDIR(name) && !CRI_NDIR(name, " QV2012")) return false;
    }
    clear_other_marks(*list);
    if (mode == 1 && !select_current(*list)) return false;
    MUDADIR(client_folder());
    store_folder_in_config();
    ws().select(50);
    return true;
}

bool MUDADIR(std::string_view folder) {
    if (!CRI_NDIR(folder, " QV2012")) return false;
    const std::string dir = with_separator(folder);
    const bool opened =
        ABREARQ(9, false, dir + "IMP0912", "CPF", "UPPER(NOMECONTR)", dir + "IMP0912B", "ESTATUS", dir + "IMP0912C");
    // The tables of a folder left (its register closed just now among them)
    // stay mapped no longer than they stay open.
    static std::string current;
    if (dir != current) {
        rt::table::let_go_of_kept_mappings();
        current = dir;
    }
    if (!opened) return false;
    tb::Table* reg = ws().table(9);
    if (!reg) return false;
    if (kCpf.exists() && reg->seek(kCpf.value())) kNomecontr.set(reg->get("NOMECONTR"));
    else reg->go_top();
    if (reg->order_count() >= 2) reg->set_order(2);
    common::FECHAJAN(10);
    reset_message_width();
    return true;
}

bool CRI_NDIR(std::string_view folder, std::string_view label) {
    const std::string name = without_separator(folder);
    if (common::VERDIR(name)) return true;
    const rt::Value answer = common::AVISOSN("Diretório novo para "_cp + std::string(label) + "? Cria-o ?", 2);
    if (answer.as_string() == "N") return false;
    const fs::path path = common::fs_path(common::to_local_path(name));
    std::error_code ec;
    if (fs::create_directory(path, ec)) return true;
    // Level by level; the levels that exist already are no failure.
    fs::path partial;
    for (const auto& part : path) {
        partial /= part;
        fs::create_directory(partial, ec);
    }
    if (fs::is_directory(path, ec)) return true;
    common::AVISOSN("Problemas ao criar a pasta " + std::string(folder), 0);
    return false;
}

bool BUSCA_OUTRO(std::string_view variable, int order, int mode) {
    if (!ABERTURA(50)) return false;
    tb::Table* list = ws().table(50);
    const std::string origin = client_folder();
    kDirorig.set(rt::Value(origin));
    const std::string var = rt::VarStore::normalize(variable);
    const rt::Value wanted = rt::variables().exists(var) ? rt::variables().get(var) : rt::Value();
    const bool spouse = var == "CPFCONJU";
    for (list->go_top(); !list->eof(); list->skip(1)) {
        const std::string folder = with_separator(rt::ALLTRIM(list->get("DIRETOR").as_string()));
        if (same_folder(folder, origin) || !tb::file_exists(os_name(folder + "IMP0912.DBF"))) continue;
        if (!MUDADIR(folder)) continue;
        tb::Table* reg = ws().table(9);
        reg->set_order(order == 2 ? 2 : 1);
        if (!reg->seek(wanted, order == 2)) continue;
        if (mode == 1) kNomecontr.set(reg->get("NOMECONTR"));
        rt::variables().set(var, reg->get(order == 2 ? "NOMECONTR" : "CPF"));
        set_client_folder(folder);
        if (!spouse) {
            ws().select(50);
            TROCASIM(mode);
        } else {
            MUDADIR(folder);
        }
        ws().select(9);
        reg = ws().table(9);
        if (reg) {
            reg->set_order(order == 2 ? 2 : 1);
            reg->seek(rt::variables().get(var), order == 2);
        }
        return true;
    }
    MUDADIR(origin);
    set_client_folder(origin);
    if (mode == 1) kNomecontr.set(rt::Value(rt::SPACE(53)));
    if (tb::Table* reg = ws().table(9); reg && reg->order() == 2) reg->set_order(1);
    return false;
}

bool select_listed_folder(std::string_view folder) {
    if (same_folder(folder, client_folder())) return true;
    if (!ABERTURA(50)) return false;
    tb::Table* list = ws().table(50);
    for (list->go_top(); !list->eof(); list->skip(1)) {
        const std::string listed = with_separator(rt::ALLTRIM(list->get("DIRETOR").as_string()));
        if (!same_folder(listed, folder)) continue;
        if (!tb::file_exists(os_name(listed + "IMP0912.DBF"))) return false;
        const bool selected = TROCASIM(1);
        ws().select(9);
        return selected;
    }
    return false;
}

rt::Value VE_STAT(const rt::Value& code, int mode) {
    set_show_messages(false);
    ABERTURA(66);
    tb::Table* status = ws().table(66);
    bool found = false;
    std::string description = rt::SPACE(13);
    if (status) {
        ws().select(66);
        found = status->seek(rt::Value(common::number_of(code)));
        if (found) description = status->get("DESCRICAO").as_string();
    }
    // An unknown code opens the pick list, which leaves the status table on
    // the chosen status; with no pick list the code stays refused.
    const auto pick = [&] {
        if (found) return true;
        if (!status_pick()) {
            common::MENS(0, "Estatus " + rt::STRZERO(common::number_of(code), 2) + " não cadastrado"_cp);
            return false;
        }
        status_pick()();
        if (tb::Table* t = ws().table(66); t && !t->eof()) description = t->get("DESCRICAO").as_string();
        return true;
    };
    switch (mode) {
        case 1:
            pick();
            show_in_entry_window(description);
            return rt::Value(true);
        case 5:
            return rt::Value(pick());
        case 2:
            kDescrtatus.set(rt::Value(description));
            show_in_entry_window(description);
            ws().select(31);
            return rt::Value(true);
        case 3:
        case 4:
            kDescrtatus.set(rt::Value(description));
            ws().select(mode == 3 ? 9 : 29);
            return rt::Value(description);
        default:
            return rt::Value(true);
    }
}

void MOSTRADOR(int n, int where) {
    std::string bar = kTamCalc.text();
    if (bar.size() < 45) bar += std::string(static_cast<std::size_t>(std::max(n, 0)), '\xB0');
    kTamCalc.set(rt::Value(bar));
    if (where == 1) common::ESCRLCOL(3, 5, 26, bar);
    else common::ESCRLCOL(10, 2, 1, bar);
}

void register_folder_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        rt::register_function("CRIACOR", [](std::span<const rt::Value>) {
            CRIACOR();
            return rt::Value();
        });
        rt::register_function("VE_STAT", [](std::span<const rt::Value> args) {
            const rt::Value code = args.empty() ? rt::Value(0) : args[0];
            const int mode = args.size() > 1 ? static_cast<int>(common::number_of(args[1])) : 0;
            return VE_STAT(code, mode);
        });
    });
}

}  // namespace qv::tables
