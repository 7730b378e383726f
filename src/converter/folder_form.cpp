#include "converter/folder_form.hpp"

#include <filesystem>
#include <string>
#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/paths.hpp"
#include "common/windows.hpp"
#include "converter/converter_globals.hpp"
#include "converter/converter_screens.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/achoice.hpp"
#include "runtime/ui/read.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/table_error.hpp"
#include "tables/folders.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::converter {

namespace {

using common::Global;
using rt::operator""_cp;
using rt::Value;
namespace tb = rt::table;

constexpr int kWidth = 80;
constexpr int kShown = 73;


struct Words {
    const char* source;
    const char* destination;
};

Words words(int option) {
    switch (option) {
        case 1: return {"  QV2011   ", "  QV2012   "};
        case 2: return {" KVB       ", " QV2012    "};
        case 4: return {" G.Capital ", " QV2012    "};
        default: return {" Receita   ", " QV/WZK2012"};
    }
}

void paint_form() {
    MTELA1(2);
    const Words w = words(Global{"OPCAO_1"}.integer(3));
    common::ESCRLCOL(kFormWindow, 1, 1, "Drive e a pasta " + std::string(w.source));
    common::ESCRLCOL(kFormWindow, 3, 1, "Drive e a Pasta " + std::string(w.destination));
    common::ESCRLCOL(kFormWindow, 5, 1, "Local onde instalou o QV2011 ");
}

bool installation_exists() {
    if (common::VERDIR(global_text("DIRINSTA"))) return true;
    common::AVISOSN("Atencão! Pasta não existente."_cp, 0);
    return false;
}

// The source must exist (and, for the imports of other programs, hold their
// tables); false when the user gives up.
enum class Check { Accepted, Again, GiveUp };

Check check_source(int option) {
    const std::string source = global_text("ORIGEM");
    bool missing = false;
    if (!common::VERDIR(source)) {
        common::AVISOSN("Drive e/ou Diretório de Origem inexistente !!"_cp, 0);
        missing = true;
    } else if (option == 1) {
        missing = VEJA_ARQ(5, common::BAR_DIR(source), "IMP", "11");
    } else if (option == 2) {
        missing = VEJA_ARQ(6, common::BAR_DIR(source), "IRM", "");
    }
    if (!missing) return Check::Accepted;
    return common::AVISOSN("Continua procurando?", 2).as_string() == "N" ? Check::GiveUp : Check::Again;
}

bool read_form() {
    const int row = 16, col = 3;
    const std::string shown = "@S" + std::to_string(kShown);
    rt::at_get(row, col, "M->ORIGEM", shown).valid([] { return common::ESPCIF(global_text("ORIGEM")); });
    rt::at_get(row + 2, col, "M->DESTINO", shown).valid([] { return common::ESPCIF(global_text("DESTINO")); });
    rt::at_get(row + 4, col, "M->DIRINSTA", shown).valid(installation_exists);
    return rt::READ();
}

// The folders listed in last year's installation, read without holding it.
std::vector<std::string> last_years_folders() {
    std::vector<std::string> out;
    const std::string list = common::BAR_DIR(global_text("DIRINSTA")) + "DIRET" + tables::terminal();
    auto& ws = tables::ws();
    const int selected = ws.selected();
    const int area = ws.select(0);
    try {
        rt::table::OpenOptions opt;
        opt.read_only = true;
        opt.alias = "DIRETANT";
        tb::Table& t = ws.use(common::to_local_path(list), opt);
        for (t.go_top(); !t.eof(); t.skip(1))
            if (!t.deleted()) out.push_back(rt::ALLTRIM(t.get("DIRETOR").as_string()));
    } catch (const tb::TableError&) {
        out.clear();
    }
    ws.close(area);
    ws.select(selected);
    return out;
}

// F1 on the form: a folder of last year's list copied into the source or
// destination line.
void EDITOR() {
    const std::string field = rt::READVAR();
    const bool source = field.find("ORIGEM") != std::string::npos;
    if (!source && field.find("DESTINO") == std::string::npos) return;
    const std::vector<std::string> folders = last_years_folders();
    if (folders.empty()) return;
    const std::string under = rt::SAVESCREEN();
    rt::DISPBOX(0, 17, 15, 60, rt::B_SINGLE);
    rt::at_say(0, 18, "Drive e pastas usadas em QV2011");
    const int chosen = rt::ACHOICE(1, 18, 14, 59, folders);
    rt::RESTSCREEN(under);
    if (chosen <= 0) return;
    set_global(source ? "ORIGEM" : "DESTINO", Value(rt::PADR(folders[chosen - 1], kWidth)));
    if (rt::Get* get = rt::current_get()) {
        get->update_buffer();
        get->display();
    }
}

// The folders kept in the terminal's settings, and in the variables the
// next form of this run proposes and the auxiliary lists read.
void store(int kind) {
    const std::string source = global_text("ORIGEM"), destination = common::BAR_FORA(global_text("DESTINO")),
                      installation = global_text("DIRINSTA");
    if (kind == 1) set_global("ROTAANTER", Value(source));
    set_global("ROTADOANO", Value(destination));
    set_global("DIRINST", Value(installation));
    tables::ABERTURA(42);
    tb::Table* config = tables::ws().table(42);
    if (!config || !config->seek(Value(tables::terminal()))) return;
    tables::ws().select(42);
    if (!tables::REC_LOCK(5)) return;
    if (kind == 1) config->put("ROTAANTER", Value(source));
    config->put("ROTADOANO", Value(destination));
    config->put("DIRINST", Value(installation));
    config->commit();
    config->unlock();
}

// "Não" to staying in the destination: the folder of before the import is
// the data folder again, selected in the folder list and kept in the
// terminal's settings, as if the import had not moved anything.
void back_to_earlier_folder(tb::Table& list) {
    const std::string earlier = common::BAR_FORA(global_text("PATHVEL"));
    for (list.go_top(); !list.eof(); list.skip(1))
        if (rt::UPPER(rt::ALLTRIM(list.get("DIRETOR").as_string())) == rt::UPPER(earlier)) break;
    tables::ws().select(50);
    if (!list.eof() && tables::TROCASIM(1)) return;
    // Not listed (or gone): only the folder and the settings go back.
    set_global("LOCARQ", Value(common::BAR_DIR(earlier)));
    set_global("ROTA", Value(common::BAR_DIR(earlier)));
    set_global("ROTADOANO", Value(earlier));
    tables::ABERTURA(42);
    tb::Table* config = tables::ws().table(42);
    if (!config || !config->seek(Value(tables::terminal()))) return;
    tables::ws().select(42);
    if (!tables::REC_LOCK(5)) return;
    config->put("ROTADOANO", Value(earlier));
    config->commit();
    config->unlock();
}

// The form's window goes, and with it the form's word on the status line.
void close_form() {
    common::FECHAJAN(kFormWindow);
    common::MENS();
}

}  // namespace

bool PEGAOSDIR(int kind) {
    const int option = Global{"OPCAO_1"}.integer(3);
    paint_form();
    set_global("DESTINO", Value(rt::PADR(global_text("LOCARQ"), kWidth)));
    set_global("ORIGEM", Value(rt::PADR(global_text(kind == 1 ? "ROTAANTER" : "ROTAREANT"), kWidth)));
    set_global("DIRINSTA", Value(rt::PADR(common::BAR_DIR(global_text("DIRINST")), kWidth)));
    const std::string list = common::BAR_DIR(global_text("DIRINSTA")) + "DIRET" + tables::terminal();
    if (!std::filesystem::exists(common::fs_path(list + ".dbf")) && !std::filesystem::exists(common::fs_path(list + ".DBF")))
        common::MENS(0, "Não encontrado o arquivo com as pastas do ano anterior"_cp);
    bool accepted = false;
    const std::string data_folder = global_text("LOCARQ"), rota = global_text("ROTA");
    const rt::KeyHandler saved_f1 = rt::SETKEY(rt::key::F1, EDITOR);
    while (true) {
        if (!read_form()) break;
        const Check source = check_source(option);
        if (source == Check::GiveUp) {
            // Giving up leaves the data folder where it was before the form.
            set_global("LOCARQ", Value(data_folder));
            set_global("ROTA", Value(rota));
            rt::SETKEY(rt::key::F1, saved_f1);
            close_form();
            return false;
        }
        if (source == Check::Again) continue;
        const std::string destination = global_text("DESTINO");
        if (destination.size() > 2 && !tables::CRI_NDIR(destination, kind == 1 ? " QV2012  " : "QV/WZK2012")) continue;
        set_global("LOCARQ", Value(common::BAR_DIR(destination)));
        set_global("ROTA", Value(common::BAR_DIR(destination)));
        accepted = true;
    }
    rt::SETKEY(rt::key::F1, saved_f1);
    close_form();
    if (!accepted) return false;
    set_global("ARQORIG", Value(common::BAR_DIR(global_text("ORIGEM"))));
    set_global("ARQDEST", Value(common::BAR_DIR(global_text("DESTINO"))));
    store(kind);
    return true;
}

bool VEJA_ARQ(int count, std::string_view folder, std::string_view prefix, std::string_view suffix) {
    const bool one_digit = prefix == "IRM" || prefix == "WZK";
    for (int n = 1; n <= count; ++n) {
        const std::string name =
            std::string(prefix) + (one_digit ? std::to_string(n) : rt::STRZERO(n, 2)) + std::string(suffix) + ".DBF";
        if (tb::find_in_folder(folder, name).empty()) {
            common::AVISOSN("Não encontrado o Arquivo "_cp + name, 0);
            return true;
        }
    }
    return false;
}

void REORG(std::string_view folder, int mode) {
    tables::ws().close_all();
    const std::string dir = common::BAR_DIR(folder);
    std::error_code ec;
    for (int nn = 1; nn <= 19; ++nn) {
        const std::string stem = "IMP" + rt::STRZERO(nn, 2) + "12";
        for (const std::string& name : {stem, nn == 9 ? std::string("IMP0912B") : std::string(),
                                        nn == 9 ? std::string("IMP0912C") : std::string()})
            if (!name.empty())
                for (const char* ext : {".CDX", ".cdx"}) std::filesystem::remove(common::fs_path(dir + name + ext), ec);
    }
    const std::string saved = global_text("LOCARQ");
    set_global("LOCARQ", Value(dir));
    for (int nn = 1; nn <= 19; ++nn) {
        tables::ABERTURA(nn);
        tables::ws().close(nn);
    }
    set_global("LOCARQ", Value(saved));
    tables::ws().close_all();
    tables::ABERTURA(0);
    if (mode != 1) tables::MUDADIR(global_text("LOCARQ"));
}

void AJUST_DIR() {
    if (!Global{"NOVIN"}.value().as_bool()) return;
    const std::string destination = common::BAR_FORA(global_text("ARQDEST"));
    REORG(destination, 1);
    if (!tables::ABERTURA(50)) return;
    tb::Table& list = tables::ws().current(50);
    list.set_order(0);
    bool found = false;
    for (list.go_top(); !list.eof(); list.skip(1)) {
        if (rt::UPPER(rt::ALLTRIM(list.get("DIRETOR").as_string())) == rt::UPPER(destination)) {
            found = true;
            break;
        }
        tables::ws().select(50);
        if (tables::REC_LOCK(5)) {
            list.put("SELEC", Value("N"));
            list.commit();
            list.unlock();
        }
    }
    if (!found) {
        tables::ws().select(50);
        if (tables::ADD_REC(5)) {
            list.put("DIRETOR", Value(destination));
            list.put("SELEC", Value("S"));
            list.commit();
            list.unlock();
        }
    }
    if (rt::UPPER(common::BAR_FORA(global_text("PATHVEL"))) != rt::UPPER(destination)) {
        if (common::AVISOSN("Permanece no diretório "_cp + destination, 2).as_string() == "N") {
            back_to_earlier_folder(list);
        } else {
            tables::ws().select(50);
            // The folder stayed in is the one the next import of this run
            // goes back to, not the folder the run started in.
            if (tables::TROCASIM(1)) set_global("PATHVEL", Value(common::BAR_DIR(destination)));
        }
    }
    common::FECHAJAN(10);
    common::FECHAJAN(3);
}

}  // namespace qv::converter
