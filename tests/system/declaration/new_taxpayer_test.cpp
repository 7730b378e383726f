// A taxpayer registered after another one was edited, in the same
// declaration session, starts blank: nothing of the previous declaration's
// record stays in the new one.
#include <gtest/gtest.h>

#include "open_declaration_fixture.hpp"
#include "runtime/core/text.hpp"

namespace qv::declaration::testing {
namespace {

class NewTaxpayer : public OpenDeclarationTest {};

TEST_F(NewTaxpayer, StartsWithoutThePreviousEstateOrLines) {
    add_row(9, kCpfA, {{"NOMECONTR", rt::Value("Espolio")}});
    add_row(1, kCpfA, {{"DecFinal", rt::Value("S")}, {"DecJudi", rt::Value("N")},
                       {"NomInvent", rt::Value("Inventariante")}, {"DecSaida", rt::Value("N")},
                       {"I4_09", rt::Value(500.0)}, {"I4_09D", rt::Value("Outros do dependente")},
                       {"I3_16", rt::Value(250.0)}, {"ENTRADGP", rt::Value(900.0)}});
    open(kCpfA);
    EXPECT_EQ(get("DECFINAL").as_string(), "S");
    ASSERT_TRUE(SALVATUDO(1));
    // The next CPF of the prompt is not in the register.
    choose(kCpfB);
    ASSERT_TRUE(INIC_VAR(1, 0));
    EXPECT_EQ(get("DECFINAL").as_string(), "N");
    EXPECT_EQ(get("DECSAIDA").as_string(), "N");
    EXPECT_EQ(get("DECJUDI").as_string(), "S");
    EXPECT_EQ(rt::TRIM(get("NOMINVENT").as_string()), "");
    EXPECT_EQ(rt::TRIM(get("I4_09D").as_string()), "");
    EXPECT_EQ(get("I4_09").as_number(), 0.0);
    EXPECT_EQ(get("I3_16").as_number(), 0.0);
    EXPECT_EQ(get("ENTRADGP").as_number(), 0.0);
    EXPECT_EQ(get("USAPADRAO").as_string(), "S");
}

}  // namespace
}  // namespace qv::declaration::testing
