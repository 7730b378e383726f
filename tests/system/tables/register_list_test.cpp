// The dependants' pick list, and the register list's F6 with the register
// data of the taxpayer under the cursor.
#include <gtest/gtest.h>

#include "../system_fixture.hpp"
#include "common/globals.hpp"
#include "declaration/entry/dialog_painters.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/dbf_format.hpp"
#include "runtime/ui/read.hpp"
#include "tables/opening.hpp"
#include "tables/pick_lists.hpp"
#include "tables/register_views.hpp"

namespace qv::tables {
namespace {

using rt::Value;
namespace key = rt::key;

class RegisterList : public test_support::FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        register_pick_list_routines();
        declaration::register_dialog_painter_routines();   // the register data's frame
        rt::SETKEY(key::F1, [] { GERAL(); });
    }
    void TearDown() override {
        rt::SETKEY(key::F1, {});
        FoldersTest::TearDown();
    }
    static void add(rt::table::Table& t, std::initializer_list<std::pair<const char*, Value>> cells) {
        ASSERT_TRUE(t.append_blank());
        for (const auto& [field, value] : cells) t.put(field, value);
        t.commit();
    }
};

TEST_F(RegisterList, DependantChosenForItsCpf) {
    const std::string path = client + "DEPEN.DBF";
    rt::table::create_table(path, {{"NOMEDEPEN", 'C', 41, 0}, {"CPFDEPEN", 'C', 11, 0}, {"CODIDEPEN", 'N', 3, 0}},
                            rt::table::MemoKind::None);
    rt::table::Table& deps = ws().use_in(23, path);
    add(deps, {{"NOMEDEPEN", Value("ANA")}, {"CPFDEPEN", Value("11144477735")}});
    add(deps, {{"NOMEDEPEN", Value("JOSE")}, {"CPFDEPEN", Value("12345678909")}});
    rt::variables().set("CPFDEPEN", Value(rt::SPACE(11)));
    rt::at_get(5, 10, "M->CPFDEPEN");
    keys({key::F1, key::DOWN, key::ENTER, key::ENTER});
    EXPECT_TRUE(rt::READ());
    EXPECT_TRUE(term->showed("Nome Dependente "));
    EXPECT_EQ(rt::variables().get("CPFDEPEN").as_string(), "12345678909");
    EXPECT_EQ(rt::variables().get("M_CPFDEPEN").as_string(), "12345678909");
    EXPECT_NE(ws().table(23), nullptr);   // the declaration's list stays open
}

TEST_F(RegisterList, F6ShowsTheRegisterDataOfTheRowAndF1AgainDoesNothing) {
    ASSERT_TRUE(ABERTURA(9));
    rt::table::Table& reg = *ws().table(9);
    add(reg, {{"CPF", Value("11144477735")}, {"NOMECONTR", Value("ANA LIMA")}, {"CEP", Value("01310100")}});
    add(reg, {{"CPF", Value("12345678909")}, {"NOMECONTR", Value("MARIA SOUZA")}, {"CEP", Value("20040002")}});
    reg.go_top();
    rt::variables().set("CPF", Value(rt::SPACE(11)));
    rt::variables().set("NOMECONTR", Value(rt::SPACE(53)));
    rt::at_get(5, 10, "M->CPF");
    // A second F1 inside the list opens nothing; F6 on the second row.
    keys({key::F1, key::F1, key::DOWN, key::F6, key::ESC, key::ENTER, key::ENTER});
    EXPECT_TRUE(rt::READ());
    EXPECT_TRUE(term->showed("Nome .......: MARIA SOUZA"));
    EXPECT_TRUE(term->showed("CEP: 20040-002"));
    EXPECT_TRUE(term->showed("Descrição"));
    EXPECT_EQ(rt::variables().get("CPF").as_string(), "12345678909");
}

TEST_F(RegisterList, GainsListTotalsTheKindAndEnterOpensTheGain) {
    const std::string path = client + "GANHO.DBF";
    rt::table::create_table(path,
                            {{"BEM_NRO", 'N', 2, 0}, {"NRO_ITEM", 'N', 3, 0}, {"TIPO_BEM", 'N', 1, 0},
                             {"ESPC_BEM", 'C', 60, 0}, {"VAL_TRIBU", 'N', 12, 2}, {"VAL_NAOTRI", 'N', 12, 2},
                             {"VAL_IMPOSV", 'N', 12, 2}, {"VAL_IMPOSP", 'N', 12, 2}},
                            rt::table::MemoKind::None);
    rt::table::Table& gains = ws().use_in(27, path);
    add(gains, {{"BEM_NRO", Value(1)}, {"TIPO_BEM", Value(1)}, {"ESPC_BEM", Value("CASA")},
                {"VAL_TRIBU", Value(1000.0)}, {"VAL_IMPOSV", Value(150.0)}});
    add(gains, {{"BEM_NRO", Value(2)}, {"TIPO_BEM", Value(1)}, {"ESPC_BEM", Value("SALA")},
                {"VAL_TRIBU", Value(500.0)}, {"VAL_IMPOSP", Value(75.0)}, {"VAL_NAOTRI", Value(20.0)}});
    add(gains, {{"BEM_NRO", Value(3)}, {"TIPO_BEM", Value(4)}, {"VAL_TRIBU", Value(9000.0)}});
    static std::vector<double> opened;
    opened.clear();
    rt::register_function("MOSTR_BEM", [](std::span<const Value> a) {
        opened.push_back(common::number_of(a[1]));
        return Value();
    });
    rt::variables().set("TIPO_BEM", Value(1));
    // The exempt line's list exists only while the line has an amount; it
    // shows the gains of kinds 1-3.
    for (const char* n : {"I3_04GCPVC", "I3_04UNICC", "I3_04REDUC"}) rt::variables().set(n, Value(0));
    EXPECT_FALSE(has_pick_list("M->I3_04"));
    rt::variables().set("I3_04UNICC", Value(20.0));
    rt::variables().set("QUALHLP", Value("M->I3_04"));
    rt::variables().set("TEMHLP", Value(true));
    ws().select(27);
    keys({key::ESC});
    GERAL();
    EXPECT_TRUE(term->showed("1.500,00"));
    EXPECT_FALSE(term->showed("10.500,00"));
    // The gains page's list over the kind it restricts: Enter opens the
    // gain, Ins a new one.
    gains.set_filter([&gains] { return common::number_of(gains.get("TIPO_BEM")) == 1; });
    rt::variables().set("QUALHLP", Value("M->TIPO_BEM"));
    rt::variables().set("TEMHLP", Value(true));
    ws().select(27);
    term->snapshots.clear();
    keys({key::INS, key::DOWN, key::ENTER});
    GERAL();
    EXPECT_TRUE(term->showed("Totais........"));
    EXPECT_TRUE(term->showed("1.500,00"));
    EXPECT_EQ(opened, (std::vector<double>{0, 1}));
}

}  // namespace
}  // namespace qv::tables
