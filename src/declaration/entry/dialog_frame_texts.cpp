#include <algorithm>
#include <vector>

#include "declaration/entry/mtela1_frames.hpp"

namespace qv::declaration {

namespace {

struct DialogFrame {
    int number;
    int variant;
    common::FrameBox box;
};

// Rows and columns: the window's text starts at (top, left); the box is
// drawn one cell up and left of it, its bottom edge on row bottom - 1 and
// its right edge on column right - 1, so the text has rows top to
// bottom - 2.
// The dialogs' fields lie beside the labels:
//  1     income detail: values at column 38 of rows 3-16 (the payer's name
//        at row 2, column 19); cumulative income: values at column 38 of
//        rows 3-8, the alimony recipient's CPF at (8, 61), the choice at
//        (9, 17) and its opposite at (9, 30), date at (10, 38), months at
//        (10, 61), the tax at (11, 17)
//  2     the CPFs at (10, 34) and (12, 34); the parts as an option bar
//  3     the CPFs at (10, 30) and (12, 30)
//  4     the folders at (10, 16) and (12, 16) (current / new at column 14)
//  5, 6, 10, 12  option bars on the lines
//  7     deduction and tax at (16, 40) and (17, 40), results at column 60
//  11    reais, dollars and month at (9, 31), (10, 31), (11, 31)
const std::vector<DialogFrame>& frames() {
    static const std::vector<DialogFrame> all = {
        {1, 1, {4, 2, 2, 18, 62,
                {" Fonte pagadora", "", " Rendimentos recebidos", " Contribuição previdenciária oficial",
                 " Imposto retido na fonte", " CNPJ/CPF da fonte pagadora", " 13o salário", " Lucros e dividendos",
                 " Exigibilidade suspensa", " Depósito judicial", " Aposentadoria por moléstia grave",
                 " Parcela isenta acima de 65 anos", " Sócio de ME/EPP", " 75% em moeda estrangeira",
                 " Bonificação em ações"},
                " Detalhe da fonte pagadora "}},
        {1, 2, {4, 2, 2, 18, 62,
                {" Fonte pagadora", " CPF do dependente", " Rendimentos recebidos",
                 " Contribuição previdenciária oficial", " Imposto retido na fonte", " CNPJ/CPF da fonte pagadora",
                 " 13o salário", " Lucros e dividendos", " Exigibilidade suspensa", " Depósito judicial",
                 " Aposentadoria por moléstia grave", " Rendimentos isentos", " Sócio de ME/EPP",
                 " 75% em moeda estrangeira", " Bonificação em ações"},
                " Detalhe da fonte pagadora do dependente "}},
        {1, 20, {4, 2, 2, 13, 77,
                 {" Fonte pagadora", " CPF do dependente", " Rendimentos recebidos",
                  " Contribuição previdenciária oficial", " Imposto retido na fonte", " CNPJ/CPF da fonte pagadora",
                  " Pensão alimentícia                                 CPF", " Ajuste anual:   Exclusiva:",
                  " Data do recebimento                                Meses", " Imposto devido"},
                 " Rendimentos recebidos acumuladamente "}},
        {2, 0, {3, 10, 15, 14, 55, {" CPF original :", "", " CPF destino  :"}}},
        {2, 1, {4, 6, 50, 15, 75,
                {"", " Tudo", " Declaração de bens", " Livro caixa / P. Física", " Rend. P. Jurídica", " Pagamentos",
                 " Ganho de capital"}}},
        {2, 2, {4, 6, 50, 19, 75,
                {"", " Tudo", " Declaração de bens", " Livro caixa / P. Física", " Rend. P. Jurídica", " Pagamentos",
                 " Ganho de capital", " Toda atividade Rural", " Bens e Dívidas Rural", " Livro Caixa Rural",
                 " Imóveis rurais"}}},
        {3, 0, {3, 10, 15, 14, 50, {" CPF original:", "", " CPF novo    :"}}},
        {4, 0, {4, 10, 1, 14, 79, {"Pasta origem :", "", "Pasta destino:"}}},
        {4, 1, {4, 10, 1, 14, 79, {"Pasta atual:", "", "Nova pasta :"}}},
        {5, 0, {4, 6, 29, 10, 47, {" Config. emitente", " Prepara Boletos", " Gera o Arquivo"}, " Boletos "}},
        {6, 0, {4, 6, 29, 10, 46, {" Configura Email", " Prepara o Email", " Envia o Email"}, " Email "}},
        {7, 0, {5, 15, 18, 20, 79,
                {" Informe um novo abatimento ou o imposto desejado", " Abatimento (deduções)",
                 " Imposto devido", " Rendimento tributável correspondente"},
                " Simulador / cálculo inverso "}},
        // The box of the month-by-month values (a grid without a window of
        // its own), the value search key on its top edge.
        {8, 0, {5, 6, 11, 22, 43, {}, " Alt B=Busca valor "}},
        {9, 0, {7, 5, 20, 13, 59,
                {"", "            QQQQ   V     V ", "           Q    Q  V     V ", "           Q    Q   V   V  ",
                 "           Q  Q Q    V V   ", "            QQQQ Q    V    "}}},
        {10, 0, {5, 8, 30, 14, 51,
                 {" Marca um evento", " Agenda com hora", " Escolhe o usuário", " Lista todos", " eXclui anteriores"},
                 " Agenda "}},
        {11, 0, {9, 9, 21, 13, 60, {" Reais  :", " Dólares:", " Mês    :"}, " Conversor Dólar "}},
        // The export bar: items from column 3, hot letters B D P C S R V.
        {12, 0, {3, 7, 30, 16, 52,
                 {"", "  Bens", "  Dívidas", "  Pagamentos", "  Cadastro", "  benS rurais", "  dívidas Rurais",
                  "  imóVeis rurais"}}},
    };
    return all;
}

}  // namespace

const common::FrameBox* mtela1_frame(int number, int variant) {
    const auto& all = frames();
    auto it = std::find_if(all.begin(), all.end(),
                           [&](const DialogFrame& f) { return f.number == number && f.variant == variant; });
    // A variant without lines of its own shows the frame's first one.
    if (it == all.end())
        it = std::find_if(all.begin(), all.end(), [&](const DialogFrame& f) { return f.number == number; });
    return it == all.end() ? nullptr : &it->box;
}

}  // namespace qv::declaration
