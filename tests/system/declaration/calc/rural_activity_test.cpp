// Switching the rural activity between Brazil and abroad: the rows on
// screen are saved under their activity and the other activity's rows load.
#include "declaration/calc/rural_activity.hpp"

#include "../declaration_io_fixture.hpp"
#include "declaration/loop/declaration_load.hpp"

namespace qv::declaration::testing {
namespace {

class RuralActivitySwitch : public DeclarationIoTest {};

std::string property_name() {
    tb::Table& t = tables::ws().current(36);
    t.go_top();
    return t.eof() ? std::string() : rt::TRIM(t.get("I2R_01").as_string());
}

TEST_F(RuralActivitySwitch, EachActivityKeepsItsOwnRows) {
    add_row(9, kCpfA, {{"NOMECONTR", rt::Value("Contribuinte A")}, {"ATV_BRASIL", rt::Value("S")},
                       {"TEMRURAL", rt::Value("S")}});
    add_row(1, kCpfA, {});
    add_row(16, kCpfA, {{"ATV_BRASIL", rt::Value("S")}, {"I2R_01", rt::Value("Sitio")}});
    add_row(16, kCpfA, {{"ATV_BRASIL", rt::Value("N")}, {"I2R_01", rt::Value("Fazenda fora")}});
    choose(kCpfA);
    rt::DeclarationScope scope;
    ASSERT_TRUE(INIC_VAR(1, 1));
    ASSERT_EQ(property_name(), "Sitio");
    tables::ws().current(36).put("I2R_01", rt::Value("Sitio novo"));
    tables::ws().current(36).commit();

    EXPECT_FALSE(MUDA_ATV("X", "S"));
    EXPECT_TRUE(MUDA_ATV("S", "S"));
    EXPECT_EQ(property_name(), "Sitio novo");

    ASSERT_TRUE(MUDA_ATV("n", "S"));
    EXPECT_EQ(rt::variables().get("ATV_BRASIL").as_string(), "N");
    EXPECT_EQ(property_name(), "Fazenda fora");
    EXPECT_EQ(tables::ws().current(36).lastrec(), 1u);

    ASSERT_TRUE(MUDA_ATV("S", "N"));
    EXPECT_EQ(property_name(), "Sitio novo");
}

}  // namespace
}  // namespace qv::declaration::testing
