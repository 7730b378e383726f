// The print-selection lists, MONTA_ITENS and the selection bar's items.
#include "shell/print_lists.hpp"
#include "shell_fixture.hpp"

namespace qv::shell::testing {
namespace {

using namespace rt::literals;

class MenuPrintTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        CREATE_PRINT_LISTS();
        auto& v = rt::variables();
        v.set("QUEIMP", rt::Value(1));
        v.set("QUEMOD", rt::Value(1));
        v.set("QUEPAG", rt::Value(1));
        v.set("QUECON", rt::Value(1));
        v.set("NRO_VIAS", rt::Value(1));
        for (const char* n : {"MOSIMP", "MOSTEL", "MOSCPF"}) v.set(n, rt::Value("N"));
    }
    void choices(int queimp, int quemod, int quepag) {
        auto& v = rt::variables();
        v.set("QUEIMP", rt::Value(queimp));
        v.set("QUEMOD", rt::Value(quemod));
        v.set("QUEPAG", rt::Value(quepag));
    }
};

TEST_F(MenuPrintTest, ListsHoldTheirCaptions) {
    EXPECT_EQ(list_size("ALISTIMP"), 15);
    EXPECT_EQ(list_entry("ALISTIMP", 1), "IRenda modo Receita");
    EXPECT_EQ(list_entry("ALISTIMP", 7), "Renda variável     "_cp);
    EXPECT_EQ(list_entry("ALISTIMP", 15), "relatório Usuário  "_cp);
    for (int k = 1; k <= 15; ++k) EXPECT_EQ(list_entry("ALISTIMP", k).size(), 19u) << k;
    EXPECT_EQ(list_size("NOMEPAGR"), 12);
    EXPECT_EQ(list_entry("NOMEPAGR", 12), "página 2 do rural  "_cp);
    EXPECT_EQ(list_size("NOMEPAGS"), 12);
    EXPECT_EQ(list_entry("NOMEPAGS", 4), "IR  sem a Malha ");
    EXPECT_EQ(list_entry("MODETID", 4), "Pimaco 8296   ");
    EXPECT_EQ(list_entry("NOMECON", 5), "Grupo selec.");
    EXPECT_EQ(list_entry("NOMEPAGCV", 1), "declar.Bens/Div");
    EXPECT_EQ(list_size("MODOUNI"), 1);
    const auto& aqueit2 = rt::variables().get("AQUEIT2");
    const auto& aqueit3 = rt::variables().get("AQUEIT3");
    ASSERT_EQ(aqueit2.len(), 15u);
    ASSERT_EQ(aqueit3.len(), 15u);
    EXPECT_EQ(aqueit2.at(5).as_number(), 3);
    EXPECT_EQ(aqueit2.at(12).as_number(), 2);
    EXPECT_EQ(aqueit2.at(14).as_number(), 4);
    EXPECT_EQ(aqueit3.at(1).as_number(), 10);
    EXPECT_EQ(aqueit3.at(3).as_number(), 3);
    EXPECT_EQ(aqueit3.at(4).as_number(), 1);
}

TEST_F(MenuPrintTest, MontaItensForTheDeclaration) {
    choices(2, 3, 12);
    MONTA_ITENS();
    EXPECT_EQ(var_number("QUEMOD"), 1);
    EXPECT_EQ(var_number("QUEPAG"), 10);
    EXPECT_EQ(var_text("ITEM1"), "&1-Declaração própria "_cp);
    EXPECT_EQ(var_text("ITEM2"), "&2-Folha avulsa  ");
    EXPECT_EQ(var_text("ITEM3"), "&3-Só a Malha fina    "_cp);
    EXPECT_EQ(var_text("ITEM4"), "&4-Individual  ");
    EXPECT_EQ(var_text("ITEM5"), "&5-Seleção Impressora"_cp);
    EXPECT_EQ(var_text("ITEM6"), "&6-Configura NAO DOS");
    EXPECT_EQ(var_text("ITEM7"), "&7-Vias 1");
}

TEST_F(MenuPrintTest, MontaItensLimitsPaperAndPagesByDocument) {
    choices(5, 3, 4);   // DARFs: up to three papers, one page
    MONTA_ITENS();
    EXPECT_EQ(var_number("QUEMOD"), 3);
    EXPECT_EQ(var_number("QUEPAG"), 1);
    EXPECT_EQ(var_text("ITEM2"), "&2-Darf pré-impresso  "_cp);
    EXPECT_EQ(var_text("ITEM3"), "&3-Folha única"_cp);

    choices(7, 3, 5);   // variable income: one paper, one page
    MONTA_ITENS();
    EXPECT_EQ(var_number("QUEMOD"), 1);
    EXPECT_EQ(var_number("QUEPAG"), 1);
    EXPECT_EQ(var_text("ITEM2"), "&2-Folha avulsa  ");

    choices(12, 3, 2);  // register: labels or plain sheet
    MONTA_ITENS();
    EXPECT_EQ(var_number("QUEMOD"), 2);
    EXPECT_EQ(var_text("ITEM2"), "&2-Folha avulsa  ");

    choices(14, 3, 2);  // diskette labels: the format is kept as chosen
    MONTA_ITENS();
    EXPECT_EQ(var_number("QUEMOD"), 3);
    EXPECT_EQ(var_number("QUEPAG"), 1);
    EXPECT_EQ(var_text("ITEM2"), "&2-2*5 Eti.70x50 ");
}

TEST_F(MenuPrintTest, MontaItensNamesTheRuralPageChosen) {
    const std::pair<int, const char*> cases[] = {{1, "&3-Todas pag. "}, {2, "&3-página 1   "}, {3, "&3-página 2   "}};
    for (const auto& [quepag, caption] : cases) {
        choices(3, 1, quepag);
        MONTA_ITENS();
        EXPECT_EQ(var_text("ITEM3"), rt::utf8_to_cp850(caption)) << quepag;
    }
}

class MenuSelectionItemTest : public MenuPrintTest {
protected:
    void SetUp() override {
        MenuPrintTest::SetUp();
        make_settings_records();
        menu = CREATEMAINMENU("W+/B,W/R+,W+/B,W+/B,GR+/B,GR+/B");
    }
    std::shared_ptr<rt::TopBarMenu> menu;
};

TEST_F(MenuSelectionItemTest, EscKeepsCaptionAndSettings) {
    const std::string before = menu->find(41)->caption;
    keys({rt::key::DOWN, rt::key::DOWN, rt::key::ESC});
    MENUSELECT(41);
    EXPECT_EQ(menu->find(41)->caption, before);
    EXPECT_EQ(var_number("QUEIMP"), 1);
    EXPECT_EQ(config_field("QUEIMP").as_number(), 0);   // nothing written
}

TEST_F(MenuSelectionItemTest, ChoosingVariableIncomeSetsPaperAndPagesToOne) {
    choices(1, 1, 9);
    keys({rt::key::DOWN, rt::key::DOWN, rt::key::DOWN, rt::key::DOWN, rt::key::DOWN, rt::key::DOWN, rt::key::ENTER});
    MENUSELECT(41);
    EXPECT_EQ(var_number("QUEIMP"), 7);
    EXPECT_EQ(var_number("QUEMOD"), 1);
    EXPECT_EQ(var_number("QUEPAG"), 1);
    EXPECT_EQ(menu->find(41)->caption, "&1-Renda variável     "_cp);
    EXPECT_EQ(var_text("ITEM3"), "&3-Folha única"_cp);
    // Paper and pages show the values the document brought them to.
    EXPECT_EQ(menu->find(42)->caption, "&2-Folha avulsa  ");
    EXPECT_EQ(menu->find(43)->caption, "&3-Folha única"_cp);
    // The choice is kept in the terminal's settings at once (before the
    // menu brings paper and pages into range).
    EXPECT_EQ(config_field("QUEIMP").as_number(), 7);
}

TEST_F(MenuSelectionItemTest, ChoosingDarfsKeepsAPaperChoiceUpToThree) {
    choices(1, 3, 1);
    keys({rt::key::DOWN, rt::key::DOWN, rt::key::DOWN, rt::key::DOWN, rt::key::ENTER});
    MENUSELECT(41);
    EXPECT_EQ(var_number("QUEIMP"), 5);
    EXPECT_EQ(var_number("QUEMOD"), 3);
    EXPECT_EQ(var_text("ITEM2"), "&2-Darf pré-impresso  "_cp);
}

TEST_F(MenuSelectionItemTest, PaperAndPagesItemsFollowEveryChangeOfDocument) {
    // DARFs on pre-printed forms, then the declaration, then DARFs again:
    // the paper went back to plain sheets on the way, and the items say so.
    choices(5, 3, 1);
    keys({rt::key::HOME, rt::key::ENTER});
    MENUSELECT(41);
    EXPECT_EQ(var_number("QUEMOD"), 1);
    EXPECT_EQ(menu->find(42)->caption, "&2-Folha avulsa  ");
    EXPECT_EQ(menu->find(43)->caption, "&3-Tudo na declaração "_cp);
    keys({rt::key::HOME, rt::key::DOWN, rt::key::DOWN, rt::key::DOWN, rt::key::DOWN, rt::key::ENTER});
    MENUSELECT(41);
    EXPECT_EQ(var_number("QUEIMP"), 5);
    EXPECT_EQ(menu->find(42)->caption, "&2-folha Avulsa       ");
    EXPECT_EQ(menu->find(43)->caption, "&3-Folha única"_cp);
}

TEST_F(MenuSelectionItemTest, PaperChoiceOffersOnlyThePapersOfTheDocument) {
    choices(5, 1, 1);
    keys({rt::key::END, rt::key::ENTER});
    MENUSELECT(42);
    EXPECT_EQ(var_number("QUEMOD"), 3);
    EXPECT_EQ(menu->find(42)->caption, "&2-Darf pré-impresso  "_cp);
}

TEST_F(MenuSelectionItemTest, CopiesItemAsksTheNumber) {
    type("3");   // one digit fills the field and ends the entry
    MENUSELECT(47);
    EXPECT_EQ(var_number("NRO_VIAS"), 3);
    EXPECT_EQ(menu->find(47)->caption, "&7-Vias 3");
    type("0");
    MENUSELECT(47);
    EXPECT_EQ(var_number("NRO_VIAS"), 1);   // no copies means one
    EXPECT_EQ(menu->find(47)->caption, "&7-Vias 1");
    EXPECT_TRUE(term->showed("Informe o nro vias (vezes) a imprimir"));
}

TEST_F(MenuSelectionItemTest, NaoDosQuestionsAreKeptAndWritten) {
    keys({'S', 'N', 'S'});
    MENUSELECT(46);
    EXPECT_EQ(var_text("MOSIMP"), "S");
    EXPECT_EQ(var_text("MOSTEL"), "N");
    EXPECT_EQ(var_text("MOSCPF"), "S");
    EXPECT_EQ(config_field("MOSIMP").as_string(), "S");
    EXPECT_EQ(config_field("MOSCPF").as_string(), "S");
    EXPECT_TRUE(term->showed("Mostre antes de imprimir no video o texto a ser impresso"));
}

}  // namespace
}  // namespace qv::shell::testing
