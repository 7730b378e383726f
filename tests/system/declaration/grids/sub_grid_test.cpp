// A saved description picked inside the assets grid, and the payee's
// document checked by the payment code.
#include <gtest/gtest.h>

#include "declaration/grids/grid_catalogue.hpp"
#include "grid_fixture.hpp"
#include "runtime/core/text.hpp"

namespace qv::declaration::grids {
namespace {

namespace key = rt::key;
using rt::Value;

const rt::table::Structure kAssets = {{"CPF", 'C', 11, 0}, {"I7_0", 'N', 4, 0},  {"I7_1", 'N', 3, 0},
                                      {"I7_2", 'C', 60, 0}, {"I7_3", 'N', 14, 2}, {"I7_4", 'N', 14, 2},
                                      {"I7_5", 'N', 2, 0},  {"I7_7", 'C', 1, 0},  {"I7_8", 'C', 3, 0},
                                      {"I7_9", 'N', 14, 2}};

std::string text_of(rt::table::Table& t, const char* field) { return rt::TRIM(t.get(field).as_string()); }

using SubGrids = GridTest;

TEST_F(SubGrids, SavedDescriptionPickedWithCtrlEnterBecomesTheNextAsset) {
    constexpr int kAltF5 = key::ALT_F1 - 4;
    for (const int leave_with : {key::CTRL_ENTER, key::ESC}) {
        tables::ws().close_all();
        table(52, {{"DESCRICAO", 'C', 60, 0}, {"CODIGO", 'N', 3, 0}}, {{{"DESCRICAO", "APARTAMENTO"}, {"CODIGO", 11}}});
        rt::table::Table& assets = table(24, kAssets, {{{"I7_0", 20}, {"I7_1", 1}, {"I7_2", "CASA"}}});
        keys({kAltF5, leave_with, key::ESC});
        EDITA(22);
        ASSERT_EQ(assets.lastrec(), leave_with == key::CTRL_ENTER ? 2u : 1u);
        if (leave_with == key::ESC) continue;
        assets.go_to(2);
        EXPECT_EQ(text_of(assets, "I7_2"), "APARTAMENTO");
        EXPECT_EQ(assets.get("I7_5").as_number(), 11);
        EXPECT_EQ(assets.get("I7_0").as_number(), 21);   // right after the current row's 20
    }
}

TEST_F(SubGrids, PayeeDocumentFollowsThePaymentCode) {
    const rt::table::Structure payments = {{"CPF", 'C', 11, 0}, {"I6_1", 'C', 50, 0}, {"I6_2", 'C', 18, 0},
                                           {"I6_3", 'N', 2, 0}, {"I6_4", 'N', 12, 2}, {"I6_5", 'N', 12, 2},
                                           {"I6_6", 'N', 2, 0}, {"I6_7", 'C', 11, 0}};
    struct Case { int code; const char* typed; const char* stored; };
    // NIT 1234567890-0: weights 3,2,9,8,7,6,5,4,3,2 give 231, a multiple of 11.
    // A wrong number is refused with an alert; the entry is then given up.
    for (const Case& c : {Case{50, "12345678900", "123.45678.90-0"}, Case{50, "12345678901", ""},
                          Case{21, "11222333000181", "11.222.333/0001-81"}, Case{21, "11222333000182", ""},
                          // A CPF's check digits read from its first 11 digits: 3 more are refused.
                          Case{10, "52998224725", "529.982.247-25"}, Case{10, "52998224725181", ""}}) {
        tables::ws().close_all();
        rt::table::Table& t = table(26, payments, {{{"I6_1", "MARIA"}, {"I6_3", c.code}}});
        keys({key::RIGHT, key::RIGHT, key::RIGHT});
        for (const char* p = c.typed; *p; ++p) term->feed(*p);
        keys({key::ENTER});
        if (*c.stored == 0) keys({key::ENTER, key::ESC});
        keys({key::ESC});
        EDITA(4);
        t.go_to(1);
        EXPECT_EQ(text_of(t, "I6_2"), c.stored) << c.typed;
    }
}

}  // namespace
}  // namespace qv::declaration::grids
