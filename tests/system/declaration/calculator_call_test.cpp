// Alt+S puts the calculator's result into the field being edited.
#include <gtest/gtest.h>

#include "common/globals.hpp"
#include "common/windows.hpp"
#include "declaration/loop/calculator_call.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/backend.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/ui/read.hpp"

namespace qv::declaration {
namespace {

class CalculatorCall : public ::testing::Test {
protected:
    void SetUp() override {
        screen_ = &rt::use_headless();
        common::reset_windows();
        rt::SETKEY(rt::key::alt_letter('S'), CHAMA_CALC);
    }
    void TearDown() override { rt::SETKEY(rt::key::alt_letter('S'), {}); }
    void type(std::string_view text) {
        for (char c : text) screen_->feed(c);
    }
    rt::HeadlessBackend* screen_ = nullptr;
};

TEST_F(CalculatorCall, NumberFieldTakesTheConfirmedResult) {
    rt::variables().set("VALOR", rt::Value(0.0));
    rt::at_get(3, 10, "M->VALOR", "@E 999,999.99");
    screen_->feed(rt::key::alt_letter('S'));
    type("7+5=");
    screen_->feed(rt::key::CTRL_ENTER);
    screen_->feed(rt::key::ENTER);
    rt::READ();
    EXPECT_DOUBLE_EQ(rt::variables().get("VALOR").as_number(), 12);
}

TEST_F(CalculatorCall, TextFieldGetsTheResultAfterItsText) {
    rt::variables().set("NOTA", rt::Value(std::string("Aluguel") + std::string(13, ' ')));
    common::Global{"PIC_USU"}.set(rt::Value("@Ez 99,999,999,999"));
    rt::at_get(3, 10, "M->NOTA");
    screen_->feed(rt::key::alt_letter('S'));
    type("1200*2=");
    screen_->feed(rt::key::CTRL_ENTER);
    screen_->feed(rt::key::ENTER);
    rt::READ();
    EXPECT_EQ(rt::variables().get("NOTA").as_string(), "Aluguel 2.400       ");
}

TEST_F(CalculatorCall, EscLeavesTheFieldAsItWas) {
    rt::variables().set("VALOR", rt::Value(3.0));
    rt::at_get(3, 10, "M->VALOR", "999");
    screen_->feed(rt::key::alt_letter('S'));
    type("9");
    screen_->feed(rt::key::ESC);
    screen_->feed(rt::key::ENTER);
    rt::READ();
    EXPECT_DOUBLE_EQ(rt::variables().get("VALOR").as_number(), 3);
}

}  // namespace
}  // namespace qv::declaration
