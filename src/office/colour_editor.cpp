#include "office/colour_editor.hpp"

#include <string>
#include <vector>

#include "common/colours.hpp"
#include "common/globals.hpp"
#include "common/option_bar.hpp"
#include "common/windows.hpp"
#include "office/boxes.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::office {

namespace {

struct Item {
    const char* label;
    const char* attr_var;
    const char* pair_var;   // nullptr: only the attribute
};

constexpr Item kItems[] = {
    {" Texto           ", "COR_TEL1", "COR_1_CLI"},   {" Contorno        ", "COR_TEL2", "COR_2_CLI"},
    {" Item Escolhido  ", "COR_ESCOL", "COR_ESC_CL"}, {" Sombra 3D       ", "COR_TEL3", nullptr},
    {" Entr. de dados  ", "COR_PEGA", "COR_GET"},     {" Mensagens       ", "COR_MENS", "COR_SAY"},
    {" Help e Avisos   ", "COR_HELP", "COR_CLI_HE"},  {" Fundo Geral     ", "COR_ENCHE", "COR_ENCH_C"},
};
constexpr int kItemCount = 8;
constexpr int kCoresArea = 56;
constexpr const char* kStoredFields[] = {"COR_TEL1", "COR_TEL2", "COR_TEL3", "COR_MENS", "COR_PEGA", "COR_HELP",
                                         "COR_FERID", "COR_ESCOL", "COR_ENCHE", "COR_1_CLI", "COR_2_CLI", "COR_INI",
                                         "COR_SAY", "COR_GET", "COR_CLI_HE", "COR_ESC_CL", "COR_ENCH_C"};
constexpr char kCell = static_cast<char>(0xFE);   // the small square

struct Positions {
    int list_row, list_col, palette_row, palette_col, sample_row, sample_col;
};
Positions positions() {
    const bool menu = common::Global("MODCOR_MENU").value().as_bool();
    return menu ? Positions{9, 40, 4, 62, 15, 62} : Positions{8, 38, 4, 61, 15, 61};
}

int attr_of(int item) { return common::Global(kItems[item - 1].attr_var).integer(7); }

void say(int row, int col, std::string_view text, int attr) { rt::at_say(row, col, text, common::attr_of(attr)); }

// A plain window over an area, so that closing it puts back the screen.
void cover(int id, int top, int left, int bottom, int right) {
    if (common::window_saved(id)) return;
    common::DEFINEJAN(id, 7, 7, 7, top, left, bottom, right, 0);
    common::ABREJAN(id);
}

void draw_palette(int marked) {
    const Positions p = positions();
    cover(4, p.palette_row, p.palette_col, p.palette_row + 7, p.palette_col + 15);
    for (int b = 0; b < 8; ++b)
        for (int a = 0; a < 16; ++a) {
            const int attr = a + b * 16;
            say(p.palette_row + b, p.palette_col + a, std::string(1, attr == marked ? '*' : kCell), attr);
        }
}

void draw_samples() {
    const Positions p = positions();
    cover(6, p.sample_row, p.sample_col, p.sample_row + 4, p.sample_col + 15);
    const int text = common::Global("COR_TEL1").integer(30);
    say(p.sample_row, p.sample_col, " Cor do texto   ", text);
    const std::pair<const char*, const char*> samples[] = {{"Item Escolhido", "COR_ESC_CL"},
                                                           {"Entrada Dados ", "COR_GET"},
                                                           {"Mensagens     ", "COR_SAY"},
                                                           {"Telas de Help ", "COR_CLI_HE"}};
    int row = p.sample_row + 1;
    for (const auto& [label, var] : samples)
        rt::at_say(row++, p.sample_col + 1, label, rt::parse_colour(common::Global(var).text("W/N")));
}

void repaint_background() {
    common::ENCHETELA(" ", common::Global("COR_ENCH_C").text("W+/B"));
    common::paint_dialog_frame(9);
}

}  // namespace

int derived_highlight(int attr) {
    const int background = (attr >> 4) & 0x07;
    return (background == 4 ? 15 : 12) + background * 16;
}

int palette_move(int attr, int key) {
    int column = attr & 0x0F, row = (attr >> 4) & 0x07;
    switch (key) {
        case rt::key::RIGHT: column = std::min(column + 1, 15); break;
        case rt::key::LEFT: column = std::max(column - 1, 0); break;
        case rt::key::UP: row = std::max(row - 1, 0); break;
        case rt::key::DOWN: row = std::min(row + 1, 7); break;
        default: break;
    }
    return column + row * 16;
}

void apply_colour(int item, int attr) {
    const Item& it = kItems[item - 1];
    common::Global(it.attr_var).set(rt::Value(attr));
    if (it.pair_var) common::Global(it.pair_var).set(rt::Value(common::ACHACOR(attr)));
    if (item == 3) common::Global("COR_FERID").set(rt::Value(derived_highlight(attr)));
    if (item == 6) common::REDFATR(0, 1, attr);
}

void DESTELA() {
    const Positions p = positions();
    std::vector<std::string> lines;
    for (const Item& it : kItems) lines.emplace_back(it.label);
    open_box(5, p.list_row, p.list_col, p.list_row + kItemCount + 1, p.list_col + 19, lines);
}

void RE_FAZ(int row) {
    for (int id : {5, 4, 3, 6}) common::FECHAJAN(id);
    DESTELA();
    common::ESCRATR(5, row - 1, 1, common::Global("COR_ESCOL").integer(112), 17);
}

void ESCOL_COR(int item) {
    rt::SETCURSOR(0);
    int attr = attr_of(item);
    draw_palette(attr);
    draw_samples();
    while (true) {
        const int key = rt::INKEY(-1);
        if (key == rt::key::ESC || key == rt::key::ENTER) break;
        const int moved = palette_move(attr, key);
        if (moved == attr) continue;
        attr = moved;
        apply_colour(item, attr);
        if (item == 8) {
            for (int id = 1; id <= 8; ++id) common::FECHAJAN(id);
            repaint_background();
            DESTELA();
        } else if (item <= 4) {
            RE_FAZ(item + 1);
        }
        draw_palette(attr);
        draw_samples();
    }
    common::REDFATR(0, 1, common::Global("COR_MENS").integer(79));
    common::REDFATR(0, 2, common::Global("COR_TEL2").integer(31));
    common::REDFATR(0, 3, common::Global("COR_TEL3").integer(8));
    common::build_colour_strings();
    rt::SETCOLOR(common::Global("CORNORM").text());
    GRAVACOR();
    for (int id : {4, 6, 10}) common::FECHAJAN(id);
    rt::SETCURSOR(1);
    common::Global("POSVER").set(rt::Value(1));
}

void MODCOR(bool from_menu) {
    common::Global("MODCOR_MENU").set(rt::Value(from_menu));
    repaint_background();
    int last = 1;
    while (true) {
        DESTELA();
        common::Global("OPCOES").set(rt::Value("TCISEMHF"));
        common::Global("POSVER").set(rt::Value(last));
        const int item = common::ESC_OPCAO(5, kItemCount, 1, 17, 0, 0, 0);
        if (item == 0) break;
        last = item;
        ESCOL_COR(item);
    }
    for (int id : {4, 5, 6}) common::FECHAJAN(id);
}

bool GRAVACOR() {
    if (!tables::ABERTURA(kCoresArea)) return false;
    rt::table::Table* t = tables::ws().table(kCoresArea);
    const std::string terminal = tables::terminal();
    tables::ws().select(kCoresArea);
    const bool locked = t->seek(rt::Value(terminal)) ? tables::REC_LOCK(5) : tables::ADD_REC(5);
    if (locked) {
        t->put("NRO_TERM", rt::Value(terminal));
        for (const char* name : kStoredFields)
            if (t->field_index(name) >= 0 && common::Global(name).exists()) t->put(name, common::Global(name).value());
        t->commit();
        t->unlock();
    }
    tables::ws().close(kCoresArea);
    return locked;
}

}  // namespace qv::office
