// Amounts typed month by month from a grid: the months and the total come
// back into the row; and which callers get the converter form instead.
#include <gtest/gtest.h>

#include <memory>

#include "declaration/calc/calc_routines.hpp"
#include "declaration/calc/declaration_helpers.hpp"
#include "declaration/grids/grid_catalogue.hpp"
#include "declaration/grids/grid_routines.hpp"
#include "declaration/grids/matrix_grid.hpp"
#include "declaration/loop/page_globals.hpp"
#include "grid_fixture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "tables/schemas.hpp"

namespace qv::declaration::grids {
namespace {

namespace key = rt::key;
using rt::Value;

constexpr int kAltU = 278;

// Numeric fields, each with its twelve months when `months`.
rt::table::Structure amounts(std::initializer_list<const char*> names, bool months) {
    rt::table::Structure f = {{"CPF", 'C', 11, 0}};
    for (const char* n : names) {
        f.push_back({n, 'N', 12, 2});
        for (int m = 1; months && m <= 12; ++m) f.push_back({n + rt::STRZERO(m, 2), 'N', 12, 2});
    }
    return f;
}

class MonthlyEntry : public GridTest {
protected:
    void SetUp() override {
        GridTest::SetUp();
        scope_ = std::make_unique<rt::DeclarationScope>();
        register_calc_routines();
        register_declaration_helper_routines();
        register_grid_routines();
        Value months = Value::array(), rates = Value::array();
        for (int r = 1; r <= 13; ++r) {
            Value row = Value::array();
            for (const char* cell : {"Mes", "           ", "           "}) row.as_array()->push_back(Value(cell));
            months.as_array()->push_back(row);
        }
        for (int m = 1; m <= 12; ++m) rates.as_array()->push_back(Value(2.0));
        common::Global{"CALC_MENS"}.set(months);
        common::Global{"TAB_DOLAR"}.set(rates);
    }
    void TearDown() override {
        scope_.reset();
        GridTest::TearDown();
    }
    std::unique_ptr<rt::DeclarationScope> scope_;
};

TEST_F(MonthlyEntry, PaymentMonthsAndTotalComeBackFromTheMonthGrid) {
    const StandIn limits("FDOAPAG", [](std::span<const Value> a) { return a[0]; });
    rt::table::Structure payments = amounts({"I6_4", "I6_3", "I6_5", "I6_6"}, false);
    payments.insert(payments.begin() + 1, {{"I6_1", 'C', 50, 0}, {"I6_2", 'C', 18, 0}, {"I6_7", 'C', 11, 0}});
    for (int m = 1; m <= 12; ++m) payments.push_back({"I6_4" + rt::STRZERO(m, 2), 'N', 14, 2});
    // 100 in January, 200 in February (the month grid opens on January, where
    // 350 is typed). A domestic employee (code 50) pays the employer's share
    // 100 / 0.2 * 0.12 + 200 / 0.2 * 0.12.
    struct Case { int code; std::initializer_list<int> typed; double january, total; };
    for (const Case& c : {Case{10, {'3', '5', '0', key::ENTER}, 350, 550}, Case{50, {}, 100, 180}}) {
        tables::ws().close_all();
        rt::table::Table& t = table(26, payments, {{{"I6_3", c.code}, {"I6_4", 300}, {"I6_401", 100}, {"I6_402", 200}}});
        vars::JA_CALC.set(Value(true));
        keys({key::RIGHT, key::RIGHT, key::RIGHT, key::RIGHT, kAltU});
        for (const int k : c.typed) term->feed(k);
        keys({key::ESC, key::ESC});
        EDITA(4);
        t.go_to(1);
        EXPECT_EQ(t.get("I6_401").as_number(), c.january) << c.code;
        EXPECT_EQ(t.get("I6_402").as_number(), 200) << c.code;
        EXPECT_DOUBLE_EQ(t.get("I6_4").as_number(), c.total) << c.code;
        EXPECT_FALSE(vars::flag(vars::JA_CALC)) << c.code;
    }
}

TEST_F(MonthlyEntry, DependantIncomeColumnFillsItsOwnMonths) {
    rt::table::Structure income = amounts({"I1_4", "I1_5", "I1_6"}, true);
    for (const char* n : {"I1_7", "I1_9", "I1_10", "I1_12", "I1_13", "I1_14", "I1_15", "I1_16", "I1_17", "I1_18",
                          "I1_19", "I1_20", "I1_21"})
        income.push_back({n, 'N', 12, 2});
    for (const char* n : {"I1_1", "I1_11", "TIPOCR"}) income.push_back({n, 'C', 1, 0});
    for (const char* n : {"I1_2", "I1_3", "I1_8", "I1_22"}) income.push_back({n, 'C', 40, 0});
    income.push_back({"DT_LC", 'D', 8, 0});
    rt::table::Table& t = table(22, income, {{{"I1_1", "D"}, {"I1_2", "EMPRESA"}, {"I1_4", 1000}}});
    // Column 4 of the dependants' list (the CPF comes first) is the social security.
    keys({key::RIGHT, key::RIGHT, key::RIGHT, kAltU, '4', '0', key::ENTER, key::ESC, key::ESC});
    EDITA(2);
    t.go_to(1);
    EXPECT_EQ(t.get("I1_6").as_number(), 40);
    EXPECT_EQ(t.get("I1_601").as_number(), 40);
    EXPECT_EQ(t.get("I1_501").as_number() + t.get("I1_401").as_number(), 0);
    EXPECT_EQ(t.get("I1_4").as_number(), 1000);
}

// Months typed on the blank line make a row; a month grid left with
// nothing in it leaves no row behind to be saved as a blank payer.
TEST_F(MonthlyEntry, TheBlankLineKeepsNoRowWhenNoMonthWasTyped) {
    const rt::table::Structure income = *tables::schema_of(2);
    struct Case { std::initializer_list<int> typed; std::uint32_t rows; double amount; };
    for (const Case& c : {Case{{}, 1, 0}, Case{{'3', '0', '0', key::ENTER}, 2, 300}}) {
        tables::ws().close_all();
        rt::table::Table& t = table(22, income, {{{"I1_1", "J"}, {"I1_2", "EMPRESA"}, {"I1_4", 1000}}});
        keys({key::DOWN, key::RIGHT, kAltU});
        for (const int k : c.typed) term->feed(k);
        keys({key::ESC, key::ESC});
        EDITA(1);
        std::uint32_t live = 0;
        for (t.go_top(); !t.eof(); t.skip()) live += t.deleted() ? 0 : 1;
        EXPECT_EQ(live, c.rows) << c.amount;
        t.go_to(t.lastrec());
        if (c.rows == 2) {
            EXPECT_EQ(t.get("I1_4").as_number(), c.amount);
        }
    }
}

TEST_F(MonthlyEntry, TheFormServesTheMatrixGridsAndTheDatedFields) {
    int start_row = 0;
    const StandIn month_grid("EDITA", [&](std::span<const Value> a) {
        start_row = static_cast<int>(a[1].as_number());
        return Value("");
    });
    struct Case { int grid; const char* field; bool month_grid; };
    for (const Case& c : {Case{5, "I7_3", true}, Case{16, "", false}, Case{0, "M->VAL_ALI", false}}) {
        start_row = 0;
        common::Global{"OPC"}.set(Value(c.grid));
        common::Global{"EDI_CAMPO"}.set(Value(c.field));
        set_matrix_amount("CALC_MENS", 3, 2, 12.5, "@Ez 9999,999.99");
        set_matrix_amount("CALC_MENS", 7, 2, 30, "@Ez 9999,999.99");
        if (!c.month_grid) keys({key::ESC});
        // The month grid answers the months' total; the form left with Esc, the value given.
        EXPECT_DOUBLE_EQ(MUDATEL13(3, 99.0), c.month_grid ? 42.5 : 99.0) << c.grid;
        EXPECT_EQ(start_row, c.month_grid ? 3 : 0) << c.grid;
    }
}

}  // namespace
}  // namespace qv::declaration::grids
