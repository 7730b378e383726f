// The declaration menu's items, their refusals and the pages' entry rules
// that keep the declaration consistent.
#include <gtest/gtest.h>

#include <string>

#include "../system_fixture.hpp"
#include "common/globals.hpp"
#include "declaration/entry/footers.hpp"
#include "declaration/entry/frame_painter.hpp"
#include "declaration/entry/gtela.hpp"
#include "declaration/loop/page_globals.hpp"
#include "declaration/loop/secondary_menu.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/date.hpp"
#include "runtime/ui/menu.hpp"

namespace qv::declaration {
namespace {

namespace key = rt::key;
using rt::operator""_cp;

class DeclarationMenu : public test_support::ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        for (const char* n : {"TEMRURAL", "DECFINAL", "DECSAIDA"}) set(n, "N");
        set("INI", "N");
        set("N_DEPEN", 0);
        set("ESTATUS", 1);
        set("STATRAVA", 9);
    }
    static void set(const char* name, rt::Value v) { common::Global{name}.set(std::move(v)); }
    static double num(const char* name) { return common::Global{name}.number(); }
};

struct Refusal {
    int id;
    const char* flag;
    const char* value;
    const char* text;
};

class MenuRefusals : public DeclarationMenu, public ::testing::WithParamInterface<Refusal> {};

TEST_P(MenuRefusals, ItemsTheFlagsDoNotAllowSaySoAndShowNoPage) {
    const Refusal& r = GetParam();
    if (*r.flag) set(r.flag, r.value);
    keys({key::ENTER});
    MENU2SELECT(r.id);
    EXPECT_TRUE(term->showed(r.text)) << r.id;
    EXPECT_EQ(term->pending(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Items, MenuRefusals,
    ::testing::Values(Refusal{12, "", "", "Sem dependentes para usar essa opção"},
                      Refusal{22, "", "", "Sem dependentes para usar essa opção"},
                      Refusal{44, "", "", "Herdeiros só em declaração final de espólio"},
                      Refusal{57, "DECSAIDA", "S", "Declaração de saída definitiva do país"},
                      Refusal{58, "DECFINAL", "S", "Declaração final de espólio"},
                      Refusal{93, "", "", "Esse contribuinte não esta selecionado"}));

TEST_F(DeclarationMenu, SpouseOfAFinalEstateIsRefusedAndCleared) {
    set("DECFINAL", "S");
    set("I9_4", "S");
    set("I13_3C", 1500.0);
    keys({key::ENTER});
    MENU2SELECT(56);
    EXPECT_TRUE(term->showed("ter mais os rendimentos do conjugue"));
    EXPECT_EQ(common::Global{"I9_4"}.text(), "N");
    EXPECT_EQ(num("I13_3C"), 0);
}

TEST_F(DeclarationMenu, WriteProtectedDeclarationEndsWithoutSaving) {
    set("ESTATUS", 9);
    keys({key::ENTER});
    MENU2SELECT(100);
    EXPECT_TRUE(term->showed("Declaração com Status de proteção contra alteração"));
    EXPECT_EQ(vars::INI.text(), "I");
}

TEST_F(DeclarationMenu, EndQuestionAnswersKeepSaveOrIgnore) {
    keys({key::RIGHT, key::ENTER});   // "Não, volte p/declaração."
    MENU2SELECT(17);
    EXPECT_EQ(vars::INI.text(), "N");
    keys({key::ENTER});
    MENU2SELECT(17);
    EXPECT_EQ(vars::INI.text(), "S");
    MENU2SELECT(100);
    EXPECT_EQ(vars::INI.text(), "S");
}

TEST_F(DeclarationMenu, AltFOpensTheNaturalPersonsBar) {
    auto menu = CREATESECMENU("");
    rt::MenuModalOptions options;
    options.msg_row = 24;
    keys({key::alt_letter('F'), key::ESC, key::ESC});
    rt::menu_modal(*menu, options);
    EXPECT_TRUE(term->showed("Rendimentos do titular recebidos de Pessoa Física"));
    EXPECT_FALSE(term->showed("Termina  a  Declaração"));
}

TEST_F(DeclarationMenu, ClosingAnEstateClearsEverySpouseValue) {
    set("DECFINAL", "S");
    set("DECJUDI", "S");
    set("CPFINVENT", "11144477735");
    set("DATAPARTI", rt::Value(rt::Date::from_ymd(2011, 5, 10)));
    for (const char* n : {"I9_2", "I9_3", "I13_43", "I13_1C", "I13_5C"}) set(n, 700.0);
    set("I9_5", "S");
    set("OPCIR_1", 57);
    MTELA(5);
    keys({key::ESC});
    GTELA(5);
    for (const char* n : {"I9_2", "I9_3", "I13_43", "I13_1C", "I13_5C"}) EXPECT_EQ(num(n), 0) << n;
    EXPECT_EQ(common::Global{"I9_5"}.text(), "N");
    EXPECT_EQ(vars::ULTTECLA.integer(), 27);
}

TEST_F(DeclarationMenu, EstateClosingWithoutPartitionDateAsksForIt) {
    set("DECFINAL", "S");
    set("DECJUDI", "S");
    set("CPFINVENT", "11144477735");
    set("OPCIR_1", 57);
    MTELA(5);
    keys({key::ESC, key::ENTER, key::ESC});
    EXPECT_THROW(GTELA(5), std::runtime_error);   // it keeps asking until the date is given
    EXPECT_TRUE(term->showed("Informe a data da partilha. Sem ela o cálculo estará errado"));
}

TEST_F(DeclarationMenu, IdentificationNamesTheSurvivingPartnerOfAnEstate) {
    set("OPCIR_1", 61);
    MTELA(6);
    EXPECT_EQ(term->text(5).find("Meeiro"), std::string::npos);
    set("DECFINAL", "S");
    MTELA(6);
    EXPECT_NE(term->text(5).find("CPF Meeiro"), std::string::npos);
}

TEST_F(DeclarationMenu, FootersCarryTheirPrefixes) {
    EXPECT_EQ(footer_text(4), "[Tab]=Muda para Dependentes");
    EXPECT_EQ(footer_text(2), "Alt H=Help Alt I=Índice TAB=Prox. página Ctrl Enter=Todos campos "_cp);
    EXPECT_EQ(footer_text(5), "Alt H=Help Alt I=Índice INS=Inclui DEL=Elimina TAB=Fim pag Alt Z ou X=Zoom"_cp);
    set("CAL_AUTO", 2);
    EXPECT_EQ(footer_text(12), "Alt U=valor mensal ESC=Fim decl. TAB=Proxima página"_cp);
    set("USAPADRAO", "N");
    EXPECT_EQ(footer_text(7), "Ctrl S=Muda p/simplificado [Ctrl Enter]=Preenche valores mensais [ESC]=Fim ");
    EXPECT_EQ(footer_text(99), "");
}

}  // namespace
}  // namespace qv::declaration
