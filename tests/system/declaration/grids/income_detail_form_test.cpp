// Ctrl+Enter on an income row of grid 1: the detail form shows the row's
// values, what is typed and confirmed reaches the row, and a value left
// with Esc does not; a row without the payer's name opens no form.
#include <gtest/gtest.h>

#include "declaration/grids/grid_catalogue.hpp"
#include "grid_fixture.hpp"
#include "runtime/core/text.hpp"

namespace qv::declaration::grids {
namespace {

namespace key = rt::key;
using rt::Value;

class IncomeDetailForm : public GridTest {
protected:
    // One income row of the kind (and holder mark) given.
    rt::table::Table& income(const char* payer, const char* kind = "J", const char* holder = "") {
        rt::table::Structure s = {{"CPF", 'C', 11, 0},  {"I1_1", 'C', 1, 0},  {"I1_11", 'C', 1, 0},
                                  {"I1_2", 'C', 40, 0}, {"I1_3", 'C', 18, 0}, {"I1_8", 'C', 11, 0},
                                  {"I1_22", 'C', 11, 0}, {"DT_LC", 'D', 8, 0}, {"TIPOCR", 'C', 1, 0}};
        for (const char* f : {"I1_4", "I1_5", "I1_6", "I1_7", "I1_12", "I1_13", "I1_14", "I1_15", "I1_16", "I1_17",
                              "I1_18", "I1_19", "I1_20", "I1_21"})
            s.push_back({f, 'N', 12, 2});
        return table(22, s,
                     {{{"CPF", "12345678909"}, {"I1_1", kind}, {"I1_11", holder}, {"I1_2", payer}, {"I1_4", 100},
                       {"I1_6", 10}, {"I1_14", 4321.09}}});
    }
    static double field(rt::table::Table& t, const char* name) {
        t.go_to(1);
        return t.get(name).as_number();
    }
};

TEST_F(IncomeDetailForm, ConfirmedValuesReachTheRowAndEscKeepsTheTypedOne) {
    rt::table::Table& t = income("EMPRESA A");
    // Income 2.500,00 and social security 300,00 confirmed, then the tax
    // typed and abandoned with Esc.
    keys({key::CTRL_ENTER, '2', '5', '0', '0', key::ENTER, '3', '0', '0', key::ENTER, '7', '7', key::ESC, key::ESC});
    EDITA(1);
    EXPECT_TRUE(term->showed("Detalhe da fonte pagadora"));
    EXPECT_TRUE(term->showed("4.321,09"));   // a column the grid keeps out of sight
    EXPECT_EQ(field(t, "I1_4"), 2500);
    EXPECT_EQ(field(t, "I1_6"), 300);
    EXPECT_EQ(field(t, "I1_5"), 0);
}

TEST_F(IncomeDetailForm, EscOnTheFirstFieldLeavesTheRowAsItWas) {
    rt::table::Table& t = income("EMPRESA A");
    keys({key::CTRL_ENTER, '9', '9', '9', key::ESC, key::ESC});
    EDITA(1);
    EXPECT_EQ(field(t, "I1_4"), 100);
    EXPECT_EQ(field(t, "I1_6"), 10);
}

TEST_F(IncomeDetailForm, RowWithoutPayerNameOpensNoForm) {
    rt::table::Table& t = income("");
    keys({key::CTRL_ENTER, key::ENTER, key::ESC});
    EDITA(1);
    EXPECT_TRUE(term->showed("Preencha o nome da fonte pagadora antes de usar esse"));
    EXPECT_FALSE(term->showed("Detalhe da fonte pagadora"));
    EXPECT_EQ(field(t, "I1_4"), 100);
}

TEST_F(IncomeDetailForm, CumulativeIncomeSkipsTheMonthsOutsideExclusiveTaxation) {
    rt::table::Table& t = income("INSS", "A", "S");
    common::Global{"TELA"}.set(Value(13));
    // The holder's row has no dependant's CPF and no alimony: the form
    // starts on the income and, with the annual adjustment chosen, ends on
    // the choice, so the next key starts the next pass on the income again.
    keys({key::CTRL_ENTER, key::ENTER, key::ENTER, key::ENTER, key::ENTER, key::ENTER, key::ENTER, 'S', '7',
          key::ENTER, key::ESC, key::ESC});
    EDITA(20);
    t.go_to(1);
    EXPECT_EQ(t.get("TIPOCR").as_string(), "S");
    EXPECT_EQ(field(t, "I1_4"), 7);
    EXPECT_EQ(field(t, "I1_21"), 0);
}

}  // namespace
}  // namespace qv::declaration::grids
