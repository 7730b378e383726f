#include "declaration/loop/declara.hpp"

#include <mutex>
#include <span>
#include <string>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/windows.hpp"
#include "declaration/calc/due_dates.hpp"
#include "declaration/entry/frame_painter.hpp"
#include "declaration/entry/footers.hpp"
#include "declaration/entry/gtela.hpp"
#include "declaration/loop/declara_variables.hpp"
#include "declaration/loop/declaration_load.hpp"
#include "declaration/loop/key_bindings.hpp"
#include "declaration/loop/page_globals.hpp"
#include "declaration/loop/screen_loop.hpp"
#include "declaration/loop/secondary_menu.hpp"
#include "declaration/loop/tax_constants.hpp"
#include "declaration/loop/usage.hpp"
#include "declaration/loop/work_copy_refill.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/menu.hpp"
#include "tables/folders.hpp"
#include "tables/locks.hpp"
#include "tables/open_failure.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::declaration {

using rt::operator""_cp;
namespace key = rt::key;

void KeyBindings::bind_routine(int code, const char* routine) {
    bind(code, [routine] { rt::call_routine(routine); });
}

namespace {

constexpr int kRegisterTable = 9;
constexpr int kRecordArea = 21;
constexpr int kPageWindow = 3;
constexpr int kFillWindow = 7;
constexpr int kNoAutosave = 98;
// The rows above the status line.
constexpr int kLastRow = 23;

const common::Global kOpcao1{"OPCAO_1"};
const common::Global kCpf{"CPF"};

// F8 at the prompt: only the taxpayers with rural activity, or all again.
void toggle_rural_filter() {
    rt::table::Table* reg = tables::ws().table(kRegisterTable);
    if (reg == nullptr) return;
    const common::Global only{"SO_WZK"};
    const bool on = !only.value().as_bool();
    only.set(rt::Value(on));
    if (on) reg->set_filter([reg] { return rt::TRIM(reg->get("TEMRURAL").as_string()) == "S"; }, "TEMRURAL = \"S\"");
    else reg->clear_filter();
    reg->go_top();
}

void folder_list() {
    rt::call_routine("EDITA", {rt::Value(40)});
    rt::call_routine("MOSTR_PAG", {rt::Value(1)});
}

void bind_prompt_keys(KeyBindings& keys) {
    keys.bind_routine(key::F1, "GERAL5");
    keys.bind_routine(key::F2, "GERAL1");
    keys.bind_routine(key::F3, "GERAL4");
    keys.bind_routine(key::F4, "DIRETO");
    keys.bind_routine(key::F5, "IMPCORRIG");
    keys.bind_routine(key::F6, "MOS_DETAL");
    keys.bind(key::F7, folder_list);
    keys.bind(key::F8, toggle_rural_filter);
    keys.bind_routine(key::F11, "MOS_PEND");
}

// The page keys (F1-F12, Tab) are bound by the screen loop; at the menu
// they choose the menu's own items.
void bind_editing_keys(KeyBindings& keys) {
    keys.bind_routine(key::alt_letter('Q'), "DIGA_QUEM");
    keys.bind_routine(key::alt_letter('S'), "CHAMA_CALC");
    keys.bind_routine(key::alt_letter('U'), "CALC_UFIR");
    keys.bind_routine(key::alt_letter('T'), "DESLIG_RELG");
    keys.bind(key::alt_letter('I'), [] { ESC_HORIZ(1); });
    keys.bind(key::alt_letter('H'), [] { ESC_HORIZ(2); });
    keys.bind_routine(key::ALT_F1 - 1, "MOS_HELP");
    if (vars::TEMP_SAL.integer() < kNoAutosave) keys.bind(key::ALT_W, SAL_DEC);
}

void close_work_copies() { tables::FECHA_PROV(); }

bool load_declaration() { return rt::call_as_bool("INIC_VAR", {rt::Value(1), rt::Value(1)}); }

// Ids 64 and 65: one taxpayer of a transfer walk.
// The work copies stay open for the walk's next taxpayer, which refills
// them; the walk closes them when it ends.
void transfer_one() {
    taxpayer_box();
    load_declaration();
    rt::call_routine("PREPARA");
}

void edit_declaration() {
    KeyBindings keys;
    bind_editing_keys(keys);
    vars::JA_CALC.set(rt::Value(false));
    common::MENS();
    vars::TELANT.set(rt::Value(0));
    vars::INI.set(rt::Value("N"));
    common::Global{"INI_DECLA"}.set(rt::Value(static_cast<long>(rt::SECONDS())));
    rt::call_routine("NRODP");
    const int fill = common::Global{"COR_ENCHE"}.integer(31);
    const int second = common::Global{"COR_TEL2"}.integer(31);
    common::REDEFJAN(kFillWindow, fill, second, second, 0, 0, 0, 0, 0);
    paint_background();

    auto menu = CREATESECMENU(common::Global{"CORMENU"}.text());
    rt::MenuModalOptions options;
    options.bar = common::Global{"RESP"}.text() == "S" ? 6 : 1;
    options.msg_row = 24;
    while (vars::INI.text("N") == "N") {
        int bar = options.bar;
        // Esc on the bar asks whether the declaration ends.
        const int id = rt::menu_modal(*menu, options, &bar);
        options.bar = bar;
        if (vars::INI.text("N") != "N") {
            rt::CLEAR_TYPEAHEAD();   // the keys that closed the menu
            break;
        }
        if (id == 0) SAIR();
    }
    rt::at_say(0, 0, rt::SPACE(80));
    common::FECHAJAN(kPageWindow);
    common::MENS();
    paint_background();
}

// The register keeps the position of the last declaration opened: cleared
// when the taxpayer is in the register (and only then).
void clear_register_order() {
    if (!tables::ABERTURA(kRegisterTable)) return;
    rt::table::Table* reg = tables::ws().table(kRegisterTable);
    if (reg == nullptr) return;
    reg->set_order(1);
    if (!reg->seek(kCpf.value())) return;
    if (!tables::REC_LOCK()) return;
    reg->put("ORDEM", rt::Value(0));
    reg->commit();
    reg->unlock();
}

// The folder's register could not be opened: a damaged register or a
// folder that may not be written is said (no taxpayer can be found in it).
bool register_readable() {
    if (tables::last_open_failure().fault == tables::OpenFault::None) return true;
    common::AVISOSN(tables::open_failure_text(), 0);
    return false;
}

// Step after the CPF: false when DECLARA ends.
bool after_prompt(int id) {
    common::Global{"ULT_CPF"}.set(kCpf.value());
    switch (id) {
        case 12: rt::call_routine("LANCAMEN"); return false;
        case 13: {
            // The check reads the declaration's work copies: load them first.
            // Its progress and result line stands on the menu's screen;
            // the screen it found comes back when it is done.
            const std::string found = rt::SAVESCREEN(0, 0, kLastRow, 79);
            close_work_copies();
            if (load_declaration()) rt::call_routine("CONFERE", {rt::Value(1)});
            close_work_copies();
            rt::RESTSCREEN(0, 0, kLastRow, 79, found);
            return false;
        }
        case 63:
            close_work_copies();
            if (tables::ws().table(kRecordArea) == nullptr) load_declaration();
            rt::call_routine("PREPARA");
            close_work_copies();
            return false;
        default: break;
    }
    // A save that fails (a full disk, a damaged table) said so and changed
    // nothing: the declaration stays open, to be saved again.
    do {
        edit_declaration();
        if (vars::INI.text() == "I") {
            close_work_copies();
            return false;
        }
        taxpayer_box();
    } while (!rt::call_as_bool("SALVATUDO", {rt::Value(1)}));
    return true;
}

// The prompt's keys (lists, register data, findings) hold while the CPF is
// typed; the declaration opened from it has keys of its own.
bool read_taxpayer_cpf() {
    KeyBindings keys;
    bind_prompt_keys(keys);
    return rt::call_as_bool("GET_CODIGO", {rt::Value("M->CPF"), rt::Value("@r 999.999.999-99"), rt::Value(1), rt::Value(2),
                                           rt::Value(1), rt::Value(1)});
}

void prompt_loop(int id) {
    for (;;) {
        taxpayer_box();
        common::Global{"ZOOM_BEM"}.set(rt::Value(!common::Global{"ZOOM_DIV"}.value().as_bool()));
        if (!tables::MUDADIR(common::Global{"LOCARQ"}.text()) && !register_readable()) break;
        common::Global{"TEM_USO"}.set(rt::Value(0));
        common::Global{"LRECUPERA"}.set(rt::Value(false));
        common::MENS(0, "F1 Nome F2 CPF F3 Stat F4 Recu F5 Cor.IR F6 Detal F7 Pasta F8 WZK F11 Pendência"_cp);
        if (!read_taxpayer_cpf()) {
            // another terminal has the taxpayer: another CPF may be asked
            if (taxpayer_refused()) continue;
            break;
        }
        if (!after_prompt(id)) break;
    }
    clear_register_order();
    common::FECHAJAN(kPageWindow);
}

}  // namespace

void DECLARA() {
    // The declaration menu moves its own bar; the main menu keeps its place.
    const common::Global main_bar{"NPOSMENU"};
    struct KeepBar {
        const common::Global& bar;
        rt::Value saved = bar.value();
        ~KeepBar() { bar.set(saved); }
    } keep_bar{main_bar};
    rt::DeclarationScope scope;
    create_declaration_variables();
    const int id = kOpcao1.integer();
    if (!walking_transfer(id)) close_work_copies();
    const rt::Date today = rt::DATE();
    common::Global{"DF_PAGTO"}.set(rt::Value(ULT_DIA(rt::MONTH(today), rt::YEAR(today), 1)));
    set_tax_constants();
    if (id == 51) {
        rt::call_routine("SELECIONA");
        close_work_copies();
        return;
    }
    if (walking_transfer(id)) {
        transfer_one();
        return;
    }
    prompt_loop(id);
    common::Global{"CODOPC"}.set(rt::Value(0));
    common::MENS();
}

namespace {

using Args = std::span<const rt::Value>;

int int_arg(Args a, std::size_t i, int fallback = 0) {
    return i < a.size() && !a[i].is_nil() ? static_cast<int>(common::number_of(a[i], fallback)) : fallback;
}

std::string text_arg(Args a, std::size_t i) { return i < a.size() && a[i].is_string() ? a[i].as_string() : ""; }

rt::Value nothing() { return rt::Value(); }

}  // namespace

void register_declaration_loop_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        rt::register_function("DECLARA", [](Args) { DECLARA(); return nothing(); });
        rt::register_function("GIRO", [](Args) { GIRO(); return nothing(); });
        rt::register_function("QUETEL", [](Args a) { QUETEL(int_arg(a, 0, 1), a.size() > 1); return nothing(); });
        rt::register_function("MUDATEL", [](Args) { MUDATEL(); return nothing(); });
        rt::register_function("MUDATEL1", [](Args) { MUDATEL1(); return nothing(); });
        rt::register_function("MUDATAB", [](Args) { MUDATAB(); return nothing(); });
        rt::register_function("SAL_DEC", [](Args) { SAL_DEC(); return nothing(); });
        rt::register_function("ESC_HORIZ", [](Args a) { ESC_HORIZ(int_arg(a, 0, 1)); return nothing(); });
        rt::register_function("MOSTRA_INDICE", [](Args a) { MOSTRA_INDICE(int_arg(a, 0)); return nothing(); });
        rt::register_function("SAIR", [](Args) { SAIR(); return nothing(); });
        rt::register_function("VETEMPO", [](Args a) { return rt::Value(VETEMPO(int_arg(a, 0, 1))); });
        rt::register_function("VETAMHO", [](Args a) { return rt::Value(VETAMHO(int_arg(a, 0))); });
        rt::register_function("GTELA", [](Args a) { GTELA(int_arg(a, 0, 1)); return rt::Value(""); });
        rt::register_function("MTELA", [](Args a) { MTELA(int_arg(a, 0, 1)); return rt::Value(""); });
        rt::register_function("MOSTEL", [](Args a) { MOSTEL(int_arg(a, 0, 6)); return rt::Value(""); });
        rt::register_function("MRODAPE", [](Args a) { MRODAPE(int_arg(a, 0)); return nothing(); });
        rt::register_function("MRODA", [](Args a) { MRODA(text_arg(a, 0)); return nothing(); });
        rt::register_function("MRODA1", [](Args a) { MRODA1(text_arg(a, 0)); return nothing(); });
        rt::register_function("MRODA2", [](Args a) { MRODA2(text_arg(a, 0)); return nothing(); });
        rt::register_function("MOS_IND", [](Args) { MOS_IND(); return nothing(); });
    });
}

}  // namespace qv::declaration
