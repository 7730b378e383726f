// The keys only some grids act on: amounts month by month on value columns
// only, Ctrl+Enter's saved texts, the cash book's sort and subtotal, and the
// taxpayer lists' marks.
#include <gtest/gtest.h>

#include "declaration/grids/grid_catalogue.hpp"
#include "grid_fixture.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"

namespace qv::declaration::grids {
namespace {

namespace key = rt::key;
using rt::Value;
using Fields = rt::table::Structure;

constexpr int kAltU = 278, kAltO = 280, kAltPlus = 387, kAltMinus = 386, kAlt2 = 377, kAlt3 = 378;

const Fields kDebts = {{"CPF", 'C', 11, 0},  {"I8_0", 'N', 4, 0},  {"I8_1", 'N', 3, 0}, {"I8_2", 'C', 60, 0},
                       {"I8_3", 'N', 14, 2}, {"I8_4", 'N', 14, 2}, {"I8_5", 'N', 2, 0}, {"I8_6", 'N', 14, 2}};
const Fields kCash = {{"CPF", 'C', 11, 0},   {"ATV_BRASIL", 'C', 1, 0}, {"DT_LC", 'D', 8, 0},
                      {"DESCR", 'C', 40, 0}, {"VALOR", 'N', 14, 2},     {"NROIMO", 'N', 2, 0},
                      {"TEMITR", 'C', 1, 0}, {"TIPOCR", 'C', 1, 0}};

class GridActions : public GridTest {};

TEST_F(GridActions, MonthByMonthConvertsOnlyTheValueColumns) {
    // The monthly form answers a total of 1.234,56 for whatever it is given.
    const StandIn form("MUDATEL13", [](std::span<const Value>) { return Value(1234.56); });
    struct Case {
        int rights;        // columns moved right from the first
        const char* field;
        double after;
    };
    const Case cases[] = {{2, "I8_3", 1234.56}, {3, "I8_4", 1234.56}, {4, "I8_5", 7}, {6, "I8_6", 0}};
    for (const Case& c : cases) {
        tables::ws().close_all();
        rt::table::Table& t = table(25, kDebts, {{{"I8_1", 1}, {"I8_5", 7}}});
        for (int i = 0; i < c.rights; ++i) keys({key::RIGHT});
        keys({kAltU, key::ESC});
        EDITA(23);
        t.go_to(1);
        EXPECT_EQ(t.get(c.field).as_number(), c.after) << c.field;
    }
}

TEST_F(GridActions, CashBookTextIsSavedOnlyWhereATableIsMadeForIt) {
    common::Global{"TIPOCR"}.set(Value("C"));
    for (const bool dependants : {true, false}) {
        tables::ws().close_all();
        const Fields people = {{"NOMEDEPEN", 'C', 40, 0}, {"DESCR", 'C', 40, 0}, {"TIPOCR", 'C', 1, 0}};
        const Fields texts = {{"DESCR", 'C', 40, 0}, {"TIPOCR", 'C', 1, 0}};
        rt::table::Table& saved = table(23, dependants ? people : texts, {});
        table(39, kCash, {{{"TIPOCR", "C"}, {"DESCR", "VENDA DE LEITE"}, {"VALOR", 50}}});
        keys({key::CTRL_ENTER, key::CTRL_ENTER, key::ESC});
        EDITA(38);
        ASSERT_EQ(saved.lastrec(), dependants ? 0u : 1u);
        if (!dependants) {
            saved.go_to(1);
            EXPECT_EQ(rt::TRIM(saved.get("DESCR").as_string()), "VENDA DE LEITE");
        }
    }
}

TEST_F(GridActions, SortByValueThenSubtotalFromTheMarkedRow) {
    common::Global{"TIPOCR"}.set(Value("C"));
    common::Global{"LOCTRAB"}.set(Value(client));
    table(39, kCash,
          {{{"TIPOCR", "C"}, {"DESCR", "A"}, {"VALOR", 30}},
           {{"TIPOCR", "C"}, {"DESCR", "B"}, {"VALOR", 10}},
           {{"TIPOCR", "C"}, {"DESCR", "C"}, {"VALOR", 20}}});
    // Sorted: B 10, C 20, A 30; from B down to C the subtotal is 30,00.
    keys({key::RIGHT, key::RIGHT, kAltO, kAlt2, key::DOWN, kAlt3, key::ENTER, key::ESC, key::ESC});
    EDITA(38);
    EXPECT_TRUE(term->showed("SUBTOTAL=         30,00"));
    // The line it stood on, below the cash book, is the page's again.
    EXPECT_EQ(term->text(21).find("SUBTOTAL"), std::string::npos) << term->text(21);
}

TEST_F(GridActions, TaxpayerListsMarkAndUnmarkEveryRow) {
    const Fields reg = {{"CPF", 'C', 11, 0},    {"NOMECONTR", 'C', 40, 0}, {"ESTATUS", 'N', 2, 0},
                        {"IMPRE", 'C', 1, 0},   {"NRQUOTA", 'N', 2, 0},    {"NRCLEAO", 'N', 2, 0},
                        {"NRGCAPIT", 'N', 2, 0}, {"NRRVARIV", 'N', 2, 0},  {"DFQUOTA", 'N', 12, 2},
                        {"DFCLEAO", 'N', 12, 2}, {"DFGCAPIT", 'N', 12, 2}, {"DFRVARIV", 'N', 12, 2}};
    const auto marks = [](rt::table::Table& t) {
        std::string out;
        for (std::uint32_t r = 1; r <= t.lastrec(); ++r) {
            t.go_to(r);
            out += t.get("IMPRE").as_string();
        }
        return out;
    };
    rt::table::Table& t = table(9, reg, {{{"IMPRE", "N"}}, {{"IMPRE", "N"}, {"NRQUOTA", 3}}});
    keys({kAltPlus, key::ESC});
    EDITA(53);
    EXPECT_EQ(marks(t), "SS");
    keys({kAltMinus, key::ESC});
    EDITA(53);
    EXPECT_EQ(marks(t), "NN");
    keys({kAltPlus, key::ESC});
    EDITA(54);   // only the taxpayers with more than one slip to print
    EXPECT_EQ(marks(t), "NS");
}

TEST_F(GridActions, CopiedTextIsAddedToTheDescriptionOnlyWhenConfirmed) {
    const Fields assets = {{"CPF", 'C', 11, 0}, {"I7_0", 'N', 4, 0}, {"I7_1", 'N', 3, 0}, {"I7_2", 'C', 60, 0},
                           {"I7_3", 'N', 14, 2}, {"I7_4", 'N', 14, 2}, {"I7_5", 'N', 2, 0}, {"I7_7", 'C', 1, 0},
                           {"I7_8", 'C', 3, 0}, {"I7_9", 'N', 14, 2}};
    common::Global{"TELA"}.set(Value(5));
    for (const auto& [answer, after] : {std::pair{'S', "CASA NA PRAIA"}, {'N', "CASA"}}) {
        tables::ws().close_all();
        common::Global{"CLIPTEX"}.set(Value(" NA PRAIA "));
        rt::table::Table& t = table(24, assets, {{{"I7_1", 1}, {"I7_2", "CASA "}}});
        keys({key::RIGHT, 292, answer, key::ESC});
        EDITA(5);
        t.go_to(1);
        EXPECT_EQ(rt::TRIM(t.get("I7_2").as_string()), std::string(after)) << answer;
    }
}

TEST_F(GridActions, InsertBeforeFreesARowThatCountsNoAmountTwice) {
    Fields income = {{"CPF", 'C', 11, 0}, {"I1_1", 'C', 1, 0}, {"I1_11", 'C', 1, 0}, {"I1_2", 'C', 40, 0},
                     {"I1_3", 'C', 18, 0}};
    for (const char* f : {"I1_4", "I1_5", "I1_6", "I1_7", "I1_13", "I1_14", "I1_15", "I1_16", "I1_17", "I1_18",
                          "I1_19", "I1_20"})
        income.push_back({f, 'N', 12, 2});
    rt::table::Table& t = table(22, income,
                                {{{"CPF", "12345678909"}, {"I1_1", "J"}, {"I1_2", "EMPRESA A"}, {"I1_4", 100}},
                                 {{"CPF", "12345678909"}, {"I1_1", "D"}, {"I1_2", "DEPENDENTE"}, {"I1_4", 50}},
                                 {{"CPF", "12345678909"}, {"I1_1", "J"}, {"I1_11", "S"}, {"I1_2", "EMPRESA B"},
                                  {"I1_4", 200}, {"I1_17", 30}, {"I1_19", 40}}});
    keys({key::DOWN, key::INS, 'S', key::ESC});
    EDITA(1);
    ASSERT_EQ(t.lastrec(), 4u);
    std::vector<std::string> names;
    double income_total = 0, exempt = 0, suspended = 0;
    for (std::uint32_t r = 1; r <= 4; ++r) {
        t.go_to(r);
        names.push_back(t.get("I1_1").as_string() + rt::TRIM(t.get("I1_2").as_string()));
        income_total += t.get("I1_4").as_number();
        exempt += t.get("I1_17").as_number();
        suspended += t.get("I1_19").as_number();
    }
    EXPECT_EQ(names, (std::vector<std::string>{"JEMPRESA A", "DDEPENDENTE", "J", "JEMPRESA B"}));
    EXPECT_EQ(income_total, 350);
    EXPECT_EQ(exempt, 30);
    EXPECT_EQ(suspended, 40);
    t.go_to(3);
    EXPECT_EQ(t.get("I1_11").as_string(), "S");
    EXPECT_EQ(t.get("CPF").as_string(), "12345678909");
}

}  // namespace
}  // namespace qv::declaration::grids
