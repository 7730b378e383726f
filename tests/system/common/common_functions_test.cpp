// The common routines called from expressions kept as text.
#include "common/common_functions.hpp"

#include "common/globals.hpp"
#include "common_fixture.hpp"
#include "runtime/core/expr.hpp"

namespace qv::common::testing {
namespace {

class CommonFunctionsTest : public CommonTest {
protected:
    void SetUp() override {
        CommonTest::SetUp();
        register_common_functions();
    }
};

TEST_F(CommonFunctionsTest, ValidationsByName) {
    Global("CPF").set(rt::Value("12345678909"));
    EXPECT_TRUE(rt::eval_text("VAL_CPF(M->CPF, .T., 12, 6, 1)").as_bool());
    EXPECT_FALSE(rt::eval_text("VAL_CPF('12345678900', .T., 12, 6)").as_bool());
    EXPECT_TRUE(term->showed("O dígito correto deve ser:09"));
    EXPECT_TRUE(rt::eval_text("CPFCGC('12.345.678/0001-95', .T., 1, 2)").as_bool());
    EXPECT_TRUE(rt::eval_text("NDA()").as_bool());
}

TEST_F(CommonFunctionsTest, ValuesByName) {
    EXPECT_DOUBLE_EQ(rt::eval_text("DESPREZA(12.3456, 15)").as_number(), 12.34);
    EXPECT_DOUBLE_EQ(rt::eval_text("CAR_TO_VAL('1.234.567,8')").as_number(), 1234567.8);
    EXPECT_EQ(rt::eval_text("TEMPO_PAS('23:59:00', '00:01:00')").as_number(), 120);
    EXPECT_EQ(rt::eval_text("TEMPO_PAS('23:59:00', '00:01:00', 1)").as_string(), "00:02:00");
    EXPECT_EQ(rt::eval_text("MODULO_11('261533')").as_string(), "9");
    EXPECT_EQ(rt::eval_text("ACHACOR(30)").as_string(), "GR+/B");
    EXPECT_EQ(rt::eval_text("TRAZ_MES(2)").as_string(), "Fevereiro");
}

TEST_F(CommonFunctionsTest, WindowsAndQuestionsByName) {
    rt::eval_text("REDEFJAN(4, 48, 112, 7, 2, 2, 4, 20, 0)");
    rt::eval_text("ESCRJAN(4, 'janela')");
    EXPECT_EQ(row(2).substr(2, 6), "janela");
    keys({rt::key::ESC});
    EXPECT_EQ(rt::eval_text("AVISOSN('x', 2)").as_string(), "N");
    keys({rt::key::ESC});
    EXPECT_EQ(rt::eval_text("AVISOSN({'um', 'dois'}, 5)").as_string(), "0");
    EXPECT_TRUE(term->showed("dois"));
}

TEST_F(CommonFunctionsTest, AvisoTakesRow24WhenTheRowIsNil) {
    rt::eval_text("AVISO('aviso', NIL, 5)");
    EXPECT_EQ(row(24).substr(5, 5), "aviso");
    EXPECT_EQ(row(0).substr(5, 5), "     ");
    rt::eval_text("AVISO('linha', 3)");
    EXPECT_EQ(row(3).substr(0, 5), "linha");
}

}  // namespace
}  // namespace qv::common::testing
