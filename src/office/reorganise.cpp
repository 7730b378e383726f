#include "office/reorganise.hpp"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/paths.hpp"
#include "common/windows.hpp"
#include "office/folder_tables.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/workspace.hpp"
#include "tables/folders.hpp"
#include "tables/open_failure.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::office {

using rt::operator""_cp;
namespace fs = std::filesystem;
namespace tb = rt::table;

namespace {

constexpr const char* kProgramTables[] = {
    "PRINTS",  "CONFIG", "DEFINE",   "HELPTXT",  "HELPATXT", "CODBENS", "CODABENS", "CODEPEN", "CODDIVI",  "DESPESA",
    "UFIRM",   "AUXBENS", "AUXPAG",  "LISERRO",  "BANCOS",   "CORES",   "CONFIMP",  "OCUPACAO", "OCUPACAB", "CODNATUR",
    "TABPAIS", "STATUS", "TABEMBA",  "TABMUNI",  "TABLOGR",  "CONTAS",  "FOLHAPG",  "BOLETO"};
constexpr int kPackArea = 80;

bool has_extension(const fs::path& p, std::string_view ext) { return rt::UPPER(p.extension().string()) == ext; }

std::string& failure() {
    static std::string text;
    return text;
}

bool fails(std::string why) {
    failure() = std::move(why);
    return false;
}

int remove_index_files_of(const std::string& folder) {
    int n = 0;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(common::fs_path(folder), ec)) {
        if (!e.is_regular_file(ec) || !has_extension(e.path(), ".CDX")) continue;
        if (fs::remove(e.path(), ec)) ++n;
    }
    return n;
}

// Another terminal that runs on this program folder (it holds the program
// tables and their index files open); empty when none does.
std::string other_terminal_running() {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(common::fs_path(tables::program_folder()), ec)) {
        const std::string stem = rt::UPPER(e.path().stem().string());
        if (stem.rfind("DIRET", 0) != 0 || !has_extension(e.path(), ".DBF")) continue;
        const std::string terminal = stem.substr(5);
        if (terminal != tables::terminal() && terminal_running(terminal)) return terminal;
    }
    return {};
}

void pack_program_tables(const std::string& folder) {
    for (const char* name : kProgramTables) {
        if (tb::find_in_folder(folder, std::string(name) + ".DBF").empty()) break;
        if (!tables::ABREARQ(kPackArea, true, folder + name)) continue;
        try {
            tables::ws().current(kPackArea).pack();
        } catch (const tb::TableError&) {
            // Left as it was; the next reorganisation tries again.
        }
        tables::ws().close(kPackArea);
    }
}

void reopen_list_on(const std::string& folder) {
    if (!tables::ABERTURA(50)) return;
    tb::Table* list = tables::ws().table(50);
    list->seek(rt::Value(rt::UPPER(common::BAR_FORA(folder))));
}

std::vector<std::string> listed_folders() {
    std::vector<std::string> folders;
    if (!tables::ABERTURA(50)) return folders;
    tb::Table* list = tables::ws().table(50);
    for (list->go_top(); !list->eof(); list->skip(1)) {
        const std::string f = rt::ALLTRIM(list->get("DIRETOR").as_string());
        if (!f.empty() && common::VERDIR(f)) folders.push_back(f);
    }
    return folders;
}

}  // namespace

bool terminal_running(const std::string& terminal) {
    const std::string name = tb::find_in_folder(tables::program_folder(), "DIRET" + terminal + ".DBF");
    return !name.empty() && held_elsewhere(tables::program_folder() + name);
}

int remove_idle_work_files(const std::string& folder) {
    int n = 0;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(common::fs_path(folder), ec)) {
        const std::string stem = rt::UPPER(e.path().stem().string());
        // "TMP_" + two digits of the table + the terminal.
        if (!e.is_regular_file(ec) || stem.rfind("TMP_", 0) != 0 || stem.size() < 8) continue;
        if (terminal_running(stem.substr(6))) continue;
        if (fs::remove(e.path(), ec)) ++n;
    }
    return n;
}

namespace {

// A declaration table of the folder without its index file (another step
// may have deleted them all already: the program folder's files go first
// when it holds the client tables too).
bool indexes_missing(const std::string& folder) {
    for (int code = kFirstTable; code <= kLastTable; ++code) {
        if (tb::find_in_folder(folder, table_name(code) + ".DBF").empty()) continue;
        if (tb::find_in_folder(folder, table_name(code) + ".CDX").empty()) return true;
        if (code == kRegister && (tb::find_in_folder(folder, "IMP0912B.CDX").empty() ||
                                  tb::find_in_folder(folder, "IMP0912C.CDX").empty()))
            return true;
    }
    return false;
}

}  // namespace

std::string reorganise_failure() { return failure(); }

namespace {

void not_rebuilt(const std::string& folder, const std::string& why) {
    common::AVISOSN(std::vector<std::string>{"Os índices da pasta "_cp + folder + " não foram refeitos:"_cp, why}, 0);
}

}  // namespace

bool REORG(std::string_view folder_name, int mode) {
    failure().clear();
    const std::string folder = local_folder(folder_name);
    const bool program_folder = same_folder(folder, tables::program_folder());
    // Index files are never deleted under a terminal that has them open.
    if (const int held = first_table_held(folder); held != 0)
        return fails("O arquivo "_cp + table_name(held) + ".DBF está sendo usado em algum terminal."_cp);
    // A folder that may not be written keeps its index files: none could
    // be made again.
    if (std::string text = tables::unwritable_folder_text(tables::without_separator(folder)); !text.empty())
        return fails(std::move(text));
    if (program_folder) {
        if (const std::string other = other_terminal_running(); !other.empty())
            return fails("O programa QV2012 no terminal " + other + " está em uso"_cp);
    }
    if (remove_index_files_of(folder) > 0 || indexes_missing(folder)) {
        for (int code = kFirstTable; code <= kLastTable; ++code) {
            if (!open_folder_table(folder, code, code, false)) {
                std::string why = tables::open_failure_text();
                if (why.empty()) why = "O arquivo "_cp + table_name(code) + ".DBF não pôde ser aberto."_cp;
                return fails(std::move(why));
            }
            tables::ws().close(code);
        }
    }
    if (mode == 3) {
        tables::ws().close_all();
        return true;
    }
    if (program_folder) pack_program_tables(folder);
    if (mode == 4) {
        reopen_list_on(folder);
        return true;
    }
    if (mode == 1) {
        tables::ws().close_all();
        tables::ABERTURA(0);
        tables::MUDADIR(folder);
    }
    return true;
}

void REINDEXA() {
    const std::vector<std::string> question{"Esta opção refará todos arquivos índices (CDX)."_cp,
                                            "Operação recomendada a ser feita após uma queda"_cp,
                                            "da energia ou quando arquivos forem copiados de",
                                            "um equipamento para outro. Se em rede saia do  ",
                                            "programa em todos os terminais."};
    if (common::AVISOSN(question, 2).as_string() != "S") return;
    const std::string current = tables::client_folder();
    const std::vector<std::string> folders = listed_folders();
    tables::ws().close_all();
    remove_idle_work_files(local_folder(common::Global("LOCTRAB").text(tables::program_folder())));
    const std::string other = other_terminal_running();
    const bool program_listed = std::any_of(folders.begin(), folders.end(), [](const std::string& f) {
        return same_folder(local_folder(f), tables::program_folder());
    });
    if (other.empty())
        remove_index_files_of(tables::program_folder());
    else if (!program_listed)
        not_rebuilt(tables::without_separator(tables::program_folder()),
                    "O programa QV2012 no terminal " + other + " está em uso"_cp);
    for (const std::string& folder : folders) {
        tables::set_client_folder(local_folder(folder));
        if (!REORG(folder, 4)) not_rebuilt(folder, reorganise_failure());
    }
    tables::set_client_folder(current);
    tables::ABERTURA(0);
    tables::MUDADIR(current);
    common::FECHAJAN(10);
}

}  // namespace qv::office
