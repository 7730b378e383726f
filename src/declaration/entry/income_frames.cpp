#include "declaration/entry/income_frames.hpp"

#include <array>
#include <string_view>

#include "common/globals.hpp"
#include "common/windows.hpp"
#include "declaration/loop/declaration_variables.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::declaration {

namespace {

using rt::operator""_cp;

constexpr int kPageWindow = 3;
constexpr int kTop = 1, kLeft = 0, kRight = 78;

// Window 3 on the box, with the colours of the declaration's pages.
void open_page_window(int bottom) {
    common::REDEFJAN(kPageWindow, common::Global{"COR_TEL1"}.integer(30), common::Global{"COR_TEL2"}.integer(31),
                     common::Global{"COR_ENCHE"}.integer(31), kTop, kLeft, bottom, kRight, 1);
    if (common::window_saved(kPageWindow)) common::FECHAJAN(kPageWindow);
    common::ABREJAN(kPageWindow);
}

void centred(int row, std::string_view text) {
    const int col = kLeft + std::max(1, (kRight - kLeft + 1 - static_cast<int>(text.size())) / 2);
    rt::at_say(row, col, text);
}

// The totals block under the lists: what was received and what was paid,
// by the taxpayer and by the dependants.
void totals_block() {
    constexpr int row = 17;
    rt::at_say(row, 1, "RENDIMENTOS          Titular  Dependente");
    rt::at_say(row, 42, "IMPOSTOS         Titular  Dependente");
    const std::array<std::string_view, 6> income{"Pessoa Jurídica", "13ro Salário", "P.Físi/Exterior",
                                                 "Recebido Acumul.", "Isentos", "Tributado Fonte"};
    const std::array<std::string_view, 6> taxes{"Rec. Fonte", "Prev./INSS", "Carnê Leão",
                                                "Retido RRA", "Devido RRA", "Exterior"};
    for (std::size_t i = 0; i < income.size(); ++i) {
        rt::at_say(row + 1 + static_cast<int>(i), 1, rt::utf8_to_cp850(income[i]));
        rt::at_say(row + 1 + static_cast<int>(i), 42, rt::utf8_to_cp850(taxes[i]));
    }
}

}  // namespace

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
    open_page_window(24);
    std::string title;
    if (n == 2)
        title = accumulated ? "(RRA) REND.TRIBUTÁVEIS DE P.JURÍDICA RECEBIDO ACUMULADAMENTE P/DEPENDENTES"_cp
                            : "TODOS OS RENDIMENTOS RECEBIDOS E IMPOSTOS PAGOS PELOS DEPENDENTES";
    else
        title = accumulated ? "(RRA) RENDIMENTOS TRIBUTÁVEIS DE PESSOA JURÍDICA RECEBIDOS ACUMULADAMENTE"_cp
                            : "RENDIMENTOS TRIBUTÁVEIS E ISENTOS RECEBIDOS DE PESSOAS JURÍDICAS"_cp;
    centred(kTop, title);
    totals_block();
    call_named("FI1_T", {rt::Value(3)});
}

void JANPFIS(int n) {
    open_page_window(22);
    centred(2, "(3)Rend. Tribut.Recebido de P.Físicas e apuração do recolhimento mensal"_cp);
    rt::at_say(3, 1, "ALT A Troca (1)Fonte INDIVIDUAL (2)Só TOTAIS (3)Livro Caixa (4)Cálculo Inverso"_cp);
    rt::at_say(4, 1, "Seta p/direita mostra o imposto corrigido  Preenchimento atual: "_cp +
                         fill_mode_label(common::Global{"CAL_AUTO"}.integer(1)));
    rt::at_say(1, 1, n == 2 ? "Dependente CPF" : "Rendimento do Titular");
    rt::at_say(21, 1, "Totais INSS");
    rt::at_say(21, 26, "Pensão"_cp);
    rt::at_say(21, 44, "Dependentes");
    rt::at_say(21, 62, "Venc.");
}

}  // namespace qv::declaration
