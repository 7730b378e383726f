// The monthly matrix grid: moves that stop at the ends, the cells that may
// not be edited, an instalment row worked out, and an edit written back
// with its totals.
#include "declaration/grids/matrix_grid.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/globals.hpp"
#include "declaration/calc/calc_routines.hpp"
#include "declaration/grids/capital_gain_instalments.hpp"
#include "declaration/grids/matrix_catalogue.hpp"
#include "declaration/grids/matrix_cell_edit.hpp"
#include "declaration/loop/declaration_variables.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/screen.hpp"
#include "system/system_fixture.hpp"

namespace qv::declaration::grids {
namespace {

using rt::operator""_cp;
using rt::Value;
namespace key = rt::key;

constexpr double kCent = 0.000001;

Value text_matrix(int rows, int cols) {
    Value m = Value::array();
    for (int r = 1; r <= rows; ++r) {
        Value row = Value::array();
        row.as_array()->push_back(Value("Mes " + std::to_string(r)));
        for (int c = 2; c <= cols; ++c) row.as_array()->push_back(Value(std::string(11, ' ')));
        m.as_array()->push_back(row);
    }
    return m;
}

class MatrixGridTest : public test_support::ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        scope_ = std::make_unique<rt::DeclarationScope>();
        register_calc_routines();
    }
    void TearDown() override {
        scope_.reset();
        ScreenTest::TearDown();
    }
    static void set(const char* name, Value v) { set_variable(name, std::move(v)); }

private:
    std::unique_ptr<rt::DeclarationScope> scope_;
};

TEST(SkipMatriz, StopsAtTheFirstAndLastRow) {
    struct Case {
        long length, current, n, moved;
    };
    for (const Case c : {Case{13, 5, 3, 3}, Case{13, 1, -1, 0}, Case{13, 13, 1, 0}, Case{13, 2, -5, -1},
                         Case{13, 10, 5, 3}, Case{28, 28, -27, -27}})
        EXPECT_EQ(SKIP_MATRIZ(c.length, c.current, c.n), c.moved) << c.current << " + " << c.n;
}

TEST_F(MatrixGridTest, CellsThatMayNotBeEdited) {
    const std::string not_allowed = "Não é permitido inserir valor nesse campo."_cp;
    const std::string common_only = "Lance o valor do imposto pago na operação comum"_cp;
    struct Case {
        const char* day_trade;
        int code, row, col;
        bool editable;
        std::string message;
    };
    const Case cases[] = {
        {"1", 7, 12, 2, true, ""},     {"1", 7, 13, 2, false, ""},     {"1", 16, 12, 6, true, ""},
        {"1", 16, 3, 7, false, ""},    {"1", 16, 13, 2, false, ""},    {"3", 14, 1, 5, true, ""},
        {"3", 14, 2, 2, true, ""},     {"3", 14, 2, 3, false, not_allowed}, {"3", 14, 4, 2, false, not_allowed},
        {"1", 14, 19, 2, false, ""},   {"1", 14, 24, 2, true, ""},     {"2", 14, 24, 2, false, common_only},
        {"2", 14, 28, 2, true, common_only}, {"1", 14, 28, 2, true, ""}, {"1", 14, 27, 2, false, not_allowed},
    };
    for (const Case& c : cases) {
        set("DAY_TRADE", Value(c.day_trade));
        const CellRule rule = cell_rule(c.code, c.row, c.col);
        EXPECT_EQ(rule.editable, c.editable) << c.code << " " << c.row << "," << c.col;
        EXPECT_EQ(rule.message, c.message) << c.code << " " << c.row << "," << c.col;
    }
}

TEST_F(MatrixGridTest, InstalmentTaxableValueAndTax) {
    struct Case {
        int tipo_bem, tipopart;
        double tax;
    };
    for (const Case c : {Case{1, 1, 75.00}, Case{3, 3, 100.00}, Case{3, 1, 75.00}}) {
        set("REC_GANHO", text_matrix(13, 6));
        set("PER_TRI", Value(50));
        set("PEQ_VALOR", Value("N"));
        set("TIPO_BEM", Value(c.tipo_bem));
        set("TIPOPART", Value(c.tipopart));
        set_matrix_amount("REC_GANHO", 2, 4, 1000.00, "@Ez 999,999,999.99");
        FX_GANHO(2);
        EXPECT_NEAR(matrix_amount("REC_GANHO", 2, 1), 500.00, kCent);
        EXPECT_NEAR(matrix_amount("REC_GANHO", 2, 2), c.tax, kCent);
        EXPECT_NEAR(matrix_amount("REC_GANHO", 13, 2), c.tax, kCent);
        EXPECT_NEAR(matrix_amount("REC_GANHO", 13, 4), 1000.00, kCent);
    }
    set("PEQ_VALOR", Value("S"));
    FX_GANHO(2);
    EXPECT_EQ(variable("REC_GANHO").at(2).at(1).as_string(), std::string(14, ' '));
    EXPECT_EQ(matrix_amount("REC_GANHO", 13, 1), 0.0);
}

TEST_F(MatrixGridTest, EditedMonthIsWrittenBackTotalledAndTheCallersRowKept) {
    set("CALC_MENS", text_matrix(13, 3));
    set("TAB_DOLAR", Value::array());
    set("NLIN", Value(7));
    set("SO_MOS", Value(1));
    // January in reais, then Enter on the totals row changes nothing.
    keys({'2', '5', '0', key::ENTER, key::CTRL_PGDN, key::LEFT, key::ENTER, '9', key::ENTER, key::ESC});
    ASSERT_TRUE(run_matrix_grid(7));
    EXPECT_NEAR(matrix_amount("CALC_MENS", 1, 2), 250.00, kCent);
    EXPECT_EQ(variable("CALC_MENS").at(1).at(2).as_string(), "     250,00");
    EXPECT_NEAR(matrix_amount("CALC_MENS", 13, 2), 250.00, kCent);
    EXPECT_EQ(common::Global{"NLIN"}.integer(), 7);
    EXPECT_EQ(common::Global{"POSHORMAT"}.integer(), 1);
}

// The month-by-month values stand in a box with the value search key on
// its edge, over the page; the page comes back whole when it is left.
TEST_F(MatrixGridTest, TheMonthByMonthValuesHaveAFrameOverThePage) {
    set("CALC_MENS", text_matrix(13, 3));
    set("TAB_DOLAR", Value::array());
    for (int r = 0; r < 25; ++r) rt::at_say(r, 0, std::string(80, '#'));
    constexpr int kLook = 500;   // a key of no meaning to the grid: the test looks then
    std::vector<std::string> rows;
    rt::SETKEY(kLook, [&] {
        for (const std::string& row : term->rows_of(term->dump())) rows.push_back(rt::utf8_to_cp850(row));
    });
    keys({kLook, key::ESC});
    ASSERT_TRUE(run_matrix_grid(7));
    rt::SETKEY(kLook, {});
    ASSERT_EQ(rows.size(), 25u);
    EXPECT_EQ(rows[5].substr(10, 20), "\xDA\xC4 Alt B=Busca valor");
    EXPECT_EQ(rows[21][10], '\xC0');
    for (int r = 5; r <= 21; ++r) EXPECT_EQ(rows[static_cast<std::size_t>(r)].find('#', 10), 43u) << r;
    for (int r = 0; r < 25; ++r) EXPECT_EQ(term->text(r), std::string(80, '#')) << r;
}

TEST_F(MatrixGridTest, CarneLeaoSheetSwitchesFillModeAndCarriedValue) {
    set("REC_MENSAL", text_matrix(13, 9));
    set("TELA", Value(2));
    set("CAL_AUTO", Value(1));
    set("SO_REC", Value(false));
    set("SO_MOS", Value(1));
    keys({key::ALT_A, key::ENTER, 305, key::ENTER, key::ESC});
    ASSERT_TRUE(run_matrix_grid(16));
    EXPECT_EQ(common::Global{"CAL_AUTO"}.integer(), 2);
    EXPECT_TRUE(term->showed("2)SO OS TOTAIS"));
    EXPECT_TRUE(term->showed("Esse modo deve ser usado APENAS"));
    EXPECT_TRUE(common::Global{"SO_REC"}.value().as_bool());
    EXPECT_TRUE(term->showed("ATENÇÃO! O valor total do Carnê Leão"));
    // Mode 4 comes after 3 and goes back to 1.
    keys({key::ALT_A, key::ENTER, key::ALT_A, key::ENTER, key::ALT_A, key::ENTER, key::ESC});
    ASSERT_TRUE(run_matrix_grid(16));
    EXPECT_EQ(common::Global{"CAL_AUTO"}.integer(), 1);
}

}  // namespace
}  // namespace qv::declaration::grids
