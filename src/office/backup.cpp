// The archive backup and restore of client folders.
#include "office/backup.hpp"

#include <filesystem>
#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/paths.hpp"
#include "common/windows.hpp"
#include "office/archiver.hpp"
#include "office/folder_pair.hpp"
#include "office/folder_tables.hpp"
#include "office/table_files.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/table/file_names.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"
#include "tables/taxpayer_mark.hpp"

namespace qv::office {

using rt::operator""_cp;
namespace fs = std::filesystem;

namespace {

const common::Global kUltback("ULTBACK");
const common::Global kCanImp("CAN_IMP");
const common::Global kXdrive("XDRIVE");
const common::Global kTamDisco("TAM_DISCO");

void notice(const std::vector<std::string>& lines) { common::AVISOSN(lines, 0); }
void notice(const std::string& line) { common::AVISOSN(line, 0); }

bool yes(const std::vector<std::string>& lines) { return common::AVISOSN(lines, 2).as_string() == "S"; }

// The archiver of the settings when it exists here; else says so.
bool archiver_available() {
    if (chosen_archiver() == Archiver::SevenZip) return true;
    notice(std::vector<std::string>{"O programa ICE não existe neste sistema."_cp, "Troque para o 7Z no menu Backup."});
    return false;
}

// The archiver could not be started, or ran and failed.
void report(ArchiverOutcome outcome, const std::string& archive) {
    if (outcome == ArchiverOutcome::NotStarted)
        notice("Erro! Arquivo "_cp + archiver_command() + " não encontrado"_cp);
    else
        notice("Erro ao criar o arquivo " + archive);
}

struct Pair {
    std::string destination, origin;
};

Pair pair_of(int mode, std::string_view destination, std::string_view origin) {
    if (mode == 1) return {destination_folder(), origin_folder()};
    return {local_folder(destination), local_folder(origin)};
}

// The index files of the restored tables describe the old rows: they go,
// and the next opening builds them again.
void drop_restored_indexes(const std::string& folder) {
    for (const std::string& file : declaration_files(folder)) {
        const int code = std::stoi(file.substr(3, 2));
        remove_index_files(folder, code);
    }
}

}  // namespace

bool BKMANUAL(int mode, std::string_view destination, std::string_view origin) {
    if (mode == 1 && !ask_folder_pair(PairUse::Backup)) return false;
    const Pair p = pair_of(mode, destination, origin);
    const double free_space = free_space_of(p.destination);
    kTamDisco.set(rt::Value(free_space));
    common::FECHAJAN(3);
    if (same_folder(p.origin, p.destination)) {
        if (mode == 2)
            notice(std::vector<std::string>{"ATENÇÃO! O drive não pode ser o mesmo"_cp,
                                            "de onde está a base de Dados. Troque"_cp});
        else
            notice("ATENÇÃO! As pastas origem e destino não podem ser iguais"_cp);
        return false;
    }
    if (rt::table::find_in_folder(p.origin, "IMP0912.DBF").empty()) {
        notice(std::vector<std::string>{"A pasta " + p.origin, "não tem dados do QV2012!"_cp});
        return true;
    }
    if (!yes({"Compacta os dados da pasta ", p.origin})) return true;
    if (!archiver_available()) return false;
    const std::string archive = p.destination + archive_file(Archiver::SevenZip);
    const ArchiverOutcome outcome = pack_folder(archive, p.origin, declaration_files(p.origin));
    if (outcome != ArchiverOutcome::Done) {
        report(outcome, archive);
        return false;
    }
    kUltback.set(rt::Value(rt::DATE()));
    std::error_code ec;
    if (static_cast<double>(fs::file_size(common::fs_path(archive), ec)) > free_space) {
        notice("Espaço no Disco Insuficiente"_cp);
        return false;
    }
    return true;
}

bool VOMANUAL(int mode, std::string_view destination, std::string_view origin) {
    if (mode == 1 && !ask_folder_pair(PairUse::Restore)) return false;
    const Pair p = pair_of(mode, destination, origin);
    const std::string name = rt::table::find_in_folder(p.origin, archive_file(chosen_archiver()));
    if (name.empty()) {
        notice("Não existe o arquivo compactado em "_cp + p.origin);
        common::FECHAJAN(3);
        return false;
    }
    if (!archiver_available()) return false;
    if (!yes({"Recupera os dados em ", p.destination})) return true;
    // A terminal with a declaration of the folder open would write its
    // rows back over the restored ones; none opens one until the end.
    const tables::FolderMark whole(p.destination);
    if (!whole) {
        notice(std::vector<std::string>{tables::refusal_text(whole.claim()), "Recuperação cancelada."_cp});
        return false;
    }
    // The tables are replaced whole: none may be in use on another terminal.
    if (const int held = first_table_held(p.destination); held != 0) {
        notice(std::vector<std::string>{"O arquivo " + table_name(held) + ".DBF está sendo usado em algum terminal."_cp,
                                        "Recuperação cancelada."_cp});
        return false;
    }
    const std::string archive = p.origin + name;
    const ArchiverOutcome outcome = unpack_into(archive, p.destination);
    if (outcome == ArchiverOutcome::NotStarted) {
        report(outcome, archive);
        return false;
    }
    if (outcome == ArchiverOutcome::Failed) {
        notice("Erro ao descompactar o arquivo " + archive);
        return false;
    }
    drop_restored_indexes(p.destination);
    return true;
}

std::string mirror_folder(std::string_view folder, char drive) {
    std::string path = rt::ALLTRIM(folder);
    if (path.size() >= 2 && path[1] == ':') path = path.substr(2);
    path = common::to_local_path(path.empty() ? "/" : path);
    while (!path.empty() && path.front() == '/') path.erase(0, 1);
    return common::BAR_DIR(common::drive_root(drive) + path);
}

bool PAREBAK() {
    bool esc = false;
    while (rt::NEXTKEY() != 0)
        if (rt::INKEY() == rt::key::ESC) esc = true;
    kCanImp.set(rt::Value(esc && yes({"Abandona a cópia?"_cp})));
    return kCanImp.value().as_bool();
}

namespace {

// Walks the folder list; `each` answers false to stop with failure.
template <typename Each>
bool for_each_listed_folder(Each each) {
    common::FECHAJAN(1);
    tables::ws().close_all();
    if (!tables::ABERTURA(50)) return true;
    const char drive = rt::UPPER(kXdrive.text("A")).c_str()[0];
    rt::table::Table* list = tables::ws().table(50);
    for (list->go_top(); !list->eof(); list->skip(1)) {
        const std::string folder = rt::ALLTRIM(list->get("DIRETOR").as_string());
        if (folder.empty() || !common::VERDIR(folder)) continue;
        if (!each(local_folder(folder), mirror_folder(folder, drive))) return false;
        if (PAREBAK()) break;
    }
    return true;
}

}  // namespace

bool BKAUTOMA() {
    return for_each_listed_folder([](const std::string& folder, const std::string& mirror) {
        std::error_code ec;
        fs::create_directories(common::fs_path(mirror), ec);
        if (!fs::is_directory(common::fs_path(mirror), ec)) {
            notice(std::vector<std::string>{"Problemas na criação da pasta "_cp, mirror});
            common::FECHAJAN(3);
            return false;
        }
        BKMANUAL(2, mirror, folder);
        return true;
    });
}

bool VOAUTOMA() {
    return for_each_listed_folder([](const std::string& folder, const std::string& mirror) {
        if (!common::VERDIR(mirror)) {
            notice("Pasta " + mirror + " não encontrada. Cópia dela cancelada"_cp);
            return true;
        }
        VOMANUAL(2, folder, mirror);
        return true;
    });
}

}  // namespace qv::office
