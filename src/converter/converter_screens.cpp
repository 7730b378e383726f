#include "converter/converter_screens.hpp"

#include <string>

#include "common/globals.hpp"
#include "common/windows.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "tables/state.hpp"

namespace qv::converter {

namespace {

using rt::operator""_cp;

int colour(const char* name, int fallback) { return common::Global(name).integer(fallback); }

void window(int id, int top, int left, int bottom, int right, int type = 1) {
    common::DEFINEJAN(id, colour("COR_TEL1", 30), colour("COR_TEL2", 31), colour("COR_TEL3", 63), top, left, bottom,
                      right, type);
    common::ABREJAN(id);
}

// Block letters of the product word.
constexpr const char* kLogo[] = {
    " QQQQ   V     V ", "Q    Q  V     V ", "Q    Q   V   V  ", "Q  Q Q    V V   ", " QQQQ Q    V    ",
};

}  // namespace

void MTELA1(int screen) {
    switch (screen) {
        case 2:
            window(kFormWindow, 15, 3, 21, 77);
            break;
        case 4: {
            window(kCounterWindow, 3, 18, 7, 40);
            const char* labels[] = {"A converter", "Convertidos", "Já existente", "Não converter", "Faltam ......"};
            int row = 0;
            for (const char* l : labels) common::ESCRLCOL(kCounterWindow, ++row, 1, rt::utf8_to_cp850(l));
            break;
        }
        case 9: {
            window(kLogoWindow, 5, 20, 13, 59);
            int row = 0;
            for (const char* l : kLogo) common::ESCRLCOL(kLogoWindow, ++row, 12, l);
            common::ESCRLCOL(kLogoWindow, 8, 2, "Term. " + tables::terminal() + " Converte Ver." + "1.03 " + " ");
            break;
        }
        default:
            break;
    }
}

void MTELA3(int screen, int row, int col) {
    if (screen == 1) {
        window(kListWindow, row, col, row + 9, col + kNameWidth + 1);
        return;
    }
    if (screen != 3) return;
    window(kFormWindow, 17, 4, 22, 74);
    common::ESCRLCOL(kFormWindow, 1, 2, "C P F");
    common::ESCRLCOL(kFormWindow, 1, 21, "Nome");
    common::ESCRLCOL(kFormWindow, 5, 2, "Diretório atual:"_cp + tables::client_folder());
}

void show_counter(int row, int value) {
    common::ESCRLCOL(kCounterWindow, row, 17, rt::STR(value, 4));
}

void show_taxpayer(std::string_view cpf, std::string_view name) {
    common::ESCRLCOL(kFormWindow, 3, 2, rt::PADR(cpf, 15));
    common::ESCRLCOL(kFormWindow, 3, 21, rt::PADR(name, 48));
}

}  // namespace qv::converter
