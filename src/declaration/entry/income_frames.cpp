#include "declaration/entry/income_frames.hpp"

#include <algorithm>
#include <array>
#include <string_view>

#include "common/globals.hpp"
#include "common/windows.hpp"
#include "declaration/entry/frame_painter.hpp"
#include "declaration/loop/declaration_variables.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::declaration {

namespace {

using rt::operator""_cp;

constexpr int kPageWindow = 3;
constexpr int kTop = 1, kLeft = 0;

// Window 3 on the box, emptied, with the colours of the declaration's
// pages; the box's corner is the origin of the page's places.
void open_page_window(int page, int bottom, int right) {
    // A box drawn one cell outside its text area: the text area starts
    // inside the corner.
    common::REDEFJAN(kPageWindow, common::Global{"COR_TEL1"}.integer(30), common::Global{"COR_TEL2"}.integer(31),
                     common::Global{"COR_ENCHE"}.integer(31), kTop + 1, kLeft + 1, bottom + 1, right + 1, 1);
    if (common::window_saved(kPageWindow)) common::FECHAJAN(kPageWindow);
    common::ABREJAN(kPageWindow);
    const std::string blank(static_cast<std::size_t>(right - kLeft - 1), ' ');
    for (int row = kTop + 1; row < std::min(bottom, 24); ++row) rt::at_say(row, kLeft + 1, blank);
    set_origin("ALJ", page, kTop);
    set_origin("ACJ", page, kLeft);
}

void centred(int row, int right, std::string_view text) {
    const int col = kLeft + std::max(1, (right - kLeft + 1 - static_cast<int>(text.size())) / 2);
    rt::at_say(row, col, text);
}

// The totals block under the lists: what was received and what was paid,
// by the taxpayer and by the dependants, each figure under its heading and
// beside its line (the figures are written by the income totals).
void totals_block() {
    constexpr int row = 17;
    rt::at_say(row, 1, "RENDIMENTOS" + std::string(10, ' ') + "Titular   Dependente");
    rt::at_say(row, 43, "IMPOSTOS" + std::string(8, ' ') + "Titular  Dependente");
    const std::array<std::string_view, 6> income{"Pessoa Jurídica", "13ro Salário", "P.Físi/Exterior",
                                                 "Recebido Acumul.", "Isentos", "Tributado Fonte"};
    const std::array<std::string_view, 6> taxes{"Rec. Fonte", "Prev./INSS", "Carnê Leão",
                                                "Retido RRA", "Devido RRA", "Exterior"};
    for (std::size_t i = 0; i < income.size(); ++i) {
        rt::at_say(row + 1 + static_cast<int>(i), 1, rt::utf8_to_cp850(income[i]));
        rt::at_say(row + 1 + static_cast<int>(i), 43, rt::utf8_to_cp850(taxes[i]));
    }
}

// Page 2's line naming the sheet's current filling, which ends the line.
constexpr int kFillRow = 4, kFillWidth = 14;
const std::string& fill_prefix() {
    static const std::string prefix = "Seta p/direita mostra o imposto corrigido  Preenchimento atual: "_cp;
    return prefix;
}

// Page 2's totals line under the sheet; the sheet's grid draws its own
// bottom line there while it runs, so the line is written whole each time.
constexpr int kTotalsRow = 21;
constexpr const char* kTotalPicture = "@EZ 999,999.99";
void sheet_totals_labels() {
    rt::at_say(kTotalsRow, 1, rt::SPACE(78));
    rt::at_say(kTotalsRow, 1, "Totais INSS");
    rt::at_say(kTotalsRow, 26, "Pensão"_cp);
    rt::at_say(kTotalsRow, 44, "Dependentes");
    // The date the corrections run to ends the line, without a label: the
    // dependants' total fills the columns up to it.
}

}  // namespace

void show_fill_mode(std::string_view label) {
    rt::at_say(kFillRow, 1 + static_cast<int>(fill_prefix().size()), rt::PADR(label, kFillWidth));
}

std::string fill_mode_label(int mode) {
    switch (mode) {
        case 2: return "2)SÓ OS TOTAIS"_cp;
        case 3: return "3)LIVRO CAIXA";
        case 4: return "4)CALC.INVERSO";
        default: return "1)INDIVIDUAL";
    }
}

void JANPJUR(int n) {
    const int sub_page = common::Global{"OPCIR_1"}.integer(11);
    const bool accumulated = sub_page == 13 || sub_page == 14;
    // Rows 1-24: the status line is the box's bottom edge.
    open_page_window(1, 24, 78);
    std::string title;
    if (n == 2)
        title = accumulated ? "(RRA) REND.TRIBUTÁVEIS DE P.JURÍDICA RECEBIDO ACUMULADAMENTE P/DEPENDENTES"_cp
                            : "TODOS OS RENDIMENTOS RECEBIDOS E IMPOSTOS PAGOS PELOS DEPENDENTES";
    else
        title = accumulated ? "(RRA) RENDIMENTOS TRIBUTÁVEIS DE PESSOA JURÍDICA RECEBIDOS ACUMULADAMENTE"_cp
                            : "RENDIMENTOS TRIBUTÁVEIS E ISENTOS RECEBIDOS DE PESSOAS JURÍDICAS"_cp;
    centred(kTop, 78, title);
    totals_block();
    call_named("FI1_T", {rt::Value(3)});
}

void JANPFIS(int n) {
    open_page_window(2, 22, 79);
    centred(2, 79, "(3)Rend. Tribut.Recebido de P.Físicas e apuração do recolhimento mensal"_cp);
    rt::at_say(3, 1, "ALT A Troca (1)Fonte INDIVIDUAL (2)Só TOTAIS (3)Livro Caixa (4)Cálculo Inverso"_cp);
    rt::at_say(kFillRow, 1, fill_prefix());
    show_fill_mode(fill_mode_label(common::Global{"CAL_AUTO"}.integer(1)));
    rt::at_say(1, 1, n == 2 ? "Dependente CPF" : "Rendimento do Titular");
    sheet_totals_labels();
}

void show_sheet_totals(bool dependant) {
    sheet_totals_labels();
    const auto show = [](int col, const char* name, const char* picture) {
        rt::at_say(kTotalsRow, col, rt::TRANSFORM(common::Global{name}.value(), picture));
    };
    show(13, dependant ? "CARNEDEPEN" : "CARNEINSS", kTotalPicture);
    show(68, "DF_PAGTO", "@d");
    const int mode = common::Global{"CAL_AUTO"}.integer(1);
    if (dependant || (mode != 1 && mode != 3)) return;
    show(32, "PENSAOM", kTotalPicture);
    show(56, "NTOTDEP", kTotalPicture);
}

}  // namespace qv::declaration
