// Amounts typed month by month from a grid: the row's months shown in the
// month-by-month grid, the months and the total written back into the row;
// and which way the converter goes for each caller.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "declaration/calc/calc_routines.hpp"
#include "declaration/calc/declaration_helpers.hpp"
#include "declaration/grids/grid_catalogue.hpp"
#include "declaration/grids/grid_routines.hpp"
#include "declaration/grids/matrix_grid.hpp"
#include "declaration/loop/page_globals.hpp"
#include "grid_fixture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"

namespace qv::declaration::grids {
namespace {

namespace key = rt::key;
using rt::Value;
using Fields = rt::table::Structure;

constexpr int kAltU = 278;

// A 13 x 3 matrix of blank amounts, rows labelled.
Value month_matrix() {
    Value m = Value::array();
    for (int r = 1; r <= 13; ++r) {
        Value row = Value::array();
        row.as_array()->push_back(Value("Mes " + std::to_string(r)));
        for (int c = 2; c <= 3; ++c) row.as_array()->push_back(Value(std::string(11, ' ')));
        m.as_array()->push_back(row);
    }
    return m;
}

Fields with_months(Fields f, const char* family) {
    for (int m = 1; m <= 12; ++m) f.push_back({family + rt::STRZERO(m, 2), 'N', 12, 2});
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
        common::Global{"CALC_MENS"}.set(month_matrix());
        Value rates = Value::array();
        for (int m = 1; m <= 12; ++m) rates.as_array()->push_back(Value(2.0));
        common::Global{"TAB_DOLAR"}.set(rates);
    }
    void TearDown() override {
        scope_.reset();
        GridTest::TearDown();
    }

private:
    std::unique_ptr<rt::DeclarationScope> scope_;
};

TEST_F(MonthlyEntry, PaymentMonthsAndTotalComeBackFromTheMonthGrid) {
    const StandIn limits("FDOAPAG", [](std::span<const Value> a) { return a.empty() ? Value() : a[0]; });
    const Fields payments = with_months({{"CPF", 'C', 11, 0}, {"I6_1", 'C', 50, 0}, {"I6_2", 'C', 18, 0},
                                         {"I6_3", 'N', 2, 0}, {"I6_4", 'N', 12, 2}, {"I6_5", 'N', 12, 2},
                                         {"I6_6", 'N', 2, 0}, {"I6_7", 'C', 11, 0}},
                                        "I6_4");
    struct Case {
        int code;
        std::initializer_list<int> in_month_grid;   // keys typed in the month grid (it opens on February)
        double february, total;
    };
    // 100 in January, 200 in February. A domestic employee's total is the
    // employer's share: 100 / 0.2 * 0.12 + 200 / 0.2 * 0.12 = 60 + 120.
    const Case cases[] = {{10, {'3', '5', '0', key::ENTER, key::ESC}, 350, 450},
                          {50, {key::ESC}, 200, 180}};
    for (const Case& c : cases) {
        tables::ws().close_all();
        rt::table::Table& t = table(26, payments,
                                    {{{"I6_1", "MARIA"}, {"I6_3", c.code}, {"I6_4", 300}, {"I6_401", 100}, {"I6_402", 200}}});
        vars::JA_CALC.set(Value(true));
        keys({key::RIGHT, key::RIGHT, key::RIGHT, key::RIGHT, kAltU});
        for (const int k : c.in_month_grid) term->feed(k);
        keys({key::ESC});
        EDITA(4);
        t.go_to(1);
        EXPECT_EQ(t.get("I6_401").as_number(), 100) << c.code;
        EXPECT_EQ(t.get("I6_402").as_number(), c.february) << c.code;
        EXPECT_DOUBLE_EQ(t.get("I6_4").as_number(), c.total) << c.code;
        EXPECT_FALSE(vars::flag(vars::JA_CALC)) << c.code;
    }
}

TEST_F(MonthlyEntry, DependantIncomeColumnFillsItsOwnMonths) {
    const Fields income = with_months(
        with_months(with_months({{"CPF", 'C', 11, 0},   {"I1_1", 'C', 1, 0},   {"I1_2", 'C', 60, 0},  {"I1_3", 'C', 18, 0},
                                 {"I1_4", 'N', 12, 2},  {"I1_5", 'N', 12, 2},  {"I1_6", 'N', 12, 2},  {"I1_7", 'N', 12, 2},
                                 {"I1_8", 'C', 11, 0},  {"TIPOCR", 'C', 1, 0}, {"DT_LC", 'D', 8, 0},  {"I1_9", 'N', 12, 2},
                                 {"I1_10", 'N', 12, 2}, {"I1_11", 'C', 1, 0},  {"I1_12", 'N', 12, 2}, {"I1_13", 'N', 12, 2},
                                 {"I1_14", 'N', 12, 2}, {"I1_15", 'N', 12, 2}, {"I1_16", 'N', 12, 2}, {"I1_17", 'N', 12, 2},
                                 {"I1_18", 'N', 12, 2}, {"I1_19", 'N', 12, 2}, {"I1_20", 'N', 12, 2}, {"I1_21", 'N', 5, 1},
                                 {"I1_22", 'C', 11, 0}},
                                "I1_4"),
                    "I1_5"),
        "I1_6");
    rt::table::Table& t = table(22, income, {{{"I1_1", "D"}, {"I1_2", "EMPRESA"}, {"I1_4", 1000}}});
    // Column 4 of the dependants' list is the social security: 40 in February.
    keys({key::RIGHT, key::RIGHT, key::RIGHT, kAltU, '4', '0', key::ENTER, key::ESC, key::ESC});
    EDITA(2);
    t.go_to(1);
    EXPECT_EQ(t.get("I1_6").as_number(), 40);
    EXPECT_EQ(t.get("I1_602").as_number(), 40);
    EXPECT_EQ(t.get("I1_502").as_number(), 0);
    EXPECT_EQ(t.get("I1_402").as_number(), 0);
    EXPECT_EQ(t.get("I1_4").as_number(), 1000);
}

TEST_F(MonthlyEntry, TheFormConvertsForTheMatrixGridsAndTheDatedFields) {
    int month_grids = 0, start_row = 0;
    const StandIn month_grid("EDITA", [&](std::span<const Value> a) {
        ++month_grids;
        start_row = a.size() > 1 ? static_cast<int>(a[1].as_number()) : 0;
        return Value("");
    });
    struct Case {
        int grid;
        const char* field;
        bool month_grid;
    };
    const Case cases[] = {{5, "I7_3", true}, {4, "I6_4", true}, {16, "", false}, {12, "", false}, {0, "M->VAL_ALI", false}};
    for (const Case& c : cases) {
        month_grids = start_row = 0;
        common::Global{"OPC"}.set(Value(c.grid));
        common::Global{"EDI_CAMPO"}.set(Value(c.field));
        common::Global{"CALC_MENS"}.set(month_matrix());
        set_matrix_amount("CALC_MENS", 3, 2, 12.5, "@Ez 9999,999.99");
        set_matrix_amount("CALC_MENS", 7, 2, 30, "@Ez 9999,999.99");
        if (!c.month_grid) keys({key::ESC});
        const double answer = MUDATEL13(3, 99.0);
        EXPECT_EQ(month_grids, c.month_grid ? 1 : 0) << c.grid;
        if (c.month_grid) {
            EXPECT_EQ(start_row, 3);
            EXPECT_DOUBLE_EQ(answer, 42.5);   // the months' total in reais
        } else {
            EXPECT_DOUBLE_EQ(answer, 99.0);   // the form left as it came
        }
    }
}

}  // namespace
}  // namespace qv::declaration::grids
