// The "Backup" bar: copies of the data folders through the archiver, and
// the archiver's settings.
#include <cctype>
#include <string>
#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/paths.hpp"
#include "common/windows.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/workspace.hpp"
#include "runtime/core/functions.hpp"
#include "shell/menu_features.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::shell {

using rt::operator""_cp;

namespace {

constexpr int kRegisterArea = 9;
const common::Global kXdrive("XDRIVE");
const common::Global kProgcomp("PROGCOMP");
const common::Global kProcessa("PROCESSA");

void close_register() { tables::ws().close(kRegisterArea); }

// Asks the drive letter into XDRIVE; false (with "A" kept) when left blank
// or given something that is no letter.
bool ask_drive() {
    if (!kXdrive.exists() || kXdrive.text().size() != 1) kXdrive.set(rt::Value(rt::PADR(kXdrive.text(), 1)));
    common::MensArgs args;
    args.name = "M->XDRIVE";
    args.picture = "@ !";
    common::MENS(14, "Informe a letra do Drive", args);
    const std::string letter = rt::ALLTRIM(kXdrive.text());
    if (letter.empty() || !std::isalpha(static_cast<unsigned char>(letter[0]))) {
        kXdrive.set(rt::Value("A"));
        return false;
    }
    return true;
}

// A drive letter stands for a folder of this machine: it is said, and the
// user agrees, before anything is written there or read from there.
bool drive_folder_agreed(bool backup) {
    const std::string letter = kXdrive.text();
    const std::vector<std::string> lines{
        "O drive " + letter + ": corresponde à pasta "_cp + common::drive_root(letter[0]),
        backup ? "Compacta todas as pastas nela?" : "Descompacta todas as pastas dela?"};
    return common::AVISOSN(lines, 2).as_string() == "S";
}

void set_work_folder_for_archiver() {
    common::Global("DIRICE").set(rt::Value(rt::TRIM(common::Global("DIRTRAB").text())));
}

bool archive_all(rt::MenuItem& item) {
    if (!ask_drive()) return false;
    item.caption = "&Compacta    todos no " + kXdrive.text() + ":";
    if (!drive_folder_agreed(true)) return false;
    close_register();
    if (!rt::call_as_bool("BKAUTOMA")) {
        reopen_register();
        return false;
    }
    return true;
}

bool restore_all(rt::MenuItem& item) {
    close_register();
    if (!ask_drive()) {
        reopen_register();
        return false;
    }
    item.caption = "&Descompacta todos do " + kXdrive.text() + ":";
    if (!drive_folder_agreed(false)) {
        reopen_register();
        return false;
    }
    set_work_folder_for_archiver();
    if (!rt::call_as_bool("VOAUTOMA")) {
        reopen_register();
        return false;
    }
    return true;
}

bool one_folder(const char* routine) {
    close_register();
    set_work_folder_for_archiver();
    if (!rt::call_as_bool(routine, {rt::Value(1), rt::Value("")})) {
        reopen_register();
        return false;
    }
    return true;
}

bool direct_copy(const char* routine, bool with_notice) {
    if (with_notice)
        common::AVISOSN(std::vector<std::string>{"Essa opção faz uma cópia direta dos dados"_cp,
                                                 "porém somente da pasta escolhida."_cp,
                                                 "Para copiar todas as pastas use Compacta todos"});
    rt::call_routine(routine);
    common::FECHAJAN(3);
    return true;
}

void choose_archiver() {
    const bool seven_zip = kProgcomp.text("S") == "S";
    const std::string p = seven_zip ? "7zip" : "ICE";
    const std::string q = seven_zip ? "ICE" : "7zip";
    const rt::Value answer = common::AVISOSN(
        std::vector<std::string>{"Para compactar esta configurado para utilizar", "o programa " + p + ". Troca para o " + q + " ?"},
        2);
    if (answer.as_string() == "S") kProgcomp.set(rt::Value(seven_zip ? "N" : "S"));
}

bool choose_processor() {
    if (kProgcomp.text("S") == "N") {
        common::AVISOSN("O programa ICE não funciona em 64 bits. Troque para o 7Z"_cp);
        return false;
    }
    const bool bits32 = kProcessa.text("S") == "S";
    const std::string p = bits32 ? "32" : "64";
    const std::string q = bits32 ? "64" : "32";
    const rt::Value answer = common::AVISOSN(
        std::vector<std::string>{"O programa para compactar esta configurado para ser ",
                                 "usado em processador de " + p + " bits. Troca para " + q + " bits?"},
        2);
    if (answer.as_string() == "S") kProcessa.set(rt::Value(bits32 ? "N" : "S"));
    return true;
}

// After a backup: the date of the next reminder and where it went. The
// variable follows the record, or leaving the program would write the old
// date back over it.
void save_backup_settings() {
    common::Global("ULTBACK").set(rt::Value(rt::DATE() + 4));
    reopen_register();
    if (!open_terminal_config()) return;
    if (!tables::REC_LOCK(5)) return;
    rt::table::Table* config = tables::ws().table(42);
    config->put("ULTBACK", rt::Value(rt::DATE() + 4));
    config->put("XDRIVE", rt::Value(kXdrive.text()));
    config->put("ROTABACK", rt::Value(common::Global("ROTABACK").text()));
    config->unlock();
}

void save_archiver_settings() {
    if (!open_office_settings()) return;
    if (!tables::REC_LOCK(5)) return;
    rt::table::Table* define = tables::ws().table(43);
    define->put("PROCESSA", rt::Value(kProcessa.text("S")));
    define->put("PROGCOMP", rt::Value(kProgcomp.text("S")));
    define->unlock();
}

}  // namespace

bool backup_option(rt::MenuItem& item) {
    bool done = false;
    switch (item.id) {
        case 71: done = direct_copy("FAZ_COPIA", true); break;
        case 72: return direct_copy("TRAZ_COPIA", false);
        case 73: done = archive_all(item); break;
        case 74: done = restore_all(item); break;
        case 75: return one_folder("BKMANUAL");
        case 76: return one_folder("VOMANUAL");
        case 77:
            choose_archiver();
            save_archiver_settings();
            return true;
        case 78:
            if (choose_processor()) save_archiver_settings();
            return true;
        default: return false;
    }
    if (done) save_backup_settings();
    return done;
}

}  // namespace qv::shell
