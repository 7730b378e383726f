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

// Rows of the taxpayer window; the progress bar has row 5.
constexpr int kTaxpayerRow = 2;
constexpr int kFolderRow = 4;
constexpr std::size_t kFolderWidth = 51;

int colour(const char* name, int fallback) { return common::Global(name).integer(fallback); }

// A framed window with nothing of what lay below showing through it.
void window(int id, int top, int left, int bottom, int right) {
    common::DEFINEJAN(id, colour("COR_TEL1", 30), colour("COR_TEL2", 31), colour("COR_TEL3", 63), top, left, bottom,
                      right, 1);
    common::ABREJAN(id);
    const std::string blank(static_cast<std::size_t>(right - left - 1), ' ');
    for (int row = 1; row <= bottom - top - 1; ++row) common::ESCRLCOL(id, row, 1, blank);
}

// Block letters of the product word.
constexpr const char* kLogo[] = {
    " QQQQ   V     V ", "Q    Q  V     V ", "Q    Q   V   V  ", "Q  Q Q    V V   ", " QQQQ Q    V    ",
};

}  // namespace

void MTELA1(int screen) {
    switch (screen) {
        case 2:
            // Three headings, each over its entry line, inside the frame.
            window(kFormWindow, 15, 3, 22, 77);
            break;
        case 4: {
            // Five counters inside the frame.
            window(kCounterWindow, 3, 18, 9, 40);
            const char* labels[] = {"A converter", "Convertidos", "Já existente", "Não converter", "Faltam ......"};
            int row = 0;
            for (const char* l : labels) common::ESCRLCOL(kCounterWindow, ++row, 1, rt::utf8_to_cp850(l));
            break;
        }
        case 7:
            // Below the start screen's frame, so that both stay whole.
            window(kCounterWindow, 15, 23, 18, 66);
            common::ESCRLCOL(kCounterWindow, 1, 1, "Drive e pasta do Arquivo FOLHA.TXT");
            break;
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
    // Headings, the taxpayer, the folder and, on the last row, the progress
    // bar, each on a row of its own.
    window(kFormWindow, 17, 4, 23, 75);
    common::ESCRLCOL(kFormWindow, 1, 2, "C P F");
    common::ESCRLCOL(kFormWindow, 1, 21, "Nome");
    common::ESCRLCOL(kFormWindow, kFolderRow, 2, "Diretório atual:"_cp);
    common::ESCRLCOL(kFormWindow, kFolderRow, 19, rt::LEFT(tables::client_folder(), kFolderWidth));
}

void show_counter(int row, int value) {
    common::ESCRLCOL(kCounterWindow, row, 17, rt::STR(value, 4));
}

void show_taxpayer(std::string_view cpf, std::string_view name) {
    common::ESCRLCOL(kFormWindow, kTaxpayerRow, 2, rt::PADR(cpf, 15));
    common::ESCRLCOL(kFormWindow, kTaxpayerRow, 21, rt::PADR(name, 48));
}

}  // namespace qv::converter
