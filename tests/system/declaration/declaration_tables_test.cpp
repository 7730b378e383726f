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
#include "runtime/core/functions.hpp"
#include "runtime/table/table.hpp"
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
        tb::Table& t = tables::ws().use_in(area, path, {});
        for (const auto& row : rows) {
            EXPECT_TRUE(t.append_blank());
            for (const auto& [field, v] : row) t.put(field, v);
        }
        t.commit();
        return t;
    }
};

TEST_F(DeclarationTables, DependantsListKeepsMonthlyRowsOfDependantsCodedBelow98) {
    table(23, "dep", {{"CODIDEPEN", 'N', 2, 0}, {"CPFDEPEN", 'C', 11, 0}},
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
    // Back to what the page does while its list is not there.
    rt::register_function("RENDPF", [](std::span<const rt::Value>) {
        wait_page_key();
        return rt::Value();
    });
}

}  // namespace
}  // namespace qv::declaration
