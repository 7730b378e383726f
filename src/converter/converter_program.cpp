#include "converter/converter_program.hpp"
#include "tables/settings_records.hpp"

#include <exception>

#include "common/colours.hpp"
#include "common/fault_report.hpp"
#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/paths.hpp"
#include "common/startup.hpp"
#include "common/submenu.hpp"
#include "common/windows.hpp"
#include "converter/converter_routines.hpp"
#include "converter/converter_globals.hpp"
#include "converter/converter_screens.hpp"
#include "converter/disk_import.hpp"
#include "converter/folder_form.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/table.hpp"
#include "runtime/table/table_error.hpp"
#include "tables/open_failure.hpp"
#include "tables/opening.hpp"
#include "tables/schema_upgrade.hpp"
#include "tables/state.hpp"

namespace qv::converter {

namespace {

using common::Global;
using rt::operator""_cp;
using rt::Value;
namespace tb = rt::table;

bool& leaving() {
    static bool flag = false;
    return flag;
}


Value zeros(int n) {
    Value a = Value::array();
    for (int i = 0; i < n; ++i) a.as_array()->push_back(Value(0));
    return a;
}

// The terminal's folders from its CONFIG record (current in area 42).
void config_folders() {
    tb::Table* config = tables::ws().table(42);
    for (const char* f : {"ROTAANTER", "ROTARECEI", "ROTAREANT", "ROTADOANO", "DIRTRAB", "DIRPROV", "DIRINST",
                          "XDRIVE"})
        set_global(f, Value(config && config->field_index(f) >= 0 ? rt::ALLTRIM(config->get(f).as_string()) : ""));
    if (!common::VERDIR(global_text("ROTADOANO"))) {
        common::AVISOSN("O diretório "_cp + global_text("ROTADOANO") + " não encontrado.Assumido o atual."_cp, 0);
        set_global("ROTADOANO", Value(global_text("ROTADEF")));
    }
    const std::string data = common::BAR_DIR(global_text("ROTADOANO"));
    if (!common::VERDIR(global_text("DIRTRAB"))) set_global("DIRTRAB", Value(data));
    set_global("LOCARQ", Value(data));
    set_global("LOCTRAB", Value(common::BAR_DIR(global_text("DIRTRAB"))));
    set_global("DIRORIG", Value(data));
    set_global("ROTA", Value(data));
    set_global("PATHVEL", Value(data));
}

bool start(std::optional<std::string> terminal) {
    register_converter_routines();
    create_converter_variables();
    set_global("NUSU", Value(common::INICIOSIS(std::move(terminal))));
    common::build_colour_strings();
    tables::CORRECAO(1);
    if (!tables::CONFIGURA(global_text("NUSU"))) return false;
    config_folders();
    common::ENCHETELA(" ", global_text("COR_ENCH_C"));
    if (tables::ABERTURA(50)) return true;
    // The folder list is held by the main program of this terminal, unless
    // it started the converter itself: then it let the list go.
    const std::string why = tables::failed_in_use()
                                ? "O programa QV2012 no terminal "_cp + global_text("NUSU") + " está em uso"_cp
                                : tables::open_failure_text();
    common::AVISOSN(why.empty() ? "Arquivos do programa não puderam ser abertos"_cp : why, 0);
    return false;
}

common::SubmenuItem item(const char* caption, const char* message, int id, int shortcut = 0) {
    return {rt::utf8_to_cp850(caption), shortcut, rt::utf8_to_cp850(message), id};
}

void close_all() {
    tables::ws().close_all();
    rt::CLS();
}

}  // namespace

void create_converter_variables() {
    for (const char* f : {"NUSU", "DIRDEF", "ARQDEF", "ROTADEF", "ORIGEM", "DESTINO", "ARQORIG", "ARQDEST", "PATHVEL",
                          "APELIDO"})
        if (!Global{f}.exists()) set_global(f, Value(""));
    for (const char* f : {"ALJ", "ACJ", "ALJA", "ACJA"}) set_global(f, zeros(12));
    const std::pair<const char*, int> numbers[] = {{"COR_TEL1", 30}, {"COR_TEL2", 31}, {"COR_TEL3", 63},
                                                   {"COR_MENS", 112}, {"COR_PEGA", 15}, {"COR_HELP", 78},
                                                   {"COR_FERID", 28}, {"COR_ESCOL", 79}, {"COR_ENCHE", 114}};
    for (const auto& [name, v] : numbers) set_global(name, Value(v));
    const std::pair<const char*, const char*> texts[] = {
        {"COR_1_CLI", "GR+/B"}, {"COR_2_CLI", "W+/B"}, {"COR_INI", "W+/B"},     {"COR_SAY", "N/W+"},
        {"COR_GET", "W/N"},     {"COR_CLI_HE", "GR+/R"}, {"COR_ESC_CL", "W/R+"}, {"COR_ENCH_C", "G/W"},
        {"INVISIVEL", "W/W,W/W,N/N,N/N,W/W"}, {"CORATEN", "R/W*"}, {"QUALHLP", " "}};
    for (const auto& [name, v] : texts) set_global(name, Value(v));
    common::build_colour_strings();
    set_global("NOVIN", Value(false));
    set_global("OPCAO_1", Value(0));
    for (const char* f : {"MOS_MENS", "REFAZ_IND", "TODESC"}) set_global(f, Value(false));
    const std::pair<const char*, int> state[] = {{"QUEOPC", 1}, {"QUEJAN", 1}, {"OPCAO_2", 1}, {"PROG", 0},
                                                 {"NT", 1},     {"TAM_OLD", 0}, {"ULTESC", 1}, {"ULTPOS", 1}};
    for (const auto& [name, v] : state) set_global(name, Value(v));
}

std::shared_ptr<rt::TopBarMenu> CREATEMAINMENU(std::string_view colours) {
    auto menu = std::make_shared<rt::TopBarMenu>(0, std::string(colours));
    const common::MenuAction action = [](rt::MenuItem& chosen) { MENUSELECT(chosen); };
    common::CREATESUBMENU(
        *menu, " &Conversao ", action,
        {item("&QV2011 ", "Importa a declaração de dados de 2011 para o QV2012.", 1, rt::key::alt_letter('I')),
         item("&Livro Caixa", "Transfere os dados do programa KVB - (Kavbel) para o QV2012.", 2,
              rt::key::alt_letter('L')),
         item("&Receita ", "Importa os dados do programa da Receita Federal de 2011 ou 2012.", 3),
         item("&G. Capital ", "Importa só os Ganhos dentro IRPF2012 da Receita Federal.", 4),
         item("&Nro. Recibo", "Busca o número de recibo de 2012 e/ou 2011 .", 5),
         item("&Comprovante", "Recupera e transfere os dados de comprovante de rendimentos.", 6),
         {"─"_cp, 0, {}, 0},
         item("&Terminar ", "Sair da conversão", 7, rt::key::alt_letter('T'))});
    common::CREATESUBMENU(*menu, "Sai&r", action, {item("Sai&r ", "Sai do programa ", 11, rt::key::alt_letter('R'))});
    return menu;
}

std::string MENUSELECT(const rt::MenuItem& chosen) {
    const int id = chosen.id;
    leaving() = false;
    set_global("OPCAO_1", Value(id));
    if (id == 7) {
        close_all();
        leaving() = true;
        return "";
    }
    if (id == 11) {
        if (common::AVISOSN(" Confirma saída da conversão?"_cp, 2).as_string() == "N") return "";
        close_all();
        leaving() = true;
        return "";
    }
    set_global("NOVIN", Value(false));
    switch (id) {
        case 1:
        case 2:
            // Last year's edition and the cash-book program have their own
            // importers, reached by name.
            rt::call_routine("CONVIRHELP");
            AJUST_DIR();
            break;
        case 4:
            common::AVISOSN(
                "Aviso! Só converte os ganhos de capital contidos no IRPF2012 para o QV2012 portanto o ganho deve ter sido antes importado para o IRPF2012. Atenção! Todos os ganhos de capital feitos anteriormente serão excluidos! "_cp,
                0);
            CONVDISCO(2);
            break;
        case 3:
        case 5:
            CONVDISCO(id == 3 ? 1 : 3);
            break;
        case 6:
            rt::call_routine("CONVFOLHA");
            break;
        default:
            break;
    }
    common::FECHAJAN(2);
    common::FECHAJAN(4);
    common::MENS();   // nothing of the import stays said under the menu
    rt::INKEY(2);
    tables::ws().close_all();
    tables::ABERTURA(50);
    return "";
}

bool converter_leaving() { return leaving(); }

int MAIN(std::optional<std::string> terminal) {
    try {
        if (!start(std::move(terminal))) {
            close_all();
            return 1;
        }
        MTELA1(9);
        auto menu = CREATEMAINMENU(global_text("CORMENU"));
        leaving() = false;
        while (!leaving()) {
            rt::MenuModalOptions options;
            options.msg_row = 24;
            rt::menu_modal(*menu, options);
        }
        return 0;
    } catch (const std::exception& e) {
        tables::ws().close_all();
        common::report_fault(e.what());
        close_all();
        return 1;
    }
}

}  // namespace qv::converter
