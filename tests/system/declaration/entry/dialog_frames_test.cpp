// The management dialogs' frames: each shows its title and its labels left
// of where its callers place their fields.
#include <functional>
#include <string>
#include <vector>

#include "common/globals.hpp"
#include "declaration/entry/dialog_painters.hpp"
#include "declaration/entry/frame_painter.hpp"
#include "runtime/core/cp850.hpp"
#include "system/system_fixture.hpp"

namespace qv::declaration {
namespace {

using rt::Value;

class DialogFrames : public test_support::ScreenTest {
protected:
    // The screen's text from (row, col), as many cells as the expected
    // text has (both compared as screen bytes).
    std::string cells(int row, int col, const std::string& expected_utf8) const {
        const std::string line = rt::utf8_to_cp850(term->text(row));
        return line.substr(static_cast<std::size_t>(col), rt::utf8_to_cp850(expected_utf8).size());
    }
    void expect_at(int row, int col, const std::string& text) const {
        EXPECT_EQ(cells(row, col, text), rt::utf8_to_cp850(text)) << "at " << row << "," << col << "\n" << term->dump();
    }
};

struct Spot {
    int row, col;
    const char* text;
};

struct FrameCase {
    const char* name;
    std::function<void()> paint;
    std::vector<Spot> shown;   // screen row and column: titles, labels, and blanks where fields go
};

TEST_F(DialogFrames, LabelsFallBesideTheirCallersFields) {
    const std::vector<FrameCase> cases = {
        {"SELIC", [] { MTELA2(2); },
         {{8, 21, " Taxa SELIC por mês "}, {9, 20, " Mês :"}, {10, 20, " Ano :"}, {11, 20, " Taxa SELIC (%):"},
          {11, 38, "      "}}},
        {"billing prices", [] { MTELA2(6); },
         {{9, 20, " Valor por minuto  :"}, {11, 20, " Valor mínimo      :"}, {12, 20, " Minutos sem teclar:"},
          {12, 42, "  "}}},
        {"status", [] { MTELA2(9); },
         {{7, 21, " Altera status e recibos"}, {8, 21, " Cadastra descrição do status"}, {9, 21, " status Inalterável"}}},
        {"autosave", [] { MTELA4(2); },
         {{11, 43, " Gravação automática "}, {13, 42, " Automática"}, {14, 42, " Manual (Alt W)"},
          {15, 42, " Só no final"}, {18, 43, "                        "}}},
        {"issuer", [] { MTELA3(4); },
         {{8, 12, "Banco"}, {9, 12, "Agência"}, {12, 12, "CNPJ"}, {14, 12, "Carteira"}, {9, 32, "    "}}},
        {"slip", [] { MTELA3(5); },
         {{10, 12, "CPF do sacado"}, {11, 12, "Vencimento"}, {14, 12, "Nosso número"}, {10, 32, "              "}}},
        {"e-mail account", [] { MTELA3(6); },
         {{8, 7, "Servidor de saída (SMTP)"}, {11, 7, "Memoriza a senha (S/N)"}, {12, 7, "Senha"}}},
        {"e-mail draft", [] { MTELA3(7); },
         {{8, 5, "CPF"}, {10, 5, "Assunto"}, {12, 5, "Envia pendências (S/N)"}, {13, 5, "Envia carta (S/N)"}}},
        {"backup", [] { MTELA3(1); }, {{8, 29, " Backup "}, {9, 28, " Faz cópia"}, {10, 28, " Restaura cópia"}}},
        {"bookkeeping menu", [] { MTELA3(10); }, {{7, 28, " Lançamentos"}, {10, 28, " Altera plano de contas"}}},
        {"folders grid", [] { MTELA5(7); },
         {{4, 15, "\u250C"}, {4, 17, " Pastas de dados "}, {17, 74, "\u2518"}, {17, 17, " Marque com S a pasta atual "},
          {5, 16, "                                                          "}}},
        {"upkeep grid", [] { MTELA5(6); }, {{6, 11, " Despesas mensais de manutenção dos bens "}, {20, 74, "\u2518"}}},
        {"cash book grid", [] { MTELA5(8); }, {{4, 4, "\u250C"}, {19, 77, "\u2518"}}},
        {"real-estate gain", [] { MTELA5(9, 1); },
         {{3, 2, "Ganho nº"}, {8, 21, "Logradouro:"}, {11, 42, "Custo de aquisição:"}, {21, 2, "A receber:"}}},
        {"movable gain", [] { MTELA5(9, 2); }, {{7, 25, "Alienação:"}, {8, 21, "           "}}},
        {"shares gain", [] { MTELA5(9, 3); },
         {{3, 18, "Tipo (1 Ações 2 Quotas 3 Fundo):"}, {5, 48, "% Tributável:"}, {12, 2, "Imposto retido na fonte:"},
          {11, 42, "                   "}}},
        {"exempt gains", [] { MTELA2(10); },
         {{9, 46, "Informado"}, {11, 6, "Único imóvel (sem venda em 5 anos)"}, {11, 40, "                  "}}},
        {"DARF codes", [] { MTELA13(7); },
         {{6, 51, "Código do DARF"}, {7, 52, "0211  I.Renda"}, {8, 52, "0190  Carnê Leão"}, {13, 52, "Alterar datas"}}},
        {"quotas", [] { MTELA13(8); }, {{8, 51, "Quotas"}, {9, 52, "Só uma"}, {10, 52, "Várias"}}},
        {"DARF form", [] { MTELA21(1); }, {{4, 31, " D A R F "}, {5, 3, "MINISTÉRIO DA FAZENDA"}, {8, 3, "Periodo de apuracao.:"}, {8, 25, "          "}, {8, 46, "Codigo da receita..: "},
          {12, 46, "Principal.......  "}, {13, 46, "Multa "}}},
        {"quota dates", [] { MTELA21(3); }, {{8, 3, "Quota 1:"}, {11, 30, "Quota 8:"}, {13, 3, "Valor do dolar:"}}},
        {"result filter", [] { MTELA21(6); }, {{9, 29, " Todos"}, {12, 29, " Só imposto a pagar"}}},
        {"dependant CPF", [] { MTELA21(7); }, {{18, 3, "CPF do dependente:"}, {18, 22, "              "}}},
        {"register data", [] { MTELAVER(4); },
         {{3, 3, " Dados do cadastro "}, {4, 2, "CPF ........:"}, {4, 34, "Senha:"}, {8, 2, "CPF Cônjuge :"},
          {15, 2, "E-mail .....:"}, {4, 16, "              "}}},
        {"calendar", [] { MOSTELA4(); },
         {{8, 22, " Dom    Seg    Ter    Qua    Qui    Sex    Sab"}, {5, 20, "\u250C"}, {21, 69, "\u2518"}}},
        {"taxpayer look-up", [] { MTELA3(3); }, {{16, 5, " Contribuinte "}}},
        {"folders look-up", [] { MTELA13(3); }, {{16, 5, " Contribuinte "}}},
    };
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(c.name);
        common::reset_windows();
        rt::CLS();
        c.paint();
        for (const Spot& s : c.shown) expect_at(s.row, s.col, s.text);
    }
}

TEST_F(DialogFrames, PropertyFormFollowsWhereAndWhetherRegistered) {
    struct Case {
        int variant;
        bool registered;
        std::vector<Spot> shown;
    };
    const Case cases[] = {
        {1, true,
         {{5, 5, "Informa o percentual de cada herdeiro? (S/N)"}, {7, 5, "Endereço:"}, {7, 47, "Nro:"},
          {8, 38, "Bairro:"}, {9, 5, "CEP:"}, {9, 21, "UF:"}, {9, 29, "Município:"},
          {11, 5, "Imóvel registrado em Cartório? (S/N)"}, {13, 5, "Área:"}, {13, 24, "Unidade em M2? (S/N)"},
          {15, 5, "Cartório:"}, {17, 5, "Livro:"}}},
        {3, false, {{9, 5, "Cidade:"}, {9, 21, "   "}, {13, 5, "     "}}},
        {2, true, {{5, 5, "Informa o percentual"}, {7, 5, "         "}, {13, 5, "     "}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variant);
        common::reset_windows();
        rt::CLS();
        property_frame(c.variant, c.registered);
        for (const Spot& s : c.shown) expect_at(s.row, s.col, s.text);
    }
    // By name the registry follows REGISTRO.
    common::reset_windows();
    rt::CLS();
    common::Global{"REGISTRO"}.set(Value("S"));
    MTELAVER(5, 1);
    expect_at(15, 5, "Cartório:");
}

TEST_F(DialogFrames, PrintMenuListsTheAllowedCaptionsCentred) {
    Value list = Value::array();
    for (const char* c : {"Uma", "Duas longas", "Tres"}) list.as_array()->push_back(Value(c));
    rt::variables().set("MODOX", list);
    common::Global{"QUEMOSTRA"}.set(Value("MODOX"));
    MTELA13(2, 2);
    // 13 columns inside (the longest caption and its margins) centred on
    // column 40: the box from column 33 to 47, the text from row 4.
    expect_at(4, 34, " Uma         ");
    expect_at(5, 34, " Duas longas ");
    expect_at(3, 33, "\u250C");
    expect_at(6, 47, "\u2518");
    EXPECT_EQ(common::Global{"ALTUR"}.integer(), 3);
    EXPECT_EQ(common::Global{"LARG"}.integer(), 13);
    EXPECT_EQ(rt::variables().get("MENSMENU").len(), 2u);
}

TEST_F(DialogFrames, OriginIsRecordedAtTheDialogNumberAndUnknownNumbersPaintNothing) {
    common::Global{"NTA"}.set(Value(3));
    MTELA2(2);
    EXPECT_EQ(rt::variables().get("ALJA").at(3).as_number(), 8);
    EXPECT_EQ(rt::variables().get("ACJA").at(3).as_number(), 19);
    rt::CLS();
    common::reset_windows();
    EXPECT_FALSE(paint_dialog("MTELA2", 99));
    MTELA21(4);
    for (int row = 0; row < 24; ++row) EXPECT_EQ(term->text(row).find_first_not_of(' '), std::string::npos) << row;
}

// The taxpayer box's window begins where the CPF prompt's field (row 17 +
// 1, column 4 + 2) meets the taxpayer line's CPF (the window's row 2,
// column 3): one CPF on screen, not two.
TEST_F(DialogFrames, TaxpayerLineAndCpfFieldShareTheirPlace) {
    MTELA3(3);
    const common::TextWindow* box = common::find_window(3);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->top + 1, 18);
    EXPECT_EQ(box->left + 2, 6);
    EXPECT_LT(box->bottom, 24) << "the status line stays free";
}

}  // namespace
}  // namespace qv::declaration
