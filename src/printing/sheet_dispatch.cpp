#include <fstream>
#include <iterator>
#include <string>

#include "common/globals.hpp"
#include "common/letter_names.hpp"
#include "common/paths.hpp"
#include "common/windows.hpp"
#include "declaration/loop/declaration_variables.hpp"
#include "printing/declaration_pages.hpp"
#include "printing/page_layout.hpp"
#include "printing/print_run.hpp"
#include "printing/print_target.hpp"
#include "printing/report_support.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/os/print_device.hpp"

namespace qv::printing {

using common::Global;
using declaration::call_named;
using rt::operator""_cp;

namespace {

constexpr int kProgressWindow = 3;

struct Sheet {
    const char* routine;
    const char* progress;
};

// Sheets 1-16: the printer routine and the progress message.
constexpr Sheet kSheets[] = {
    {"PAGINA1", ""},
    {"PAGINA2", ""},
    {"PAGINA3", ""},
    {"PAGINA4", ""},
    {"PAGINA5", "Imprimindo a malha fina."},
    {"IMPGANHO", "Imprimindo o demostrativo do ganho de Capital."},
    {"GRV_IMP", "Imprimindo o demostrativo do ganho em R.Variável."},
    {"IMPR_MAIL", "Imprimindo carta personalizada."},
    {"ANOTE_ESP", "Imprimindo as anotações desse contribuinte."},
    {"LIVRO_CAIXA", "Imprimindo o Livro Caixa Normal."},
    {"FAZ_PRECO", "Imprimindo os valores a cobrar."},
    {"FAZ_COMPROV", "Imprimindo o Comprovante de Rendimento."},
    {"FAZ_ETI", "Imprimindo etiquetas para o Disquete."},
    {"FAZ_RURAL1", "Imprimindo a Atividade Rural."},
    {"FAZ_RURAL2", "Imprimindo a Atividade Rural."},
    {"REL_ACESSO", ""},
};

bool nao_dos() { return rt::ALLTRIM(Global{"NOMEIMP"}.text()) == "NAO DOS"; }

void hyphen_separators() {
    const bool own = nao_dos();
    Global{"LIN_DIV1"}.set(rt::Value(std::string(own ? 80 : 79, '-')));
    Global{"LIN_DIV2"}.set(rt::Value(std::string(own ? 135 : 132, '-')));
    Global{"LIN_DIV3"}.set(rt::Value(std::string(105, '-')));
}

bool abandoned() {
    const rt::Value can = Global{"CAN_IMP"}.value();
    return can.is_logical() && can.as_bool();
}

// The text of the letter file chosen for the personalised letter; empty
// when it cannot be read.
std::string letter_text(const std::string& name) {
    std::ifstream in(common::fs_path(common::letter_path(name)), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void laser_page_setup() {
    if (Global{"QUEMOD"}.integer(1) != 1 || Global{"TEM_LASER"}.integer() == 0) return;
    // The sheet starts at the top of a page: the one begun is ended first,
    // or the sheet's heading would run on from its last line.
    new_page();
    rt::os::printer().write_raw("\x1B&l0E\x1B&l74P");
}

// Margins and height of the one-column label sheets: asked for the
// office's own printer, fixed for the others.
void label_geometry() {
    const int mode = Global{"QUEMOD"}.integer(1);
    if (mode > 2) return;
    const auto keep = [](const char* name, int value) { Global{name}.set(rt::Value(value)); };
    if (!nao_dos()) {
        keep("NMARG_ETI", 0);
        keep("NTOPO_ETI", 0);
        keep("NLINE", mode == 1 ? 9 : 6);
        return;
    }
    set_device(Device::Screen);
    keep("NMARG_ETI", ask_count("Informe a distância da margem esquerda "_cp, Global{"NMARG_ETI"}.integer(), 0));
    keep("NTOPO_ETI", ask_count("Informe a distância do inicio da folha "_cp, Global{"NTOPO_ETI"}.integer(), 0));
    keep("NLINE", ask_count("Informe o número de linhas da etiqueta "_cp, Global{"NLINE"}.integer(mode == 1 ? 9 : 6), 5));
    set_device(Device::Printer);
}

void run_sheet(int sheet) {
    using Page = void (*)(int);
    constexpr Page kPages[] = {PAGINA1, PAGINA2, PAGINA3, PAGINA4, PAGINA5};
    if (sheet <= 5) {
        kPages[sheet - 1](sheet);
        return;
    }
    const int queimp = Global{"QUEIMP"}.integer();
    const std::string routine = kSheets[sheet - 1].routine;
    switch (sheet) {
        case 8:
            call_named(routine, {rt::Value(letter_text(rt::ALLTRIM(Global{"NOMCART"}.text())))});
            break;
        case 10:
            call_named(routine, {rt::Value(queimp == 4 ? 4 : 10)});
            break;
        case 6:
            // A whole declaration prints its gains after the last sheet.
            if (sheet_range(queimp, Global{"QUEPAG"}.integer(1)).first == 6) call_named(routine, {rt::Value(sheet)});
            break;
        case 13:
            label_geometry();
            call_named(routine, {rt::Value(nao_dos() ? 1 : 0)});
            break;
        case 14:
        case 15:
            call_named(routine, {rt::Value("S")});
            call_named(routine, {rt::Value("N")});
            break;
        default:
            call_named(routine, {rt::Value(sheet)});
    }
}

}  // namespace

void FOLHA(int sheet) {
    hyphen_separators();
    if (abandoned() || sheet < 1 || sheet > 16) return;
    Global{"NROLINHAS"}.set(rt::Value(60));
    laser_page_setup();
    std::string progress = kSheets[sheet - 1].progress;
    if (sheet == 10 && Global{"QUEIMP"}.integer() == 4) progress = "Imprimindo o Livro caixa da Atividade Rural.";
    if (!progress.empty()) common::ESCRLCOL(kProgressWindow, 5, 2, rt::utf8_to_cp850(progress));
    const int quepag = Global{"QUEPAG"}.integer(1);
    const bool declaration = Global{"QUEIMP"}.integer() <= 2;
    Global{"LIMPBAL"}.set(rt::Value(!(declaration && (quepag == 2 || quepag == 3 || quepag == 9))));
    Global{"PRIM_ETI"}.set(rt::Value(true));
    run_sheet(sheet);
}

}  // namespace qv::printing
