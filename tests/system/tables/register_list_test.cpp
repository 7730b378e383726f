// The dependants' pick list, and the register list's F6 with the register
// data of the taxpayer under the cursor.
#include <gtest/gtest.h>

#include "../system_fixture.hpp"
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

}  // namespace
}  // namespace qv::tables
