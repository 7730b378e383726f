#include "office/direct_copy.hpp"

#include <filesystem>
#include <string>
#include <vector>

#include "common/avisosn.hpp"
#include "common/messages.hpp"
#include "common/paths.hpp"
#include "common/windows.hpp"
#include "office/archiver.hpp"
#include "office/folder_pair.hpp"
#include "office/folder_tables.hpp"
#include "office/table_files.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "tables/folders.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"
#include "tables/taxpayer_mark.hpp"

namespace qv::office {

using rt::operator""_cp;
namespace fs = std::filesystem;

namespace {

void stopped_unfinished() { common::AVISOSN("Cópia encerrada sem terminar."_cp, 0); }

// Opens the table, asking to wait while another terminal holds it; the
// question goes by itself once the table is free. False when the user
// gives up.
bool open_waiting(const std::string& folder, int code, bool exclusive) {
    const auto opened = [&] { return open_folder_table(folder, code, code, exclusive); };
    const std::vector<std::string> question{"O arquivo " + table_name(code) +
                                            ".DBF está sendo usado em algum terminal. Aguarde?"_cp};
    while (!opened()) {
        const int chosen = common::wait_alert(question, common::avisosn_buttons(2), opened);
        if (chosen == -1) return true;
        if (chosen != 1) {
            stopped_unfinished();
            return false;
        }
    }
    return true;
}

// Waits for room on the destination's disk; false when the user abandons.
bool room_for(const std::string& destination, double& needed, double& free_space, double this_table) {
    while (free_space <= needed) {
        common::MensArgs args;
        args.row = 12;
        args.name = "TA";
        const std::string answer = common::MENS(12, "Espaço insuficente no Disco. (T)roque ou (A)bandona"_cp, args).as_string();
        if (answer != "T") return false;
        free_space = free_space_of(destination);
        needed = this_table;
    }
    return true;
}

// The tables of the current folder are put back on every way out: the
// copy opened the other folder's tables in their areas.
class ReopenOnExit {
public:
    explicit ReopenOnExit(bool program_tables) : folder_(tables::client_folder()), program_tables_(program_tables) {}
    ~ReopenOnExit() {
        for (int code = kFirstTable; code <= kLastTable; ++code) tables::ws().close(code);
        if (program_tables_) tables::ABERTURA(0);
        tables::MUDADIR(folder_);
        common::FECHAJAN(10);
        common::MENS();   // the last "Copiando para ..." goes with the copy
    }
    ReopenOnExit(const ReopenOnExit&) = delete;
    ReopenOnExit& operator=(const ReopenOnExit&) = delete;

private:
    std::string folder_;
    bool program_tables_;
};

}  // namespace

bool FAZ_COPIA() {
    if (!ask_folder_pair(PairUse::CopyTo)) return false;
    const std::string origin = origin_folder();
    const std::string destination = destination_folder();
    double free_space = free_space_of(destination);
    double needed = 0;
    const ReopenOnExit reopen(false);
    bool ok = true;
    for (int code = kFirstTable; code <= kLastTable && ok; ++code) {
        if (!open_waiting(origin, code, code != kRegister)) return false;
        rt::table::Table& t = tables::ws().current(code);
        const double size = table_size(t);
        needed += size;
        if (!room_for(destination, needed, free_space, size)) {
            ok = false;
        } else {
            const std::string file = table_name(code) + ".DBF";
            common::MENS(0, "Copiando para " + destination + " o arquivo " + file);
            ok = copy_rows_to(t, destination, table_name(code));
            if (ok) remove_index_files(destination, code);
            else common::AVISOSN("Erro ao criar o arquivo " + destination + file, 0);
        }
        tables::ws().close(code);
    }
    common::MENS();
    return ok;
}

bool TRAZ_COPIA() {
    if (!ask_folder_pair(PairUse::CopyFrom)) return false;
    const std::string origin = origin_folder();
    const std::string destination = destination_folder();
    const std::vector<std::string> files = declaration_files(origin);
    if (files.empty()) {
        common::AVISOSN("O " + origin + " não contém dados do QV2012"_cp, 0);
        return false;
    }
    // The copy replaces the destination's tables whole: asked first.
    if (common::AVISOSN(std::vector<std::string>{"Recupera os dados em ", destination}, 2).as_string() != "S")
        return false;
    // A terminal with a declaration of the folder open would write its rows
    // back over the copied ones; none opens one until the copy ends.
    const tables::FolderMark whole(destination);
    if (!whole) {
        common::AVISOSN(std::vector<std::string>{tables::refusal_text(whole.claim()), "Cópia encerrada sem terminar."_cp},
                        0);
        return false;
    }
    const ReopenOnExit reopen(true);
    tables::ws().close_all();
    // Every table the copy replaces, the register too, must be free in the
    // destination before the first one is written.
    for (const std::string& file : files) {
        const int code = std::stoi(file.substr(3, 2));
        if (!open_waiting(destination, code, true)) return false;
        tables::ws().close(code);
    }
    bool ok = true;
    for (const std::string& file : files) {
        const int code = std::stoi(file.substr(3, 2));
        common::MENS(0, "Copiando para " + destination + " o arquivo " + file);
        if (!copy_table_file(origin, file, destination)) {
            common::AVISOSN("Erro ao criar o arquivo " + destination + file, 0);
            ok = false;
            break;
        }
        remove_index_files(destination, code);
    }
    return ok;
}

}  // namespace qv::office
