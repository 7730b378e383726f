// The rural results: both activities combined, the cash book by month and
// property, and the months whose expenses exceed their receipts.
#include "declaration/calc/rural_page.hpp"
#include "declaration/calc/rural_results.hpp"
#include "declaration/grids/grid_checks.hpp"

#include "calc_fixture.hpp"
#include "common/amounts.hpp"
#include "runtime/ui/read.hpp"
#include "tables/schemas.hpp"

namespace qv::declaration::testing {
namespace {

class RuralResults : public CalcTest {};

TEST_F(RuralResults, ActivitiesCombinedIntoTheSummary) {
    struct Case {
        double brazil, brazil_compensated, abroad, abroad_compensated;
        double i13_07, prejrur;
    } cases[] = {
        {1000, 0, 500, 0, 1500, 0},
        {-3000, 1000, 800, 0, 800, 2000},     // a loss in Brazil with a positive result abroad
        {400, 0, -700, 200, 400, 500},
        {-300, 0, -200, 50, 0, 450},
    };
    for (const auto& c : cases) {
        set("TRIB_EX", c.abroad);
        set("PREJU_EX", c.abroad_compensated);
        set("NTRIB_EX", 10.0);
        set("ATV_BRASIL", "S");
        set("I4R_07", c.brazil);
        set("I4R_04", c.brazil_compensated);
        set("I6_10", 20.0);
        set("NTOTANT", 5000.0);
        set("NTOTBASE", 3000.0);
        CALC_PREJU();
        EXPECT_DOUBLE_EQ(get("I13_07"), c.i13_07) << c.brazil << " " << c.abroad;
        EXPECT_DOUBLE_EQ(get("PREJRUR"), c.prejrur) << c.brazil << " " << c.abroad;
        EXPECT_DOUBLE_EQ(get("I3_11"), 30.0);
        EXPECT_DOUBLE_EQ(get("AMORUR"), 2000.0);
        EXPECT_DOUBLE_EQ(get("EMPRUR"), 0.0);
    }
}

TEST_F(RuralResults, CashBookByMonthAtThePropertyShare) {
    tb::Table& properties = make_list(36, "IMP1612", *tables::schema_of(16));
    add_row(properties, {{"I2R_04", 50.0}});
    add_row(properties, {{"I2R_04", 100.0}});
    tb::Table& book = make_list(39, "IMP1912", *tables::schema_of(19));
    const auto day = [](int m) { return rt::Value(rt::Date::from_ymd(2011, m, 10)); };
    add_row(book, {{"DT_LC", day(1)}, {"VALOR", 1000.0}, {"NROIMO", 1}, {"TIPOCR", "C"}});
    add_row(book, {{"DT_LC", day(1)}, {"VALOR", 300.0}, {"NROIMO", 1}, {"TIPOCR", "D"}, {"TEMITR", "S"}});
    add_row(book, {{"DT_LC", day(12)}, {"VALOR", 200.0}, {"NROIMO", 9}, {"TIPOCR", "D"}, {"TEMITR", "S"}});
    add_row(book, {{"VALOR", 999.0}, {"NROIMO", 2}, {"TIPOCR", "C"}});   // no date: left out
    SOMA_RUR(2);
    const rt::Value m = rt::variables().get("REND_RURAL");
    const auto cell = [&m](int month, int col) {
        return common::CAR_TO_VAL((*(*m.as_array())[month - 1].as_array())[col - 1].as_string());
    };
    EXPECT_DOUBLE_EQ(cell(1, 1), 500.0);
    EXPECT_DOUBLE_EQ(cell(1, 2), 150.0);
    EXPECT_DOUBLE_EQ(cell(12, 2), 200.0);
    properties.go_top();
    EXPECT_DOUBLE_EQ(properties.get("VALITR").as_number(), 150.0);
    EXPECT_TRUE(VE_DESPESAS());
    const rt::Value marks = rt::variables().get("MES_NEG");
    EXPECT_EQ((*marks.as_array())[0].as_string(), " ");
    EXPECT_EQ((*marks.as_array())[11].as_string(), "*");
}

TEST_F(RuralResults, TwentyPercentOfReceiptsTaxedWhenSmallerThanTheResult) {
    set("ATV_BRASIL", "S");
    set("I4R_01", 100000.0);
    set("I4R_02", 30000.0);
    for (const char* n : {"I4R_04", "I5_09", "I5_10", "TRIB_EX", "PREJU_EX", "NTRIB_EX"}) set(n, 0.0);
    CALCRUR(14, 3);
    EXPECT_DOUBLE_EQ(get("I4R_03"), 70000.0);
    EXPECT_DOUBLE_EQ(get("I4R_06"), 20000.0);
    EXPECT_DOUBLE_EQ(get("I4R_07"), 20000.0);
    EXPECT_DOUBLE_EQ(get("I6_10"), 50000.0);
    EXPECT_DOUBLE_EQ(get("I13_07"), 20000.0);
}

TEST_F(RuralResults, NegativeFinalStockIsRefused) {
    // A row per species (letter), a column per movement (digit): 10 bovines
    // at the start, 5 consumed, 20 sold; 20 others at the start.
    set("I7_1B", 10.0);
    set("I7_4B", 5.0);
    set("I7_5B", 20.0);
    set("I7_1V1", 20.0);
    EXPECT_TRUE(CALCRUR(15, 3));   // no field of the herd was left: nothing refused
    EXPECT_DOUBLE_EQ(get("I7_T1"), -15.0);
    EXPECT_DOUBLE_EQ(get("I7_T5"), 20.0);
    // Leaving the others' initial stock refuses nothing; leaving the sales
    // that made the bovines negative does.
    rt::Get& other = rt::at_get(1, 1, "M->I7_1V1", "999");
    other.valid([] { return CALCRUR(15, 3); });
    keys({rt::key::ENTER});
    rt::READ();
    EXPECT_FALSE(term->showed("Estoque Final negativo"));
    rt::Get& g = rt::at_get(1, 1, "M->I7_5B", "999");
    g.valid([] { return CALCRUR(15, 3); });
    keys({rt::key::ENTER, rt::key::ENTER, rt::key::ESC});   // leave the field, the notice, the form
    rt::READ();
    EXPECT_TRUE(term->showed("Estoque Final negativo"));
}

TEST_F(RuralResults, ANegativeHeadCountIsRefusedAndTheFieldKeepsIt) {
    set("I7_1B", 0.0);
    rt::Get& g = rt::at_get(1, 1, "M->I7_1B", "@Ez 999,999");
    g.valid([] { return CALCRUR(15, 3); });
    keys({'-', '1', '0', '0', rt::key::ENTER, rt::key::ENTER, rt::key::ESC});   // the field, the notice, the form
    rt::READ();
    EXPECT_TRUE(term->showed("Não é permitido valor negativo nesse campo."));
    EXPECT_DOUBLE_EQ(get("I7_T1"), 0.0);
}

// Abroad the result is the properties' result in dollars at the dollar
// rate, and the option their 20 % of receipts in reais: both summed from
// the properties' list, also when its grid was not opened since the load.
TEST_F(RuralResults, AbroadTheResultComesFromThePropertiesList) {
    grids::register_grid_check_routines();
    tb::Table& properties = make_list(36, "IMP1612", *tables::schema_of(16));
    add_row(properties, {{"ATV_BRASIL", "N"}, {"RESUS", 30000.0}, {"OPC20US", 10000.0}, {"OPC20RS", 18751.0}});
    add_row(properties, {{"ATV_BRASIL", "N"}, {"RESUS", 1000.0}, {"OPC20US", 500.0}, {"OPC20RS", 937.55}});
    set("ATV_BRASIL", "N");
    set("NVALDOLAR", 1.8751);
    for (const char* n : {"I4R_04", "I5_09", "I5_10", "TRIB_BR", "PREJU_BR", "NTRIB_BR", "NTOTUS", "NTOT20RS"})
        set(n, 0.0);
    CALCRUR(14, 3);
    EXPECT_DOUBLE_EQ(get("NTOTUS"), 31000.0);
    EXPECT_NEAR(get("I4R_03"), 58128.10, 0.005);   // 31,000.00 dollars at 1.8751
    EXPECT_NEAR(get("I4R_06"), 19688.55, 0.005);
    EXPECT_NEAR(get("I4R_07"), 19688.55, 0.005);
    EXPECT_NEAR(get("I13_07"), 19688.55, 0.005);
}

}  // namespace
}  // namespace qv::declaration::testing
