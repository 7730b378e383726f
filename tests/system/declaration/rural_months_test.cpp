// The rural activity's months typed as totals go back to the rural page
// when the declaration is opened again, and a save keeps them.
#include <gtest/gtest.h>

#include "open_declaration_fixture.hpp"

namespace qv::declaration::testing {
namespace {

using Rows = std::vector<std::string>;

class RuralMonths : public OpenDeclarationTest {
protected:
    void seed(bool typed_totals) {
        add_row(9, kCpfA, {{"NOMECONTR", rt::Value("Contribuinte A")}, {"TEMRURAL", rt::Value("S")},
                           {"ATV_BRASIL", rt::Value("S")}, {"USAPADRAO", rt::Value("S")}});
        add_row(1, kCpfA, {});
        add_row(15, kCpfA, {{"ATV_BRASIL", rt::Value("S")}, {"SO_TOTAL", rt::Value(typed_totals)},
                            {"I3_01OR", rt::Value(30000.0)}, {"I3_02OD", rt::Value(10000.0)}});
    }
    static std::string month_cell(int month, int col) {
        return rt::ALLTRIM(get("REND_RURAL").at(static_cast<std::size_t>(month)).at(static_cast<std::size_t>(col)).as_string());
    }
};

TEST_F(RuralMonths, TypedTotalsComeBackAndSurviveTheNextSave) {
    seed(true);
    open();
    EXPECT_EQ(month_cell(1, 1), "30.000,00");
    EXPECT_EQ(month_cell(2, 2), "10.000,00");
    close();
    EXPECT_EQ(rows(15, kCpfA, {"I3_01OR", "I3_02OD"}), (Rows{"30000.00|10000.00|"}));
}

TEST_F(RuralMonths, ACashBookActivityTakesItsMonthsFromTheBook) {
    seed(false);
    open();
    // Nothing in the book: the months are what the book adds up to.
    EXPECT_EQ(month_cell(1, 1), "");
    EXPECT_EQ(month_cell(2, 2), "");
}

// A rural activity without its summary yet has its months typed as totals.
TEST_F(RuralMonths, AnActivityWithoutSummaryStartsWithTypedTotals) {
    add_row(9, kCpfA, {{"NOMECONTR", rt::Value("Contribuinte A")}, {"TEMRURAL", rt::Value("S")},
                       {"ATV_BRASIL", rt::Value("S")}, {"USAPADRAO", rt::Value("S")}});
    add_row(1, kCpfA, {});
    open();
    EXPECT_TRUE(get("SO_TOTAL").as_bool());
}

}  // namespace
}  // namespace qv::declaration::testing
