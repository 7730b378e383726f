#include "declaration/loop/screen_loop.hpp"

#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "common/colours.hpp"
#include "common/globals.hpp"
#include "common/help.hpp"
#include "common/option_bar.hpp"
#include "common/windows.hpp"
#include "declaration/entry/mtela1_frames.hpp"
#include "declaration/entry/frame_painter.hpp"
#include "declaration/entry/gtela.hpp"
#include "declaration/loop/key_bindings.hpp"
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
#include "runtime/core/functions.hpp"
#include "tables/pick_lists.hpp"
#include "tables/state.hpp"

namespace qv::declaration {

using rt::operator""_cp;
namespace key = rt::key;

namespace {

constexpr int kPageWindow = 3;
constexpr int kMessageWindow = 10;
constexpr int kIndexWindow = 10;
constexpr int kIndexWidth = 31;
constexpr int kPageRecordArea = 21;
constexpr int kEndRow = 13;
constexpr int kHelpTopics = 4;   // Geral, Tela, Campo, Funções
constexpr int kHelpWidth = 12;

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

// F1 on a field that has a list of valid values opens the list; anywhere
// else it goes to the first page.
void page_f1() {
    const rt::Get* g = rt::current_get();
    if (g && tables::has_pick_list(rt::UPPER(g->name()))) {
        tables::GERAL();
        return;
    }
    MUDATEL1();
}

void bind_page_keys(KeyBindings& keys) {
    keys.bind(key::F1, page_f1);
    for (int k = key::F4; k >= key::F10; --k) keys.bind(k, MUDATEL);
    for (const int k : {key::F11, key::ALT_F1, key::F12}) keys.bind(k, MUDATEL);
    keys.bind(key::TAB, MUDATAB);
    keys.bind(key::SHIFT_TAB, MUDATAB);
}

}  // namespace

bool in_screen_loop() { return g_in_loop; }

void paint_background() {
    common::ENCHETELA(" ", common::ACHACOR(common::Global{"COR_ENCHE"}.integer(31)));
    MTELA1(dialog::kBackground);
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
    KeyBindings keys;
    bind_page_keys(keys);
    // The pages stand on a plain background (a narrow one shows no logo
    // beside it); the menu gets its own background back on leaving. The
    // logo's window is put away first: what it saved belongs to the menu,
    // and a page's own box in that window would put it back over the page.
    struct MenuBackground {
        MenuBackground() {
            if (const common::FrameBox* logo = mtela1_frame(dialog::kBackground)) common::FECHAJAN(logo->window);
            common::ENCHETELA(" ", common::ACHACOR(common::Global{"COR_ENCHE"}.integer(31)));
        }
        ~MenuBackground() { paint_background(); }
    } background;
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

// The declaration menu's item of each page 1-12.
int menu_id_of_page(int n) {
    static constexpr int ids[] = {11, 21, 31, 41, 51, 61, 71, 81, 84, 72, 62, 91};
    return n >= 1 && n <= 12 ? ids[n - 1] : 0;
}

// From the menu a page key opens its page as the menu item would.
void go_to_page(int n, bool show = false) {
    if (in_screen_loop()) QUETEL(n, show);
    else MENU2SELECT(menu_id_of_page(n));
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
        MTELAVER(1);
        common::Global{"OPCOES"}.set(rt::Value("FATPDICGRBNS"));
        common::Global{"POSVER"}.set(rt::Value(vars::TELA.integer(1)));
        n = common::ESC_OPCAO(kIndexWindow, kEndRow, 1, kIndexWidth, 0, 1);
    }
    if (n == 0) return;
    if (n == kEndRow) {
        vars::INI.set(rt::Value(end_question(true)));
        const int page = vars::TELA.integer();
        if (page == 8 || page == 9) rt::clear_gets();
        vars::TECLAMUDA.set(rt::Value(true));
        // At the menu: close its list and its bar so that the answer is acted on.
        if (!in_screen_loop() && vars::INI.text("N") != "N") {
            rt::push_key(key::ESC);
            rt::push_key(key::ESC);
        }
        return;
    }
    go_to_page(n, true);
}

namespace {

struct BarItem {
    const char* caption;
    int col;
    const char* letters;
};

constexpr BarItem kBar[] = {{" Índice ", 2, "FATPDICGVBSR"}, {" Help ", 12, "GTCF"}};

void show_bar(int item) {
    // One strip: the page's title does not show between the two items.
    const int gap = kBar[0].col + static_cast<int>(rt::utf8_to_cp850(kBar[0].caption).size());
    rt::at_say(1, gap, std::string(static_cast<std::size_t>(kBar[1].col - gap), ' '),
               common::attr_of(common::Global{"COR_TEL1"}.integer(30)));
    for (int i = 0; i < 2; ++i) {
        const rt::Attr attr = common::attr_of(common::Global{i + 1 == item ? "COR_ESCOL" : "COR_TEL1"}.integer(30));
        rt::at_say(1, kBar[i].col, rt::utf8_to_cp850(kBar[i].caption), attr);
    }
    MTELAVER(item);
}

// The row a letter of the item's list chooses; 0 for none.
int row_of_letter(int item, int k) {
    if (k <= 0 || k > 255) return 0;
    const std::string letters = kBar[item - 1].letters;
    const auto at = letters.find(static_cast<char>(std::toupper(k)));
    return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

}  // namespace

void ESC_HORIZ(int item) {
    const std::string under = rt::SAVESCREEN(1, 0, 1, 79);
    std::optional<int> row;   // none: left with Esc
    for (bool done = false; !done;) {
        show_bar(item);
        const int k = rt::INKEY(-1);
        common::FECHAJAN(kIndexWindow);
        switch (k) {
            case key::ESC: done = true; break;
            case key::ENTER: case key::DOWN: row = 0; done = true; break;
            case key::HOME: item = 1; break;
            case key::END: item = 2; break;
            case key::RIGHT: case key::LEFT: item = item == 1 ? 2 : 1; break;
            default:
                if (const int r = row_of_letter(item, k); r > 0) {
                    row = r;
                    done = true;
                }
                break;
        }
    }
    if (row == 0 && item == 2) {
        // The topic is chosen on the list the bar showed, where the eye is,
        // as the index's page is.
        MTELAVER(2);
        const rt::Value letters = common::Global{"OPCOES"}.value(), position = common::Global{"POSVER"}.value();
        common::Global{"OPCOES"}.set(rt::Value(kBar[1].letters));
        common::Global{"POSVER"}.set(rt::Value(1));
        row = common::ESC_OPCAO(kIndexWindow, kHelpTopics, 1, kHelpWidth, 0, 1);
        common::Global{"OPCOES"}.set(letters);
        common::Global{"POSVER"}.set(position);
        if (*row == 0) row.reset();
    }
    rt::RESTSCREEN(1, 0, 1, 79, under);
    if (!row) return;
    if (item == 1) MOSTRA_INDICE(*row);
    else common::MOSTRA_HELP(*row);
}

}  // namespace qv::declaration
