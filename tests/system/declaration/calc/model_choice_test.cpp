// The model field, the switch between models and the page's yes/no fields.
#include "declaration/calc/model_choice.hpp"

#include <gtest/gtest.h>

#include "calc_fixture.hpp"
#include "declaration/calc/quotas.hpp"
#include "declaration/calc/recalculation.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/date.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/screen/keys.hpp"
#include "shell/routine_registry.hpp"

namespace qv::declaration::testing {
namespace {

class ModelChoiceTest : public CalcTest {
protected:
    void TearDown() override {
        rt::reset_clock();
        CalcTest::TearDown();
    }
};

TEST_F(ModelChoiceTest, WrongAnswersAreRefusedWithTheirMessage) {
    set("USAPADRAO", "X");
    keys({13});
    EXPECT_FALSE(CONF_PADR());
    EXPECT_TRUE(term->showed("Informe com S (sim) ou N (não) !"));
    keys({13});
    EXPECT_FALSE(VIRA_COMP("?"));
    EXPECT_TRUE(VIRA_COMP("N"));
    keys({13});
    EXPECT_TRUE(FAZCONF("X"));
    EXPECT_TRUE(term->showed("para verificar pendências e conferir a declaração."));
}

TEST_F(ModelChoiceTest, EstateFinalAndDepartureStayComplete) {
    for (const char* kind : {"DECFINAL", "DECSAIDA"}) {
        set("DECFINAL", "N");
        set("DECSAIDA", "N");
        set(kind, "S");
        set("USAPADRAO", "N");
        keys({13});
        EXPECT_FALSE(MUDA()) << kind;
        EXPECT_EQ(text("USAPADRAO"), "N");
    }
    EXPECT_TRUE(term->showed("A declaração de saida só pode ser uma completa"));
}

TEST_F(ModelChoiceTest, RuralLossKeepsTheCompleteModelUnlessTheUserInsists) {
    set("USAPADRAO", "S");
    set("I4R_03", -1000.00);
    keys({rt::key::ESC});
    EXPECT_FALSE(CONF_PADR());
    EXPECT_EQ(text("USAPADRAO"), "N");
    // A loss of earlier years being compensated is dropped on a yes.
    set("I4R_03", 0.0);
    set("I4R_04", 500.00);
    keys({13});
    EXPECT_TRUE(PREJ_RUR());
    EXPECT_EQ(get("I4R_04"), 0.0);
}

TEST_F(ModelChoiceTest, SingleQuotaLosesAutomaticDebitAfterItsDate) {
    set("QTD_QUOTA", 1);
    set("I13_01", 20000.00);   // tax 90.05: one quota
    set("DEBITAUT", "S");
    rt::set_clock(rt::CTOD("01/04/2012"));
    CALC(7, 0);
    EXPECT_EQ(text("DEBITAUT"), "S");
    rt::set_clock(rt::CTOD("02/04/2012"));
    CALC(7, 0);
    EXPECT_EQ(text("DEBITAUT"), " ");
    // The quota field is closed to estate-final declarations.
    set("DECFINAL", "S");
    EXPECT_FALSE(VE_QUOT());
}

}  // namespace
}  // namespace qv::declaration::testing

namespace qv::declaration::testing {
namespace {

TEST_F(ModelChoiceTest, RoutinesAreReachedByName) {
    shell::register_system_routines();
    set("I13_01", 60000.00);
    const std::vector<rt::Value> args{rt::Value(7), rt::Value(0)};
    EXPECT_TRUE(rt::call_function("CALC", args).as_bool());
    EXPECT_NEAR(get("I13_21"), 7812.55, 0.000001);
    const std::vector<rt::Value> tax{rt::Value(12), rt::Value(2347.86), rt::Value("nLeao"), rt::Value(4)};
    EXPECT_DOUBLE_EQ(rt::call_function("CALC_IMPOS", tax).as_number(), 58.60);
    const std::vector<rt::Value> due{rt::Value(11), rt::Value(2011), rt::Value(2)};
    EXPECT_EQ(rt::DTOC(rt::call_function("ULT_DIA", due).as_date()), "29/12/2011");
}

}  // namespace
}  // namespace qv::declaration::testing
