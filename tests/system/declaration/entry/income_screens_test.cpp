// Page 2: the person's monthly sheet found or added by CPF, and the
// carnê-leão typed into the sheet carried to the summary line.
#include "declaration/entry/income_frames.hpp"
#include "declaration/entry/income_screens.hpp"

#include <gtest/gtest.h>

#include <cstdio>

#include "declaration/calc/calc_routines.hpp"
#include "declaration/loop/declaration_variables.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/date.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"
#include "tables/schemas.hpp"
#include "runtime/screen/keys.hpp"
#include "system/declaration/calc/calc_fixture.hpp"

namespace qv::declaration::testing {
namespace {

namespace key = rt::key;
constexpr double kCent = 0.000001;

class IncomeScreensTest : public CalcTest {
protected:
    void SetUp() override {
        CalcTest::SetUp();
        register_calc_routines();
        std::vector<tb::FieldSpec> f{{"CPF", 'C', 11, 0}, {"CPFDEPEN", 'C', 11, 0}};
        for (int m = 1; m <= 13; ++m)
            for (int x = 1; x <= 7; ++x) f.push_back({"I2_" + std::to_string(x) + two(m), 'N', 12, 2});
        sheets_ = &make_list(kPersonSheetArea, "MENSAL", f);
        set("CPF", "11144477735");
    }
    tb::Table& sheets() { return *sheets_; }

private:
    tb::Table* sheets_ = nullptr;
};

TEST_F(IncomeScreensTest, PersonsSheetIsFoundByCpfAndAddedOnlyOnce) {
    const std::uint32_t taxpayer = person_sheet_row("");
    const std::uint32_t dependant = person_sheet_row("12345678909");
    EXPECT_NE(taxpayer, dependant);
    EXPECT_EQ(person_sheet_row("12345678909"), dependant);
    EXPECT_EQ(person_sheet_row(""), taxpayer);
    EXPECT_EQ(sheets().lastrec(), 2u);
    sheets().go_to(dependant);
    EXPECT_EQ(sheets().get("CPFDEPEN").as_string(), "12345678909");
    EXPECT_EQ(sheets().get("CPF").as_string(), "11144477735");
}

TEST_F(IncomeScreensTest, CarneLeaoTypedOnPageTwoReachesTheSummary) {
    set("OPCIR_1", 21);
    set("TELA", 2);
    set("CAL_AUTO", 2);
    set("SO_REC", false);
    set("LEAO_CAL", false);
    set("DF_PAGTO", rt::CTOD("30/04/2012"));
    set("N_DEPEN", 0);
    // 3,000.00 from a natural person in January; the grid is left with Esc
    // and the social-security total confirmed as it is.
    keys({'3', '0', '0', '0', key::ENTER, key::ESC, key::ENTER});
    RENDPF();
    // 3,000.00 in the 22.5 % band of January: 675.00 - 505.62.
    EXPECT_NEAR(get("I13_29"), 169.38, kCent);
    EXPECT_NEAR(get("I2_101"), 3000.00, kCent);
    EXPECT_NEAR(get("I2_601"), 169.38, kCent);
    ASSERT_EQ(sheets().lastrec(), 1u);
    sheets().go_to(1);
    EXPECT_NEAR(sheets().get("I2_101").as_number(), 3000.00, kCent);
    EXPECT_NEAR(sheets().get("I2_113").as_number(), 3000.00, kCent);
    // The sheet is found again on the next visit, not added twice.
    keys({key::ESC, key::ENTER});
    RENDPF();
    EXPECT_EQ(sheets().lastrec(), 1u);
    EXPECT_NEAR(get("I13_29"), 169.38, kCent);
}

TEST_F(IncomeScreensTest, DependantsPageWithoutChoiceChangesPage) {
    make_list(23, "DEPEN", {{"CODIDEPEN", 'N', 2, 0}, {"CPFDEPEN", 'C', 14, 0}, {"NOMEDEPEN", 'C', 40, 0}});
    set("OPCIR_1", 22);
    set("TECLAMUDA", false);
    RENDPF();
    EXPECT_TRUE(logical("TECLAMUDA"));
    EXPECT_EQ(sheets().lastrec(), 0u);
}

TEST_F(IncomeScreensTest, TheDependantsListIsAWholeBoxOverTheSheet) {
    tb::Table& people = make_list(23, "DEPEN", {{"CODIDEPEN", 'N', 2, 0}, {"CPFDEPEN", 'C', 14, 0}, {"NOMEDEPEN", 'C', 40, 0}});
    add_row(people, {{"CODIDEPEN", 21}, {"CPFDEPEN", "52998224725"}, {"NOMEDEPEN", "JOAO DA SILVA"}});
    set("OPCIR_1", 22);
    JANPFIS(2);
    keys({key::ESC});
    RENDPF();
    // The screen while the list waits: rows 3-9, columns 16-46, one
    // dependant on the first line and nothing of the sheet's frame inside.
    ASSERT_FALSE(term->snapshots.empty());
    const std::string& shown = term->snapshots.front();
    const auto row = [&shown](int r) {
        char label[8];
        std::snprintf(label, sizeof label, "\n%02d |", r);
        const std::size_t at = shown.find(label) + 5;
        return rt::utf8_to_cp850(shown.substr(at, shown.find('|', at + 1) - at));
    };
    EXPECT_EQ(row(3).substr(16, 31), "\xDA" + std::string(29, '\xC4') + "\xBF");
    EXPECT_EQ(row(4).substr(16, 31), "\xB3" + rt::PADR("529.982.247-25 JOAO DA SILVA", 29) + "\xB3");
    for (int r = 5; r <= 8; ++r) EXPECT_EQ(row(r).substr(16, 31), "\xB3" + std::string(29, ' ') + "\xB3") << r;
    EXPECT_EQ(row(9).substr(16, 31), "\xC0" + std::string(29, '\xC4') + "\xD9");
}

TEST_F(IncomeScreensTest, PageOnesTotalsStandBesideTheirLabelsInsideTheBox) {
    tb::Table& income = make_list(kIncomeArea, "REND", *tables::schema_of(2));
    add_row(income, {{"I1_1", "J"}, {"I1_4", 10000.00}, {"I1_5", 500.00}, {"I1_6", 800.00}, {"I1_7", 1000.00}});
    add_row(income, {{"I1_1", "D"}, {"I1_4", 2000.00}, {"I1_5", 20.00}, {"I1_6", 80.00}});
    set("OPCIR_1", 11);
    rt::at_say(0, 0, "1=PJ 2=PF");
    JANPJUR(1);
    EXPECT_EQ(rt::row_text(0).substr(0, 9), "1=PJ 2=PF");   // the screen index stays
    EXPECT_EQ(static_cast<unsigned char>(rt::cell_at(1, 0).ch), 0xDA);   // the box's corners
    EXPECT_EQ(static_cast<unsigned char>(rt::cell_at(1, 78).ch), 0xBF);
    // Each figure on its line, the taxpayer's under "Titular" and the
    // dependants' under "Dependente", on both sides of the block.
    const std::string jur = rt::row_text(18), thirteenth = rt::row_text(19);
    EXPECT_EQ(rt::TRIM(jur.substr(1, 16)), rt::utf8_to_cp850("Pessoa Jurídica"));
    EXPECT_EQ(rt::ALLTRIM(jur.substr(17, 12)), "10.000,00");
    EXPECT_EQ(rt::ALLTRIM(jur.substr(30, 12)), "2.000,00");
    EXPECT_EQ(rt::TRIM(jur.substr(43, 10)), "Rec. Fonte");
    EXPECT_EQ(rt::ALLTRIM(jur.substr(54, 12)), "500,00");
    EXPECT_EQ(rt::ALLTRIM(jur.substr(66, 12)), "20,00");
    EXPECT_EQ(rt::TRIM(thirteenth.substr(1, 16)), rt::utf8_to_cp850("13ro Salário"));
    EXPECT_EQ(rt::ALLTRIM(thirteenth.substr(17, 12)), "1.000,00");
    EXPECT_EQ(rt::TRIM(thirteenth.substr(43, 10)), "Prev./INSS");
    EXPECT_EQ(rt::ALLTRIM(thirteenth.substr(54, 12)), "800,00");
    EXPECT_EQ(rt::ALLTRIM(thirteenth.substr(66, 12)), "80,00");
    EXPECT_EQ(rt::row_text(0).substr(0, 9), "1=PJ 2=PF");
}

// The totals line under the carnê-leão sheet: each value beside its label,
// the date the corrections run to at the end, nothing of a label between.
TEST_F(IncomeScreensTest, TheSheetsTotalsLineLeavesNoPieceOfALabel) {
    set("CAL_AUTO", 1);
    set("CARNEINSS", 1200.0);
    set("PENSAOM", 500.0);
    set("NTOTDEP", 3738.6);
    set("DF_PAGTO", rt::Value(rt::Date::from_ymd(2012, 4, 30)));
    JANPFIS(1);
    show_sheet_totals(false);
    const std::string line = rt::row_text(21);
    const std::size_t dependants = line.find("3.738,60");
    ASSERT_NE(dependants, std::string::npos) << line;
    EXPECT_EQ(line.substr(dependants + 8, 12), "  30/04/2012") << line;
}

TEST_F(IncomeScreensTest, PageOneStepsOverTheDependantsListsWithoutDependants) {
    make_list(kIncomeArea, "REND", *tables::schema_of(2));   // the income list's own layout: its grid shows every column
    set("N_DEPEN", 0);
    set("JA_CALC", true);
    // Tab from the taxpayer's list passes the dependants' list by; Tab on
    // the next list (13) passes the dependants' one after it (14) by too.
    set("OPCIR_1", 11);
    keys({key::TAB, key::TAB});
    RENDPJ();
    EXPECT_EQ(static_cast<int>(get("OPCIR_1")), 14);
    // Shift+Tab on the first list shows it again.
    set("OPCIR_1", 11);
    keys({key::SHIFT_TAB, key::ESC});
    RENDPJ();
    EXPECT_EQ(static_cast<int>(get("OPCIR_1")), 11);
    EXPECT_EQ(rt::NEXTKEY(), 0);
}

}  // namespace
}  // namespace qv::declaration::testing
