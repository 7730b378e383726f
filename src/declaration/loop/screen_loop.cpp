#include "declaration/loop/screen_loop.hpp"

#include <string>
#include <vector>

#include "common/colours.hpp"
#include "common/globals.hpp"
#include "common/option_bar.hpp"
#include "common/windows.hpp"
#include "declaration/entry/frame_painter.hpp"
#include "declaration/entry/gtela.hpp"
#include "declaration/loop/page_globals.hpp"
#include "declaration/loop/page_moves.hpp"
#include "declaration/loop/secondary_menu.hpp"
#include "declaration/loop/usage.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/scatter.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/alert.hpp"
#include "runtime/ui/read.hpp"
#include "shell/dispatcher_routines.hpp"
#include "tables/state.hpp"

namespace qv::declaration {

using rt::operator""_cp;
namespace key = rt::key;

namespace {

constexpr int kPageWindow = 3;
constexpr int kMessageWindow = 10;
constexpr int kIndexWindow = 10;
constexpr int kPageRecordArea = 21;
constexpr int kEndRow = 13;

bool g_in_loop = false;

PageState read_state() {
    PageState s;
    s.tela = vars::TELA.integer(1);
    s.telant = vars::TELANT.integer();
    s.opcir = vars::OPCIR_1.integer(s.tela * 10 + 1);
    s.pvez = vars::flag(vars::PVEZ);
    s.rural = vars::yes(vars::TEMRURAL);
    s.rural_abroad = vars::ATV_BRASIL.text() == "N";
    return s;
}

void write_state(const PageState& s) {
    vars::TELA.set(rt::Value(s.tela));
    vars::TELANT.set(rt::Value(s.telant));
    vars::OPCIR_1.set(rt::Value(s.opcir));
    vars::PVEZ.set(rt::Value(s.pvez));
}

// The index's rows, in page order; their first letters choose them.
const std::vector<const char*>& index_rows() {
    static const std::vector<const char*> rows = {
        " F1  Fontes pagadoras (PJ)     ", " F2  cAlculo mensal (PF)       ", " F3  exclusivos e isenTos      ",
        " F4  Pagamentos e dependentes  ", " F5  Declaração de bens        ", " F6  Identificação             ",
        " F7  Cálculo do imposto        ", " F8  Ganhos de capital         ", " F9  Renda variável            ",
        " F10 Balanço                   ", " F11 aNotações                 ", " F12 atividade rural           ",
        " Esc Sai da declaração         "};
    return rows;
}

}  // namespace

bool in_screen_loop() { return g_in_loop; }

void paint_background() {
    if (shell::call_routine("MTELA1", {rt::Value(9)})) return;
    common::ENCHETELA(" ", common::ACHACOR(common::Global{"COR_ENCHE"}.integer(31)));
}

void MOS_IND() {
    rt::at_say(0, 0, rt::PADR("1=PJ 2=PF 3=Ise 4=Pgto 5=Bem 6=Iden 7=Cal 8=GCap 9=RVar 10=Balan 11=notas 12=WZK", 80));
}

void GIRO() {
    struct LoopFlag {
        bool was = g_in_loop;
        LoopFlag() { g_in_loop = true; }
        ~LoopFlag() { g_in_loop = was; }
    } in_loop;
    paint_background();
    for (;;) {
        PageState state = read_state();
        vars::TELAMAX.set(rt::Value(state.telamax()));
        state.tela = clamp_page(state);
        write_state(state);
        MOS_IND();
        const int page = state.tela;
        vars::NT.set(rt::Value(page));
        MTELA(page);
        VETEMPO(1);
        VETAMHO();
        if (page != 10) vars::TELANT.set(rt::Value(page));
        vars::TECLAMUDA.set(rt::Value(false));
        common::FECHAJAN(kMessageWindow);
        rt::SETCURSOR(1);
        GTELA(page);
        common::FECHAJAN(kPageWindow);
        if (vars::OPCIR_1.integer() % 10 == 1) vars::OPCIR_1.set(rt::Value(vars::TELA.integer(page) * 10 + 1));
        if (autosave_due()) SAL_DEC();
        // The end question answered from the index closes the declaration.
        if (vars::INI.text("N") != "N") return;
        PageState next = read_state();
        if (!move_by_key(next, vars::ULTTECLA.integer(), vars::flag(vars::TECLAMUDA))) {
            common::FECHAJAN(kPageWindow);
            return;
        }
        write_state(next);
    }
}

void QUETEL(int n, bool show) {
    if (vars::TELA.integer() == n) {
        vars::TECLAMUDA.set(rt::Value(false));
        return;
    }
    vars::ULTTECLA.set(rt::Value(show ? key::PGDN : rt::LASTKEY()));
    vars::TELANT.set(vars::TELA.value());
    vars::TELVEL.set(vars::TELA.value());
    vars::TELA.set(rt::Value(n));
    vars::OPCIR_1.set(rt::Value(n * 10 + 1));
    rt::clear_gets();
    vars::TECLAMUDA.set(rt::Value(true));
}

namespace {

// From the menu a page key opens its page as the menu item would.
void go_to_page(int n) {
    if (in_screen_loop()) QUETEL(n);
    else MENU2SELECT(n * 10 + 1);
}

}  // namespace

void MUDATEL() {
    const int k = rt::LASTKEY();
    int page = 0;
    if (k <= key::F2 && k >= key::F10) page = 1 - k;
    else if (k == key::ALT_F1 || k == key::F11) page = 11;
    else if ((k == key::ALT_F1 - 1 || k == key::F12) && vars::yes(vars::TEMRURAL)) page = 12;
    if (page != 0) go_to_page(page);
}

void MUDATEL1() {
    if (tables::ws().table(kPageRecordArea) != nullptr) rt::gather(kPageRecordArea);
    go_to_page(1);
}

void MUDATAB() {
    rt::clear_gets();
    const int k = rt::LASTKEY();
    if (k == key::TAB || k == key::SHIFT_TAB) {
        vars::ULTTECLA.set(rt::Value(k));
        vars::TECLAMUDA.set(rt::Value(true));
    }
}

std::string end_question(bool index_wording) {
    std::vector<std::string> buttons;
    std::string question;
    if (index_wording) {
        question = " Termina  a  Declaração ?"_cp;
        buttons = {" Sim. Salve tudo         ", " Não. Volte onde estava  "_cp, " Ignore. Nao salva nada  "};
    } else {
        question = " Termina  a  Declaração ?"_cp;
        buttons = {"Sim, salve tudo        ", "Não, volte p/declaração."_cp, "Ignore as alterações    "_cp};
    }
    switch (rt::ALERT(question, buttons)) {
        case 1: return "S";
        case 3: return "I";
        default: return "N";
    }
}

void SAIR() { vars::INI.set(rt::Value(end_question(false))); }

void MOSTRA_INDICE(int n) {
    if (n == 0) {
        std::string text;
        for (const char* row : index_rows()) text += rt::utf8_to_cp850(row);
        const int attr = common::Global{"COR_TEL1"}.integer(30);
        common::REDEFJAN(kIndexWindow, attr, attr, attr, 4, 22, 4 + kEndRow + 1, 22 + 32, 2);
        common::ABREJAN(kIndexWindow);
        common::ESCRJAN(kIndexWindow, text);
        common::Global{"OPCOES"}.set(rt::Value("FATPDICGRBNS"));
        common::Global{"POSVER"}.set(rt::Value(vars::TELA.integer(1)));
        n = common::ESC_OPCAO(kIndexWindow, kEndRow, 1, 31, 0, 1);
    }
    if (n == 0) return;
    if (n == kEndRow) {
        vars::INI.set(rt::Value(end_question(true)));
        const int page = vars::TELA.integer();
        if (page == 8 || page == 9) rt::clear_gets();
        vars::TECLAMUDA.set(rt::Value(true));
        return;
    }
    if (in_screen_loop()) QUETEL(n, true);
    else MENU2SELECT(n * 10 + 1);
}

void ESC_HORIZ(int item) {
    if (item == 2) {
        shell::call_routine("MOSTRA_HELP");
        return;
    }
    MOSTRA_INDICE(0);
}

}  // namespace qv::declaration
