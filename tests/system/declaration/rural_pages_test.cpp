// The rural pages as a clerk meets them: the month grid beside its month
// names and totals, the cash book opened by a key without the key in its
// date, the footer naming the other way of filling the months, and the
// result page's figures beside their labels.
#include <gtest/gtest.h>

#include "declaration/entry/frame_painter.hpp"
#include "declaration/entry/gtela.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/screen/screen.hpp"
#include "open_declaration_fixture.hpp"
#include "runtime/core/functions.hpp"

namespace qv::declaration::testing {
namespace {

class RuralPages : public OpenDeclarationTest {
protected:
    void SetUp() override {
        OpenDeclarationTest::SetUp();
        add_row(9, kCpfA, {{"NOMECONTR", rt::Value("Contribuinte A")}, {"TEMRURAL", rt::Value("S")},
                           {"ATV_BRASIL", rt::Value("S")}});
        add_row(1, kCpfA, {});
        add_row(15, kCpfA, {{"ATV_BRASIL", rt::Value("S")}, {"SO_TOTAL", rt::Value(false)}});
        open();
    }
    static std::string row(int r) { return rt::cp850_to_utf8(rt::row_text(r)); }
};

TEST_F(RuralPages, AKeyOnACashBookMonthOpensTheBookWithAnEmptyDate) {
    set("TELA", rt::Value(13));
    MTELA(13);
    // A digit on January; the book and the page are left with the Esc the
    // screen gets once the keys have run out.
    keys({'5'});
    GTELA(13);
    EXPECT_TRUE(term->showed("Descrição da Receita"));
    EXPECT_FALSE(term->showed(" 5 /  /")) << term->all_snapshots();
    // The footer offers the other way of filling the months.
    EXPECT_TRUE(term->showed("Alt A muda p/Só Totais"));
    set("SO_TOTAL", rt::Value(true));
    MTELA(13);
    keys({rt::key::ESC});
    GTELA(13);
    EXPECT_NE(row(24).find("Alt A muda p/L. Caixa"), std::string::npos) << row(24);
}

TEST_F(RuralPages, MonthsAndTotalsStandBesideTheirNames) {
    set("OPCIR_1", rt::Value(131));
    MTELA(13);
    rt::Value months = get("REND_RURAL");
    (*months.as_array())[0].as_array()->at(0) = rt::Value("     5.000,00");
    (*months.as_array())[11].as_array()->at(1) = rt::Value("     3.000,00");
    set("REND_RURAL", months);
    rt::call_routine("CALCRUR", {rt::Value(13), rt::Value(0)});
    // The month grid's rows are 6 (January) to 17 (December), its totals 19.
    EXPECT_NE(row(6).find("Janeiro"), std::string::npos) << row(6);
    EXPECT_NE(row(17).find("Dezembro"), std::string::npos) << row(17);
    EXPECT_NE(row(19).find("Totais"), std::string::npos);
    EXPECT_NE(row(19).find("5.000,00"), std::string::npos) << row(19);
    EXPECT_NE(row(19).find("3.000,00"), std::string::npos) << row(19);
}

TEST_F(RuralPages, ResultLinesStandBesideTheirLabels) {
    set("USAPADRAO", rt::Value("S"));
    set("I4R_01", rt::Value(5000.0));
    set("I4R_02", rt::Value(3000.0));
    MTELA(14);
    rt::call_routine("CALCRUR", {rt::Value(14), rt::Value(0)});
    rt::call_routine("FI4R_06", {rt::Value(1)});
    // 2,000.00 of result; 20 % of 5,000.00 is 1,000.00 and the smaller is taxed.
    EXPECT_NE(row(4).find("03.Resultado"), std::string::npos);
    EXPECT_NE(row(4).find("2.000,00"), std::string::npos) << row(4);
    EXPECT_NE(row(7).find("20%"), std::string::npos) << row(7);
    EXPECT_NE(row(7).find("1.000,00"), std::string::npos) << row(7);
    EXPECT_NE(row(8).find("Resultado tributável"), std::string::npos) << row(8);
    EXPECT_NE(row(8).find("1.000,00"), std::string::npos) << row(8);
}

TEST_F(RuralPages, DebtsTotalsStandOnTheirLine) {
    rt::table::Table* debts = tables::ws().table(38);
    ASSERT_NE(debts, nullptr);
    ASSERT_TRUE(debts->append_blank());
    debts->put("I9R_2", rt::Value(5000.0));
    debts->put("I9R_3", rt::Value(15000.0));
    debts->commit();
    MTELA(17);
    rt::call_routine("SOMA_DIV", {rt::Value(1)});
    EXPECT_NE(row(21).find("Totais"), std::string::npos) << row(21);
    EXPECT_NE(row(21).find("5.000,00      15.000,00"), std::string::npos) << row(21);
}

}  // namespace
}  // namespace qv::declaration::testing
