// The pick lists: F1 on a field opens the list of its name, Enter copies
// the chosen row back, Esc leaves the field as it was; the register list's
// footer counts the declarations.
#include <gtest/gtest.h>

#include "../system_fixture.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/ui/read.hpp"
#include "tables/pick_lists.hpp"

namespace qv::tables {
namespace {

using rt::Value;

class PickLists : public test_support::FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        register_pick_list_routines();
        rt::SETKEY(rt::key::F1, [] { GERAL(); });
    }
    void TearDown() override {
        rt::SETKEY(rt::key::F1, {});
        FoldersTest::TearDown();
    }
    std::string var(const char* name) { return rt::variables().get(name).as_string(); }
};

TEST_F(PickLists, F1OnACodeFieldCopiesTheChosenRow) {
    rt::variables().set("CDPRO", Value(rt::SPACE(3)));
    rt::variables().set("OCUPACAO", Value(rt::SPACE(69)));
    rt::at_get(5, 10, "M->CDPRO");
    keys({rt::key::F1, rt::key::ENTER, rt::key::ENTER});
    EXPECT_TRUE(rt::READ());
    EXPECT_TRUE(term->showed(" Nome da Ocupacao "));
    EXPECT_EQ(var("CDPRO"), "000");
    EXPECT_EQ(rt::TRIM(var("OCUPACAO")), rt::utf8_to_cp850("Outras ocupações não especificadas anteriormente"));
    EXPECT_EQ(ws().table(58), nullptr);   // the list closes its table
}

TEST_F(PickLists, EscLeavesTheFieldUnchanged) {
    rt::variables().set("CDPRO", Value("123"));
    rt::at_get(5, 10, "M->CDPRO");
    keys({rt::key::F1, rt::key::DOWN, rt::key::ESC, rt::key::ENTER});
    EXPECT_TRUE(rt::READ());
    EXPECT_TRUE(term->showed(" Nome da Ocupacao "));
    EXPECT_EQ(var("CDPRO"), "123");
}

TEST_F(PickLists, FieldsWithoutAListOpenNothing) {
    EXPECT_TRUE(has_pick_list("M->BANCO"));
    EXPECT_TRUE(has_pick_list("I7_5"));
    EXPECT_TRUE(has_pick_list("M->ORIGEM"));
    EXPECT_FALSE(has_pick_list("M->TELEFO"));
}

TEST_F(PickLists, RegisterFooterShowsCountsAndShares) {
    const std::string footer = register_footer(4, 1, 3, 2);
    EXPECT_NE(footer.find("   4 Declara\x87\x94" "es"), std::string::npos) << footer;
    EXPECT_NE(footer.find(" 25.00% Simples"), std::string::npos) << footer;
    EXPECT_NE(footer.find(" 75.00% Compl"), std::string::npos) << footer;
    // The rural count says what it counts; the simplified and complete
    // counts stand each before its word.
    EXPECT_NE(footer.find(";   2 WZK;"), std::string::npos) << footer;
    EXPECT_NE(footer.find(";   1 simp.    3 comp."), std::string::npos) << footer;
    // A declaration never computed has no model yet: it is neither.
    const std::string unsure = register_footer(5, 1, 3, 0);
    EXPECT_NE(unsure.find(" 20.00% Simples; 60.00% Compl;"), std::string::npos) << unsure;
    EXPECT_NE(unsure.find(";   1 simp.    3 comp."), std::string::npos) << unsure;
}

}  // namespace
}  // namespace qv::tables
