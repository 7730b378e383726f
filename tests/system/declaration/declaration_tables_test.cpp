// What the declaration's pages and loop do to the terminal's work tables:
// the dependants' monthly rows, the data size, the escape from page 2.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "../system_fixture.hpp"
#include "common/globals.hpp"
#include "declaration/entry/frame_painter.hpp"
#include "declaration/entry/gtela.hpp"
#include "declaration/entry/page_support.hpp"
#include "declaration/loop/page_globals.hpp"
#include "declaration/loop/screen_loop.hpp"
#include "declaration/loop/usage.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "tables/schemas.hpp"
#include "tables/state.hpp"

namespace qv::declaration {
namespace {

namespace key = rt::key;
namespace tb = rt::table;

class DeclarationTables : public test_support::FoldersTest {
protected:
    tb::Table& table(int area, const std::string& name, const tb::Structure& s,
                     const std::vector<std::vector<std::pair<std::string, rt::Value>>>& rows) {
        const std::string path = client + name + ".dbf";
        tb::create_table(path, s);
        tb::OpenOptions own;   // work copies are opened exclusively, as loading does
        own.exclusive = true;
        tb::Table& t = tables::ws().use_in(area, path, own);
        for (const auto& row : rows) {
            EXPECT_TRUE(t.append_blank());
            for (const auto& [field, v] : row) t.put(field, v);
        }
        t.commit();
        return t;
    }
};

TEST_F(DeclarationTables, DependantsListKeepsMonthlyRowsOfDependantsCodedBelow98) {
    table(23, "dep", *tables::schema_of(3),
          {{{"CODIDEPEN", 11}, {"CPFDEPEN", "11111111111"}},
           {{"CODIDEPEN", 97}, {"CPFDEPEN", "22222222222"}},
           {{"CODIDEPEN", 98}, {"CPFDEPEN", "33333333333"}}});
    tb::Table& monthly = table(32, "mon", {{"CPFDEPEN", 'C', 11, 0}},
                               {{{"CPFDEPEN", ""}},
                                {{"CPFDEPEN", "11111111111"}},
                                {{"CPFDEPEN", "22222222222"}},
                                {{"CPFDEPEN", "33333333333"}},
                                {{"CPFDEPEN", "44444444444"}}});
    common::Global{"OPCIR_1"}.set(rt::Value(41));
    MTELA(4);
    keys({key::ESC});
    GTELA(4);
    const std::vector<bool> deleted = {false, false, false, true, true};
    for (std::uint32_t r = 1; r <= deleted.size(); ++r) {
        monthly.go_to(r);
        EXPECT_EQ(monthly.deleted(), deleted[r - 1]) << "row " << r;
    }
    EXPECT_EQ(vars::ULTTECLA.integer(), 27);
}

TEST_F(DeclarationTables, DataSizeAddsTheWorkTablesAndStopsAt999999) {
    tb::Table& small = table(21, "small", {{"NOME", 'C', 9, 0}}, {{{"NOME", "A"}}, {{"NOME", "B"}}, {{"NOME", "C"}}});
    EXPECT_EQ(VETAMHO(0), 3 * 10 + small.header_len() + 1);
    tables::ws().close(21);
    // Fourteen tables of 80 records of 1001 bytes: past the cap.
    const tb::Structure wide = {{"A", 'C', 250, 0}, {"B", 'C', 250, 0}, {"C", 'C', 250, 0}, {"D", 'C', 250, 0}};
    std::vector<std::vector<std::pair<std::string, rt::Value>>> rows(80, {{"A", "X"}});
    for (int area = 21; area <= 34; ++area) table(area, "big" + std::to_string(area), wide, rows);
    EXPECT_EQ(VETAMHO(0), 999999);
    EXPECT_EQ(common::Global{"TAM_USO"}.integer(), 999999);
}

TEST_F(DeclarationTables, EscFromThePersonChooserOfPage2LeavesTheLoop) {
    // The income list of page 2 leaves with the page-change flag when no
    // person was chosen; Esc there must end the loop, not show page 2 again.
    rt::register_function("RENDPF", [](std::span<const rt::Value>) {
        rt::INKEY(-1);
        vars::TECLAMUDA.set(rt::Value(true));
        return rt::Value();
    });
    common::Global{"TELA"}.set(rt::Value(2));
    common::Global{"OPCIR_1"}.set(rt::Value(22));
    common::Global{"TEMRURAL"}.set(rt::Value("N"));
    keys({key::ESC});
    GIRO();
    EXPECT_EQ(vars::TELA.integer(), 2);
    EXPECT_EQ(vars::ULTTECLA.integer(), 27);
}

TEST_F(DeclarationTables, UsageLogRowHoldsTheStartEndAndTimeSpent) {
    rt::set_clock(rt::Date::from_ymd(2012, 4, 20), 10 * 3600 + 5);   // 10:00:05
    common::Global{"INI_DECLA"}.set(rt::Value(9 * 3600 + 30 * 60));   // 09:30:00
    common::Global{"TEM_USO"}.set(rt::Value(0));
    common::Global{"NOMEAG"}.set(rt::Value("ANA"));
    common::Global{"CPF"}.set(rt::Value("11144477735"));
    common::Global{"NOMECONTR"}.set(rt::Value("MARIA DA SILVA"));
    EXPECT_EQ(VETEMPO(3), 1805);
    rt::reset_clock();
    tb::Table& log = tables::ws().use_in(73, prog + "USOLOG.dbf", {});
    ASSERT_EQ(log.lastrec(), 1u);
    log.go_to(1);
    EXPECT_EQ(rt::TRIM(log.get("NOMEAG").as_string()), "ANA");
    EXPECT_EQ(log.get("CPF").as_string(), "11144477735");
    EXPECT_EQ(log.get("DATAUSO").as_date(), rt::Date::from_ymd(2012, 4, 20));
    EXPECT_EQ(log.get("INIUSO").as_string(), "09:30:00");
    EXPECT_EQ(log.get("FIMUSO").as_string(), "10:00:05");
    EXPECT_EQ(log.get("TEMUSO").as_string(), "00:30:05");
}

TEST_F(DeclarationTables, BalanceFeeNeverShowsLessThanTheMinimum) {
    common::Global{"USAPADRAO"}.set(rt::Value("N"));
    common::Global{"VAL_MIN"}.set(rt::Value(35.0));
    common::Global{"VAL_BYTE"}.set(rt::Value(0.01));
    common::Global{"VAL_SEG"}.set(rt::Value(0.5));
    common::Global{"TEM_USO"}.set(rt::Value(120));   // two minutes: 1.00
    common::Global{"SEMHORA"}.set(rt::Value(true));
    common::Global{"TELA"}.set(rt::Value(10));
    MTELA(10);
    keys({key::ESC});
    GTELA(10);
    EXPECT_NE(term->text(page_row(10) + 19).find("35,00"), std::string::npos) << term->text(page_row(10) + 19);
    common::Global{"VAL_MIN"}.set(rt::Value(0.5));
    keys({key::ESC});
    GTELA(10);
    EXPECT_NE(term->text(page_row(10) + 19).find(" 1,00"), std::string::npos) << term->text(page_row(10) + 19);
}

TEST_F(DeclarationTables, DepartureForcesTheCompleteModel) {
    common::Global{"DECSAIDA"}.set(rt::Value("S"));
    common::Global{"USAPADRAO"}.set(rt::Value("S"));
    common::Global{"TELA"}.set(rt::Value(7));
    keys({key::ESC});
    GTELA(7);
    EXPECT_EQ(common::Global{"USAPADRAO"}.text(), "N");
    EXPECT_EQ(vars::ULTTECLA.integer(), 27);
}

}  // namespace
}  // namespace qv::declaration
