// What a grid takes from the lists opened inside it (saved payees and
// descriptions), the calculator's result in a cell, the payee's document
// checked by the payment code, and the savings list's footings.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "declaration/grids/grid_catalogue.hpp"
#include "declaration/grids/income_limits.hpp"
#include "grid_fixture.hpp"
#include "runtime/core/text.hpp"

namespace qv::declaration::grids {
namespace {

namespace key = rt::key;
using rt::Value;
using Fields = rt::table::Structure;

constexpr int kAltS = 287, kAltF4 = key::ALT_F1 - 3, kAltF5 = key::ALT_F1 - 4;

const Fields kAssets = {{"CPF", 'C', 11, 0},  {"I7_0", 'N', 4, 0},  {"I7_1", 'N', 3, 0},
                        {"I7_2", 'C', 60, 0}, {"I7_3", 'N', 14, 2}, {"I7_4", 'N', 14, 2},
                        {"I7_5", 'N', 2, 0},  {"I7_7", 'C', 1, 0},  {"I7_8", 'C', 3, 0},
                        {"I7_9", 'N', 14, 2}};
const Fields kPayments = {{"CPF", 'C', 11, 0}, {"I6_1", 'C', 50, 0}, {"I6_2", 'C', 18, 0},
                          {"I6_3", 'N', 2, 0}, {"I6_4", 'N', 12, 2}, {"I6_5", 'N', 12, 2},
                          {"I6_6", 'N', 2, 0}, {"I6_7", 'C', 11, 0}};

std::string text_of(rt::table::Table& t, const char* field) { return rt::TRIM(t.get(field).as_string()); }

using SubGrids = GridTest;

TEST_F(SubGrids, SavedDescriptionPickedWithCtrlEnterBecomesTheNextAsset) {
    for (const int leave_with : {key::CTRL_ENTER, key::ESC}) {
        tables::ws().close_all();
        table(52, {{"DESCRICAO", 'C', 60, 0}, {"CODIGO", 'N', 3, 0}}, {{{"DESCRICAO", "APARTAMENTO"}, {"CODIGO", 11}}});
        rt::table::Table& assets = table(24, kAssets, {{{"I7_0", 20}, {"I7_1", 1}, {"I7_2", "CASA"}}});
        keys({kAltF5, leave_with, key::ESC});
        EDITA(22);
        ASSERT_EQ(assets.lastrec(), leave_with == key::CTRL_ENTER ? 2u : 1u);
        if (leave_with != key::CTRL_ENTER) continue;
        assets.go_to(2);
        EXPECT_EQ(text_of(assets, "I7_2"), "APARTAMENTO");
        EXPECT_EQ(assets.get("I7_5").as_number(), 11);
        EXPECT_EQ(assets.get("I7_0").as_number(), 21);
        EXPECT_EQ(assets.get("CPF").as_string(), "12345678909");
    }
}

TEST_F(SubGrids, SavedPayeePickedWithCtrlEnterBecomesAPayment) {
    table(53, {{"NOME", 'C', 50, 0}, {"CGCCPF", 'C', 18, 0}, {"CODIGO", 'N', 2, 0}},
          {{{"NOME", "CLINICA SAUDE"}, {"CGCCPF", "11.222.333/0001-81"}, {"CODIGO", 21}}});
    rt::table::Table& payments = table(26, kPayments, {{{"I6_1", "ESCOLA"}, {"I6_3", 1}}});
    keys({kAltF4, key::CTRL_ENTER, key::ESC});
    EDITA(4);
    ASSERT_EQ(payments.lastrec(), 2u);
    payments.go_to(2);
    EXPECT_EQ(text_of(payments, "I6_1"), "CLINICA SAUDE");
    EXPECT_EQ(text_of(payments, "I6_2"), "11.222.333/0001-81");
    EXPECT_EQ(payments.get("I6_3").as_number(), 21);
}

TEST_F(SubGrids, CalculatorResultGoesIntoTheCell) {
    struct Case {
        int rights;
        const char* field;
        const char* typed;
        std::string expected;   // text of the field after, or the number
    };
    const Case cases[] = {{2, "I7_3", "2*3=", "6"}, {1, "I7_2", "7+5=", "CASA 12,00"}, {0, "I7_1", "2*3=", "6"}};
    for (const Case& c : cases) {
        tables::ws().close_all();
        rt::table::Table& assets = table(24, kAssets, {{{"I7_0", 10}, {"I7_1", 1}, {"I7_2", "CASA"}, {"I7_3", 1}}});
        for (int i = 0; i < c.rights; ++i) keys({key::RIGHT});
        keys({kAltS});
        for (const char* p = c.typed; *p; ++p) term->feed(*p);
        keys({key::CTRL_ENTER, key::ESC});
        EDITA(22);
        assets.go_to(1);
        const Value v = assets.get(c.field);
        EXPECT_EQ(v.is_number() ? rt::ALLTRIM(rt::STR(v.as_number(), 10, 0)) : rt::TRIM(v.as_string()), c.expected)
            << c.field;
    }
}

TEST_F(SubGrids, PayeeDocumentFollowsThePaymentCode) {
    struct Case {
        int code;
        const char* typed;
        bool accepted;
        const char* stored;
    };
    // NIT 1234567890-0: weights 3,2,9,8,7,6,5,4,3,2 give 231, a multiple of 11.
    const Case cases[] = {{50, "12345678900", true, "123.45678.90-0"},
                          {50, "12345678901", false, ""},
                          {21, "11222333000181", true, "11.222.333/0001-81"},
                          {21, "11222333000182", false, ""}};
    for (const Case& c : cases) {
        tables::ws().close_all();
        rt::table::Table& payments = table(26, kPayments, {{{"I6_1", "MARIA"}, {"I6_3", c.code}}});
        keys({key::RIGHT, key::RIGHT, key::RIGHT});
        for (const char* p = c.typed; *p; ++p) term->feed(*p);
        keys({key::ENTER});
        if (!c.accepted) keys({key::ENTER, key::ESC});   // the alert, then the entry given up
        keys({key::ESC});
        EDITA(4);
        payments.go_to(1);
        EXPECT_EQ(text_of(payments, "I6_2"), c.stored) << c.typed;
    }
}

TEST_F(SubGrids, SavingsFootingsFollowTheRows) {
    const StandIn ready("FCALPOUPA", [](std::span<const Value>) { return Value(true); });
    const Fields savings = {{"CPF", 'C', 11, 0},     {"DESCRICAO", 'C', 40, 0}, {"POUPANCA", 'N', 14, 2},
                            {"APLICACAO", 'N', 14, 2}, {"PREJU", 'N', 14, 2},    {"OUTNT", 'N', 14, 2},
                            {"OUTTR", 'N', 14, 2},    {"OUTDP", 'N', 14, 2}};
    table(34, savings, {{{"DESCRICAO", "BANCO A"}, {"POUPANCA", 100}}, {{"DESCRICAO", "BANCO B"}, {"POUPANCA", 50.5}}});
    constexpr int kLook = 500;
    std::string before, after;
    rt::SETKEY(kLook, [&] { (before.empty() ? before : after) = term->dump(); });
    keys({kLook, key::RIGHT, key::RIGHT, '2', '0', '0', key::ENTER, kLook, key::ESC});
    EDITA(13);
    rt::SETKEY(kLook, {});
    EXPECT_NE(before.find("Totais"), std::string::npos);
    EXPECT_NE(before.find("150,50"), std::string::npos);
    EXPECT_NE(after.find("200,00"), std::string::npos);   // the investments column's new total
    EXPECT_NE(after.find("150,50"), std::string::npos);
}

TEST_F(SubGrids, ExemptPartsAreKeptWithinTheirLimits) {
    int aged_mode = 0;
    const StandIn aged("LIMIT3", [&](std::span<const Value> a) {
        aged_mode = static_cast<int>(a[1].as_number());
        return Value(std::min(a[0].as_number(), 1000.0));
    });
    const StandIn illness("LIMIT2", [](std::span<const Value> a) { return Value(std::min(a[0].as_number(), 500.0)); });
    struct Case {
        const char* name;
        int mode;
        double typed, kept;
        int row;
        const char* shown;
    };
    const Case cases[] = {{"I1_17", 1, 1500, 1000, 13, "1.000,00"}, {"M->I1_18", 2, 800, 500, 12, "500,00"}};
    for (const Case& c : cases) {
        const std::string bare = std::string(c.name).substr(std::string(c.name).rfind('>') + 1);
        common::Global{bare}.set(Value(c.typed));
        EXPECT_TRUE(VEJALIM(c.name, c.mode));
        EXPECT_EQ(common::Global{bare}.number(), c.kept) << c.name;
        EXPECT_NE(term->text(c.row).find(c.shown), std::string::npos) << c.name;
    }
    EXPECT_EQ(aged_mode, 2);
}

}  // namespace
}  // namespace qv::declaration::grids
