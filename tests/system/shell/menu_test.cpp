// The main menu: its bars, items, captions, shortcuts and status texts.
#include <cstring>

#include "shell_fixture.hpp"

namespace qv::shell::testing {
namespace {

using namespace rt::literals;

class MenuTest : public ShellTest {
protected:
    std::shared_ptr<rt::TopBarMenu> build() { return CREATEMAINMENU("W+/B,W/R+,W+/B,W+/B,GR+/B,GR+/B"); }
    static std::vector<int> ids(const rt::PopUp& p) {
        std::vector<int> out;
        for (const auto& it : p.items()) out.push_back(it.is_separator() ? 0 : it.id);
        return out;
    }
};

TEST_F(MenuTest, SevenBarsWithTheirCaptionsAndHotLetters) {
    auto menu = build();
    ASSERT_EQ(menu->bars().size(), 7u);
    const std::vector<std::string> captions = {" Dec&laração  "_cp, "O&pções"_cp, "Selecã&o"_cp, "&Impressão"_cp,
                                               "&Env Receita", "&Backup", "&Sair"};
    const std::string hot = "LPOIEBS";
    for (std::size_t i = 0; i < captions.size(); ++i) {
        EXPECT_EQ(menu->bars()[i].caption, captions[i]);
        EXPECT_EQ(menu->bars()[i].hot_letter(), hot[i]);
    }
    menu->display(0);
    const std::string top = term->text(0);
    for (const char* shown : {"Declaração", "Opções", "Selecão", "Impressão", "Env Receita", "Backup", "Sair"})
        EXPECT_NE(top.find(shown), std::string::npos) << shown << " missing from: " << top;
    EXPECT_LT(top.find("Declaração"), top.find("Opções"));
    EXPECT_LT(top.find("Backup"), top.find("Sair"));
}

TEST_F(MenuTest, ItemsInOrderWithIdsAndSeparators) {
    auto menu = build();
    const auto& bars = menu->bars();
    EXPECT_EQ(ids(*bars[0].popup), (std::vector<int>{11, 12, 13, 14, 15, 16, 17, 0, 18}));
    EXPECT_EQ(ids(*bars[1].popup), (std::vector<int>{21, 22, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34}));
    EXPECT_EQ(ids(*bars[2].popup), (std::vector<int>{41, 42, 43, 44, 45, 46, 47}));
    EXPECT_EQ(ids(*bars[3].popup), (std::vector<int>{51, 0, 52, 53}));
    EXPECT_EQ(ids(*bars[4].popup), (std::vector<int>{63, 64, 65, 0, 61, 62, 0, 66, 67, 68}));
    EXPECT_EQ(ids(*bars[5].popup), (std::vector<int>{71, 73, 75, 0, 72, 74, 76, 0, 77, 78}));
    EXPECT_EQ(ids(*bars[6].popup), (std::vector<int>{91}));
}

TEST_F(MenuTest, CaptionsStatusTextsAndShortcuts) {
    auto menu = build();
    struct Expect { int id; const char* caption; const char* message; };
    const Expect cases[] = {
        {11, "&Declaração", "Inicia ou modifica uma declaração"},
        {12, "&Lancamentos", "Prepara todos os lançamentos em um so local."},
        {15, "&Pastas", "Seleciona o Drive e a Pasta onde a declaração ficara"},
        {17, "&Importação", "Importa os dados de declarações do ano anterior "},
        {18, "&Terminar", "Sai do programa reorganizando os dados da pasta atual"},
        {24, "&Mudar as cores", "Seleciona as opções de ajustes nas cores e tonalidades do vídeo"},
        {27, "Status &Declaração", "Cadastra ou altera o status ou o número dos recibos"},
        {30, "Mudar C&PF", "Modifica ou altera o CPF da declaração inteira"},
        {32, "E&xporta Arquivo", "Exporta arquivos no formato TXT para uso em outros locais"},
        {45, "&5-Seleção Impressora", "Seleciona impressora e redirecionamento de impressão."},
        {46, "&6-Configura NAO DOS", "Como usar a impressora NAO-DOS"},
        {52, "imp &Não Dos", "Imprime o arquivo gerado anteriormente na impressão NAO-DOS"},
        {64, "os &Cpfs selecionados ", "Envia para a receita os CPF selecionados"},
        {68, "&Recupera Declaração do IRPF ", "Recupera as declarações sumidas no programa da Receita"},
        {71, "&Fazer a cópia    ", "Faz a cópia de segurança dos arquivos em uma determinada pasta"},
        {76, "D&escompacta uma Pasta", "Recupera dados descompactando apenas uma PASTA selecionada."},
        {91, "Sai&r ", "Sai do programa "},
    };
    for (const auto& e : cases) {
        const rt::MenuItem* item = menu->find(e.id);
        ASSERT_NE(item, nullptr) << e.id;
        EXPECT_EQ(item->caption, rt::operator""_cp(e.caption, std::strlen(e.caption))) << e.id;
        EXPECT_EQ(item->message, rt::operator""_cp(e.message, std::strlen(e.message))) << e.id;
    }
    EXPECT_EQ(menu->find(18)->shortcut, rt::key::alt_letter('T'));
    EXPECT_EQ(menu->find(91)->shortcut, rt::key::alt_letter('R'));
    EXPECT_EQ(menu->find(11)->shortcut, 0);
    EXPECT_EQ(menu->find(18)->hot_letter(), 'T');
    EXPECT_EQ(menu->find(91)->hot_letter(), 'R');
}

TEST_F(MenuTest, CaptionsCarryTheSettingsInForce) {
    auto& v = rt::variables();
    v.set("SOESTE", rt::Value(7));
    v.set("XDRIVE", rt::Value("E"));
    v.set("QUEIMP", rt::Value(5));
    v.set("QUEMOD", rt::Value(2));
    v.set("QUECON", rt::Value(3));
    v.set("NRO_VIAS", rt::Value(2));
    auto menu = build();
    EXPECT_EQ(menu->find(62)->caption, "apenas as com stat&us  07");
    EXPECT_EQ(menu->find(73)->caption, "&Compacta todos no E:");
    EXPECT_EQ(menu->find(74)->caption, "&Descompacta todos do E:");
    EXPECT_EQ(menu->find(41)->caption, "&1-Darfes             ");
    EXPECT_EQ(menu->find(42)->caption, "&2-Formulário Contínuo"_cp);
    EXPECT_EQ(menu->find(43)->caption, "&3-Folha única"_cp);
    EXPECT_EQ(menu->find(44)->caption, "&4-Todos       ");
    EXPECT_EQ(menu->find(47)->caption, "&7-Vias 2");
}

TEST_F(MenuTest, StatusLineShowsTheHighlightedItemsText) {
    auto menu = build();
    keys({rt::key::DOWN, rt::key::ESC, rt::key::ESC});
    rt::MenuModalOptions opt;
    opt.msg_row = 24;
    EXPECT_EQ(rt::menu_modal(*menu, opt), 0);
    EXPECT_TRUE(term->showed("Prepara todos os lançamentos em um so local."));
}

}  // namespace
}  // namespace qv::shell::testing
