// The declaration's list grids over real work tables: append on the blank
// line, insert with order gaps, renumbering, deleting, refused edits.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "grid_fixture.hpp"
#include "common/globals.hpp"
#include "declaration/grids/grid_catalogue.hpp"
#include "declaration/loop/page_globals.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {
namespace {

namespace key = rt::key;
namespace tb = rt::table;

const tb::Structure kAssets = {{"CPF", 'C', 11, 0},  {"I7_0", 'N', 4, 0},  {"I7_1", 'N', 3, 0},
                               {"I7_2", 'C', 60, 0}, {"I7_3", 'N', 14, 2}, {"I7_4", 'N', 14, 2},
                               {"I7_5", 'N', 2, 0},  {"I7_7", 'C', 1, 0},  {"I7_8", 'C', 3, 0},
                               {"I7_9", 'N', 14, 2}};
const tb::Structure kPayments = {{"CPF", 'C', 11, 0}, {"I6_1", 'C', 50, 0}, {"I6_2", 'C', 18, 0},
                                 {"I6_3", 'N', 2, 0}, {"I6_4", 'N', 12, 2}, {"I6_5", 'N', 12, 2},
                                 {"I6_6", 'N', 2, 0}, {"I6_7", 'C', 11, 0}};

using GridEngine = GridTest;

TEST_F(GridEngine, EmptyAssetsGridAppendsTheTypedRowWithTaxpayerAndOrder) {
    tb::Table& t = table(24, kAssets, {});
    keys({'7', key::ENTER, 'C', 'A', 'S', 'A', key::ENTER, key::ESC});
    EDITA(22);
    ASSERT_EQ(t.lastrec(), 1u);
    t.go_to(1);
    EXPECT_EQ(t.get("I7_1").as_number(), 7);
    EXPECT_EQ(rt::TRIM(t.get("I7_2").as_string()), "CASA");
    EXPECT_EQ(t.get("CPF").as_string(), "12345678909");
    EXPECT_EQ(t.get("I7_0").as_number(), 10);
    EXPECT_TRUE(screen_has("Em 31/12/2010"));
    EXPECT_TRUE(screen_has("Em 31/12/2011"));
    EXPECT_EQ(vars::ULTTECLA.integer(), 27);
    EXPECT_TRUE(vars::flag(vars::TECLAMUDA));
}

TEST_F(GridEngine, RowsTypedIntoAnOrderedTableAreShownAsTheyAreWritten) {
    constexpr int kLook = 500;   // a key of no meaning to the grid: it only reads the screen
    tb::Table& t = table(24, kAssets, {});
    t.index_on("I7_0", "ORDEM");
    t.set_order(1);
    keys({'1', key::ENTER, 'C', 'A', 'S', 'A', key::ENTER, key::DOWN, key::HOME, '2', key::ENTER, 'S', 'I', 'T', 'I',
          'O', key::ENTER, kLook, key::ESC});
    std::string shown;
    rt::SETKEY(kLook, [&] { shown = term->text(4) + "|" + term->text(5); });
    EDITA(5);
    rt::SETKEY(kLook, {});
    EXPECT_EQ(t.lastrec(), 2u);
    EXPECT_NE(shown.find("CASA"), std::string::npos) << shown;
    EXPECT_NE(shown.find("SITIO"), std::string::npos) << shown;
}

TEST_F(GridEngine, EnterOnALongDescriptionShowsItWholeTypingDoesNot) {
    const std::string longer = "APARTAMENTO NA RUA DAS FLORES 100 ADQUIRIDO EM 2005 DE JOSE";
    constexpr int kLook = 500;   // reads the line under the cell while it is edited
    for (const int start : {key::ENTER, static_cast<int>('X')}) {
        tables::ws().close_all();
        table(24, kAssets, {{{"I7_1", 1}, {"I7_2", longer}}});
        std::string under;
        rt::SETKEY(kLook, [&] { under = term->text(5) + term->text(6); });
        keys({key::RIGHT, start, kLook, key::ESC, key::ESC});
        EDITA(22);
        rt::SETKEY(kLook, {});
        EXPECT_EQ(under.find("APARTAMENTO") != std::string::npos, start == key::ENTER) << under;
    }
}

TEST_F(GridEngine, InsertAfterOrderTwentyGivesTwentyOneAndSpacesTheFollowingByTen) {
    tb::Table& t = table(24, kAssets,
                         {{{"I7_0", 10}, {"I7_1", 1}}, {{"I7_0", 20}, {"I7_1", 2}},
                          {{"I7_0", 30}, {"I7_1", 3}}, {{"I7_0", 40}, {"I7_1", 4}}});
    keys({key::DOWN, key::INS, 'S', key::ESC});
    EDITA(22);
    EXPECT_EQ(column(t, "I7_0"), (std::vector<double>{10, 20, 31, 41, 21}));
    t.go_to(5);
    EXPECT_EQ(t.get("CPF").as_string(), "12345678909");
}

TEST_F(GridEngine, RenumberSkipsZeroItemsAndRefusesToStartFromOne) {
    struct Case {
        int downs;
        std::vector<double> after;
        bool refused;
    };
    const std::vector<Case> cases = {{0, {5, 0, 6, 7}, false}, {1, {5, 0, 9, 12}, true}};
    for (const Case& c : cases) {
        tables::ws().close_all();
        tb::Table& t = table(24, kAssets,
                             {{{"I7_1", 5}}, {{"I7_1", 0}}, {{"I7_1", 9}}, {{"I7_1", 12}}});
        for (int i = 0; i < c.downs; ++i) keys({key::DOWN});
        keys({rt::key::alt_letter('R'), 'S'});
        if (c.refused) keys({key::ENTER});
        keys({key::ESC});
        EDITA(22);
        EXPECT_EQ(column(t, "I7_1"), c.after) << "from row " << c.downs + 1;
        if (c.refused) {
            EXPECT_TRUE(term->all_snapshots().find("Item diferente de 0") != std::string::npos);
        }
    }
}

TEST_F(GridEngine, UpOnTheBlankLineStaysOnTheLastRow) {
    tb::Table& t = table(24, kAssets, {{{"I7_1", 1}}, {{"I7_1", 2}}, {{"I7_1", 3}}});
    keys({key::DOWN, key::DOWN, key::DOWN, key::UP, key::DEL, 'S', key::ESC});
    EDITA(22);
    t.go_to(3);
    EXPECT_TRUE(t.deleted());
    t.go_to(2);
    EXPECT_FALSE(t.deleted());
}

TEST_F(GridEngine, DeletingTheLastRowOpensTheBlankLineForANewOne) {
    tb::Table& t = table(24, kAssets, {{{"I7_1", 3}, {"I7_0", 10}}});
    keys({key::DEL, 'S', '8', key::ENTER, key::ESC});
    EDITA(22);
    ASSERT_EQ(t.lastrec(), 2u);
    t.go_to(1);
    EXPECT_TRUE(t.deleted());
    t.go_to(2);
    EXPECT_FALSE(t.deleted());
    EXPECT_EQ(t.get("I7_1").as_number(), 8);
}

// A full code cell ends the row and goes on to the blank line below; what
// is typed there is a new row, the one above keeps its own.
TEST_F(GridEngine, TypingOnTheBlankLineAfterACodeMakesANewRow) {
    tb::Table& t = table(24, kAssets, {{{"I7_2", std::string("CASA")}, {"I7_0", 10}}});
    keys({key::RIGHT, key::RIGHT, key::RIGHT, key::RIGHT, '1', '1', key::RIGHT, 'C', 'A', 'R', 'R', 'O', key::ENTER,
          key::ESC});
    EDITA(5);
    ASSERT_EQ(t.lastrec(), 2u);
    t.go_to(1);
    EXPECT_EQ(rt::TRIM(t.get("I7_2").as_string()), "CASA");
    EXPECT_EQ(t.get("I7_5").as_number(), 11);
    t.go_to(2);
    EXPECT_EQ(rt::TRIM(t.get("I7_2").as_string()), "CARRO");
}

TEST_F(GridEngine, AlimonyCodeWithoutRecipientIsRefusedAndNothingWritten) {
    tb::Table& t = table(26, kPayments, {{{"I6_1", "ESCOLA"}, {"I6_3", 1}}});
    common::Global{"DESPALIM"}.set(rt::Value(0));
    keys({key::RIGHT, '3', '1', key::ENTER, key::ENTER, key::ESC, key::ESC});
    EDITA(4);
    t.go_to(1);
    EXPECT_EQ(t.get("I6_3").as_number(), 1);
    EXPECT_TRUE(term->all_snapshots().find("Para lancar a pensao precisa antes cadastrar o alimentando") !=
                std::string::npos);
}

TEST_F(GridEngine, DeletingADependantTakesTheirIncomeAndPaymentsOrNothingAtAll) {
    for (const bool confirmed : {false, true}) {
        tables::ws().close_all();
        const tb::Structure people = {{"CPF", 'C', 11, 0}, {"NRODEPEN", 'N', 2, 0}, {"NOMEDEPEN", 'C', 40, 0},
                                      {"CODIDEPEN", 'N', 2, 0}, {"DATADEPEN", 'D', 8, 0}, {"CPFDEPEN", 'C', 11, 0}};
        tb::Table& deps = table(23, people,
                                {{{"NRODEPEN", 1}, {"CODIDEPEN", 11}, {"CPFDEPEN", "11111111111"}},
                                 {{"NRODEPEN", 2}, {"CODIDEPEN", 21}, {"CPFDEPEN", "22222222222"}},
                                 {{"NRODEPEN", 3}, {"CODIDEPEN", 21}, {"CPFDEPEN", "33333333333"}}});
        tb::Table& income = table(22, {{"I1_1", 'C', 1, 0}, {"I1_8", 'C', 11, 0}},
                                  {{{"I1_1", "J"}, {"I1_8", "22222222222"}}, {{"I1_1", "J"}, {"I1_8", "11111111111"}}});
        tb::Table& monthly = table(32, {{"CPFDEPEN", 'C', 11, 0}}, {{}, {{"CPFDEPEN", "22222222222"}}});
        tb::Table& pays = table(26, kPayments, {{{"I6_6", 1}}, {{"I6_6", 2}}, {{"I6_6", 3}}, {{"I6_6", 2}}});
        common::Global{"OPCIR_1"}.set(rt::Value(41));
        keys({key::DOWN, key::DEL, 'S', 'S', confirmed ? 'S' : 'N', key::ESC});
        EDITA(3);
        const auto deleted = [](tb::Table& t) {
            std::vector<bool> out;
            for (std::uint32_t r = 1; r <= t.lastrec(); ++r) {
                t.go_to(r);
                out.push_back(t.deleted());
            }
            return out;
        };
        const bool y = confirmed;
        EXPECT_EQ(deleted(deps), (std::vector<bool>{false, y, false}));
        EXPECT_EQ(deleted(income), (std::vector<bool>{y, false}));
        EXPECT_EQ(deleted(monthly), (std::vector<bool>{false, y}));
        EXPECT_EQ(deleted(pays), (std::vector<bool>{false, y, false, y}));
        EXPECT_EQ(column(pays, "I6_6"), (std::vector<double>{1, 2, y ? 2.0 : 3.0, 2}));
        EXPECT_EQ(column(deps, "NRODEPEN"), (std::vector<double>{1, 2, y ? 2.0 : 3.0}));
    }
}

// Payments name their person by number, and the numbers close up after a
// deletion: the payments of the people after the one deleted follow them
// even when that one had no payments to delete.
TEST_F(GridEngine, PaymentsKeepTheirPersonWhenAnEarlierOneIsDeleted) {
    const struct Case {
        int screen;
        std::vector<int> keys;
        std::vector<double> payments;   // I6_6 of the payments left
    } cases[] = {
        {41, {key::DEL, 'S', key::ESC}, {0, 1, 3}},                 // ANA, the first dependant, paid nothing
        {42, {key::DOWN, key::DEL, 'S', key::ESC}, {0, 2, 3}},      // DAVI, the second recipient, neither
        {42, {key::DEL, 'S', 'S', key::ESC}, {0, 3}},               // CARLA's payment goes with her
    };
    for (const Case& c : cases) {
        tables::ws().close_all();
        const tb::Structure people = {{"CPF", 'C', 11, 0}, {"NRODEPEN", 'N', 2, 0}, {"NOMEDEPEN", 'C', 40, 0},
                                      {"CODIDEPEN", 'N', 3, 0}, {"DATADEPEN", 'D', 8, 0}, {"CPFDEPEN", 'C', 11, 0}};
        tb::Table& deps = table(23, people,
                                {{{"NRODEPEN", 1}, {"CODIDEPEN", 21}, {"NOMEDEPEN", "ANA"}},
                                 {{"NRODEPEN", 2}, {"CODIDEPEN", 99}, {"NOMEDEPEN", "CARLA"}},
                                 {{"NRODEPEN", 3}, {"CODIDEPEN", 99}, {"NOMEDEPEN", "DAVI"}},
                                 {{"NRODEPEN", 4}, {"CODIDEPEN", 21}, {"NOMEDEPEN", "BETO"}}});
        table(22, {{"I1_1", 'C', 1, 0}, {"I1_8", 'C', 11, 0}}, {});
        table(32, {{"CPFDEPEN", 'C', 11, 0}}, {{}});
        // The titular's, CARLA's and BETO's.
        tb::Table& pays = table(26, kPayments, {{{"I6_6", 0}}, {{"I6_6", 2}}, {{"I6_6", 4}}});
        common::Global{"OPCIR_1"}.set(rt::Value(c.screen));
        for (const int k : c.keys) term->feed(k);
        EDITA(3);
        const auto kept = [](tb::Table& t) {
            t.clear_filter();
            std::vector<double> out;
            for (std::uint32_t r = 1; r <= t.lastrec(); ++r) {
                t.go_to(r);
                if (!t.deleted()) out.push_back(t.get(t.field_index("I6_6") >= 0 ? "I6_6" : "NRODEPEN").as_number());
            }
            return out;
        };
        EXPECT_EQ(kept(pays), c.payments) << c.screen << " " << c.keys.size();
        EXPECT_EQ(kept(deps), (std::vector<double>{1, 2, 3})) << c.screen << " " << c.keys.size();
    }
}

}  // namespace
}  // namespace qv::declaration::grids
