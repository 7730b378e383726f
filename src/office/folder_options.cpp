#include "office/folder_options.hpp"

#include <cstdlib>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/paths.hpp"
#include "common/startup.hpp"
#include "common/windows.hpp"
#include "common/frame_boxes.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/get.hpp"
#include "runtime/ui/read.hpp"
#include "tables/folders.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::office {

using rt::operator""_cp;

namespace {

constexpr int kBoxWindow = 4;
constexpr const char* kEntry = "NOVAPASTA";

std::string variable_of(std::string_view name) {
    std::string n(name);
    if (rt::UPPER(n).rfind("M->", 0) == 0) n = n.substr(3);
    return n;
}

// The answer names a whole folder (from a drive or from "/": a short name
// such as "30" says nothing of where it lies) that exists or was made after
// the question naming what it is for, and where files can be written: the
// work copies and the transfer's files go there.
bool folder_ready(const std::string& answer, std::string_view word) {
    if (!common::ESPCIF(answer) || !tables::CRI_NDIR(answer, word)) return false;
    if (common::folder_writable(answer)) return true;
    common::AVISOSN("Não é possível gravar na pasta "_cp + answer, 0);
    return false;
}

// The terminal's CONFIG record gets a field, under its lock.
void store_in_config(const char* field, const rt::Value& value) {
    if (!tables::ws().table(42) && !tables::ABERTURA(42)) return;
    rt::table::Table* config = tables::ws().table(42);
    if (!config->seek(rt::Value(tables::terminal()))) return;
    tables::ws().select(42);
    if (!tables::REC_LOCK(5)) return;
    config->put(field, value);
    config->unlock();
}

}  // namespace

// The tax program installs its data folder under the user's home folder.
std::string default_tax_program_folder() {
    const char* home = std::getenv("HOME");
    return common::tax_program_folder(home ? rt::utf8_to_cp850(home) : std::string());
}

void DIRPADRAO() {
    common::Global(kEntry).set(rt::Value(rt::PADR(default_tax_program_folder(), common::kFolderEntryWidth)));
    if (rt::Get* g = rt::current_get()) {
        g->update_buffer();
        g->display();
    }
}

std::string NOVA_ROTA(std::string_view name, std::string_view word, int width) {
    const common::Global target(variable_of(name));
    const std::string current = rt::TRIM(target.text());
    common::paint_dialog_frame(4, 1);
    rt::at_say(10, 14, current.substr(0, std::min<std::size_t>(current.size(), 64)),
               rt::parse_colour(common::Global("COR_2_CLI").text("W+/B")));
    const bool tax_program = width == 80;
    if (tax_program) rt::SETKEY(rt::key::alt_letter('P'), [] { DIRPADRAO(); });
    std::string result = current;
    // The folder is kept as typed (a Linux folder's letters are its own);
    // one longer than its field is refused, never cut.
    common::Global(kEntry).set(rt::Value(rt::PADR(current, common::kFolderEntryWidth)));
    while (true) {
        rt::at_get(12, 14, std::string("M->") + kEntry, "@S64");
        if (!rt::READ()) break;
        const std::string answer = rt::TRIM(common::Global(kEntry).text());
        if (const std::string refusal = common::folder_length_refusal(answer, static_cast<std::size_t>(width));
            !refusal.empty()) {
            common::AVISOSN(refusal, 0);
            continue;
        }
        if (answer.empty()) {
            if (tax_program) {
                common::AVISOSN("Deixando em branco NÃO haverá transferência para o programa da receita!"_cp, 0);
                result.clear();
            }
            break;
        }
        const std::string folder = answer.size() == 2 ? answer + "\\" : answer;
        if (folder_ready(folder, word)) {
            result = folder;
            break;
        }
    }
    if (tax_program) rt::SETKEY(rt::key::alt_letter('P'), {});
    common::FECHAJAN(kBoxWindow);
    return rt::PADR(result, width);
}

void SELAREA(int mode) {
    if (mode == 1) {
        const std::string folder = NOVA_ROTA("M->DIRTRAB", " QV2012", 40);
        common::Global("DIRTRAB").set(rt::Value(folder));
        common::Global("LOCTRAB").set(rt::Value(common::BAR_DIR(common::to_local_path(rt::TRIM(folder)))));
        store_in_config("DIRTRAB", rt::Value(folder));
        return;
    }
    const std::string folder = NOVA_ROTA("M->ROTAJAVA", " IRPF2012", 80);
    common::Global("ROTAJAVA").set(rt::Value(folder));
    const std::string trimmed = rt::TRIM(folder);
    // The folder as the system names it: one "/" at its end, whichever way
    // it was typed or stored.
    const std::string locirpf = trimmed.empty() ? "" : common::BAR_DIR(trimmed);
    common::Global("LOCIRPF").set(rt::Value(locirpf));
    store_in_config("ROTAJAVA", rt::Value(locirpf));
}

}  // namespace qv::office
