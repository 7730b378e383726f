// The browse over in-memory matrices, a custom source with an append line,
// and a real table in index order.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "runtime/core/text.hpp"
#include "runtime/screen/backend.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/workspace.hpp"
#include "runtime/ui/browse.hpp"
#include "runtime/ui/browse_matrix.hpp"
#include "runtime/ui/browse_table.hpp"
#include "runtime/ui/read.hpp"

namespace qv::rt {
namespace {

// Rows "R01".."Rnn" with a second cell "vNN".
MatrixSource numbered(int n) {
    std::vector<std::vector<std::string>> rows;
    for (int i = 1; i <= n; ++i) {
        std::string k = (i < 10 ? "0" : "") + std::to_string(i);
        rows.push_back({"R" + k, "v" + k});
    }
    return MatrixSource::from_text(rows);
}

class BrowseTest : public ::testing::Test {
protected:
    void SetUp() override {
        term = &use_headless();
        CLEAR_TYPEAHEAD();
    }
    // A two-column browse on screen rows 2..13: one heading row, the
    // heading separator, then 10 data rows (screen rows 4..13).
    void make(int rows, int top = 2, int bottom = 13) {
        src = numbered(rows);
        b = std::make_unique<Browse>(top, 0, bottom, 39);
        b->set_source(src.source());
        b->set_col_sep("\xB3");            // │
        b->set_head_sep("\xC2\xC4");       // ┬─
        b->add_column(BrowseColumn("Lin", src.block(1)));
        b->add_column(BrowseColumn("Valor", src.block(2)));
        b->force_stable();
    }
    std::string line(int row) const { return TRIM(row_text(row)); }

    HeadlessBackend* term = nullptr;
    MatrixSource src = numbered(0);
    std::unique_ptr<Browse> b;
};

TEST_F(BrowseTest, DrawsHeadingsSeparatorsAndRows) {
    make(3);
    // Heading on row 2, separator on row 3, data from row 4 (10 data rows).
    EXPECT_EQ(b->row_count(), 10);
    EXPECT_EQ(line(2), "Lin Valor");
    EXPECT_EQ(line(3), "\xC4\xC4\xC4\xC2\xC4\xC4\xC4\xC4\xC4");
    EXPECT_EQ(line(4), "R01\xB3v01");
    EXPECT_EQ(line(6), "R03\xB3v03");
    // Below the last row only the column separator goes on.
    EXPECT_EQ(line(7), "   \xB3");
    EXPECT_EQ(src.row(), 1);
}

TEST_F(BrowseTest, TwoLineHeadingsFootingsAndTheirSeparators) {
    src = numbered(20);
    b = std::make_unique<Browse>(0, 0, 9, 39);
    b->set_source(src.source());
    b->set_col_sep("\xB3");
    b->set_head_sep("\xC2\xC4");   // ┬─
    b->set_foot_sep("\xC1\xC4");   // ┴─
    BrowseColumn a("Lin;ha", src.block(1));
    a.footing = "Tot";
    BrowseColumn v("Valor", src.block(2));
    v.footing = "1.234";
    b->add_column(a);
    b->add_column(v);
    b->force_stable();
    // 2 heading rows + separator, 5 data rows, separator + footing.
    EXPECT_EQ(b->row_count(), 5);
    EXPECT_EQ(line(0), "Lin Valor");
    EXPECT_EQ(line(1), "ha");
    EXPECT_EQ(line(2), "\xC4\xC4\xC4\xC2\xC4\xC4\xC4\xC4\xC4");
    EXPECT_EQ(line(3), "R01\xB3v01");
    EXPECT_EQ(line(7), "R05\xB3v05");
    EXPECT_EQ(line(8), "\xC4\xC4\xC4\xC1\xC4\xC4\xC4\xC4\xC4");
    EXPECT_EQ(line(9), "Tot 1.234");
    // A footing changed at run time shows after invalidate().
    b->get_column(2).footing = "9.999";
    b->invalidate();
    b->force_stable();
    EXPECT_EQ(line(9), "Tot 9.999");
}

TEST_F(BrowseTest, SetRowPosShowsTheCurrentRowOnThatScreenRow) {
    make(30);
    b->page_down();   // row 11 on screen row 1
    b->set_row_pos(4);
    b->force_stable();
    EXPECT_EQ(src.row(), 11);
    EXPECT_EQ(b->row_pos(), 4);
    EXPECT_EQ(line(4), "R08\xB3v08");
}

TEST_F(BrowseTest, DownPastTheLastRowSetsHitBottom) {
    make(5);
    for (int i = 0; i < 4; ++i) {
        b->down();
        b->force_stable();
        EXPECT_FALSE(b->hit_bottom());
    }
    EXPECT_EQ(b->row_pos(), 5);
    EXPECT_EQ(src.row(), 5);
    b->down();
    b->force_stable();
    EXPECT_TRUE(b->hit_bottom());
    EXPECT_EQ(b->row_pos(), 5);
    EXPECT_EQ(src.row(), 5);
    // The next successful move clears the flag.
    b->up();
    b->force_stable();
    EXPECT_FALSE(b->hit_bottom());
    EXPECT_FALSE(b->hit_top());
    EXPECT_EQ(src.row(), 4);
}

TEST_F(BrowseTest, UpOnTheFirstRowSetsHitTop) {
    make(5);
    b->up();
    b->force_stable();
    EXPECT_TRUE(b->hit_top());
    EXPECT_EQ(b->row_pos(), 1);
}

TEST_F(BrowseTest, DownOnTheLastScreenRowScrolls) {
    make(30);
    for (int i = 0; i < 10; ++i) b->down();
    b->force_stable();
    EXPECT_EQ(b->row_pos(), 10);
    EXPECT_EQ(src.row(), 11);
    EXPECT_EQ(line(4), "R02\xB3v02");
    EXPECT_EQ(line(13), "R11\xB3v11");
}

TEST_F(BrowseTest, PageDownKeepsTheCursorRowUntilTheEnd) {
    make(30);
    b->page_down();
    b->force_stable();
    EXPECT_EQ(src.row(), 11);
    EXPECT_EQ(b->row_pos(), 1);
    EXPECT_EQ(line(4), "R11\xB3v11");
    b->page_down();
    b->force_stable();
    EXPECT_EQ(src.row(), 21);
    EXPECT_EQ(line(13), "R30\xB3v30");
    // Only 9 rows are left: the cursor goes to the last row at the bottom.
    b->page_down();
    b->force_stable();
    EXPECT_FALSE(b->hit_bottom());
    EXPECT_EQ(src.row(), 30);
    EXPECT_EQ(b->row_pos(), 10);
    b->page_down();
    b->force_stable();
    EXPECT_TRUE(b->hit_bottom());
}

TEST_F(BrowseTest, PageUpNearTheTopStopsOnTheFirstRow) {
    make(30);
    for (int i = 0; i < 14; ++i) b->down();   // row 15 on screen row 10
    b->force_stable();
    EXPECT_EQ(src.row(), 15);
    b->page_up();
    b->force_stable();
    EXPECT_EQ(src.row(), 5);
    // The window starts on the first row, so row 5 sits on screen row 5.
    EXPECT_EQ(b->row_pos(), 5);
    EXPECT_EQ(line(4), "R01\xB3v01");
    b->page_up();
    b->force_stable();
    EXPECT_EQ(src.row(), 1);
    EXPECT_EQ(b->row_pos(), 1);
    b->page_up();
    EXPECT_TRUE(b->hit_top());
}

TEST_F(BrowseTest, GoBottomFillsTheWindowUpToTheLastRow) {
    make(30);
    b->go_bottom();
    b->force_stable();
    EXPECT_EQ(src.row(), 30);
    EXPECT_EQ(b->row_pos(), 10);
    EXPECT_EQ(line(4), "R21\xB3v21");
    b->go_top();
    b->force_stable();
    EXPECT_EQ(src.row(), 1);
    EXPECT_EQ(line(4), "R01\xB3v01");
}

TEST_F(BrowseTest, GoBottomOnAShortMatrixLeavesBlankLinesBelow) {
    make(4);
    b->go_bottom();
    b->force_stable();
    EXPECT_EQ(b->row_pos(), 4);
    EXPECT_EQ(line(4), "R01\xB3v01");
    EXPECT_EQ(line(8), "   \xB3");
}

TEST_F(BrowseTest, EmptyMatrixDrawsNoRowAndEveryMoveHitsAnEdge) {
    make(0);
    EXPECT_EQ(line(2), "Lin Valor");
    EXPECT_EQ(line(4), "   \xB3");
    b->down();
    EXPECT_TRUE(b->hit_bottom());
    b->up();
    EXPECT_TRUE(b->hit_top());
}

TEST_F(BrowseTest, StandardKeysMoveTheBrowse) {
    make(30);
    EXPECT_TRUE(browse_apply_key(*b, key::CTRL_PGDN));
    b->force_stable();
    EXPECT_EQ(src.row(), 30);
    EXPECT_TRUE(browse_apply_key(*b, key::CTRL_PGUP));
    EXPECT_TRUE(browse_apply_key(*b, key::DOWN));
    b->force_stable();
    EXPECT_EQ(src.row(), 2);
    EXPECT_FALSE(browse_apply_key(*b, 'x'));
}

TEST_F(BrowseTest, StabilizeStopsWhenAKeyIsWaiting) {
    src = numbered(30);
    b = std::make_unique<Browse>(2, 0, 13, 39);
    b->set_source(src.source());
    b->add_column(BrowseColumn("Lin", src.block(1)));
    push_key(key::DOWN);
    EXPECT_FALSE(b->stabilize_polling());
    EXPECT_FALSE(b->stable());
    // The source is back on the current row, whatever was drawn.
    EXPECT_EQ(src.row(), 1);
    EXPECT_EQ(INKEY(0), key::DOWN);
    EXPECT_TRUE(b->stabilize_polling());
    EXPECT_TRUE(b->stable());
    EXPECT_EQ(line(3), "R01");
    EXPECT_EQ(line(13), "R11");
}

// A label column frozen, six month columns of 10 in a 30-column browse:
// the label (5) and two months fit ("lbl  │month1    │month2    ").
class BrowsePanTest : public BrowseTest {
protected:
    void SetUp() override {
        BrowseTest::SetUp();
        std::vector<std::vector<std::string>> rows;
        rows.push_back({"Jan", "a2", "a3", "a4", "a5", "a6", "a7"});
        rows.push_back({"Fev", "b2", "b3", "b4", "b5", "b6", "b7"});
        src = MatrixSource::from_text(rows);
        b = std::make_unique<Browse>(0, 0, 5, 29);
        b->set_source(src.source());
        b->set_col_sep("\xB3");
        for (int c = 1; c <= 7; ++c) {
            BrowseColumn col(c == 1 ? "Mes" : "M" + std::to_string(c), src.block(c));
            col.width = c == 1 ? 5 : 10;
            b->add_column(col);
        }
        b->set_freeze(1);
        b->set_col_pos(2);
        b->force_stable();
    }
};

TEST_F(BrowsePanTest, RightBeyondTheWindowPansKeepingTheFrozenColumn) {
    EXPECT_EQ(b->left_visible(), 2);
    EXPECT_EQ(b->right_visible(), 3);
    EXPECT_EQ(line(1), "Jan  \xB3" "a2        \xB3" "a3");
    b->right();
    b->right();
    b->force_stable();
    EXPECT_EQ(b->col_pos(), 4);
    EXPECT_EQ(b->left_visible(), 3);
    EXPECT_EQ(b->right_visible(), 4);
    EXPECT_EQ(line(0), "Mes   M3         M4");
    EXPECT_EQ(line(1), "Jan  \xB3" "a3        \xB3" "a4");
    EXPECT_EQ(line(2), "Fev  \xB3" "b3        \xB3" "b4");
}

TEST_F(BrowsePanTest, PanEndHomeAndLeft) {
    b->pan_end();
    b->force_stable();
    EXPECT_EQ(b->col_pos(), 7);
    EXPECT_EQ(b->left_visible(), 6);
    EXPECT_EQ(line(1), "Jan  \xB3" "a6        \xB3" "a7");
    b->pan_left();
    b->force_stable();
    EXPECT_EQ(b->left_visible(), 5);
    EXPECT_EQ(b->col_pos(), 6);   // column 7 left the window
    EXPECT_EQ(line(1), "Jan  \xB3" "a5        \xB3" "a6");
    b->pan_home();
    b->force_stable();
    EXPECT_EQ(b->col_pos(), 1);
    EXPECT_EQ(b->left_visible(), 2);
    // Panning never scrolls the frozen column away.
    b->pan_left();
    EXPECT_EQ(b->left_visible(), 2);
    b->pan_right();
    b->force_stable();
    EXPECT_EQ(b->left_visible(), 3);
    EXPECT_EQ(line(1), "Jan  \xB3" "a3        \xB3" "a4");
}

TEST_F(BrowsePanTest, LeftFromTheFirstUnfrozenColumnReachesTheFrozenOne) {
    b->pan_right();
    b->left();
    b->force_stable();
    EXPECT_EQ(b->col_pos(), 2);
    EXPECT_EQ(b->left_visible(), 2);
    b->left();
    EXPECT_EQ(b->col_pos(), 1);
    b->left();
    EXPECT_EQ(b->col_pos(), 1);
}

TEST_F(BrowseTest, ColorRectColoursARowUntilItIsReread) {
    make(5);
    b->set_color_spec("W/B,N/W,GR+/B,W+/R");
    b->down();
    b->force_stable();
    const int y = b->cell_row();
    EXPECT_EQ(y, 5);
    EXPECT_EQ(cell_at(y, 0).attr, 0x70);   // current cell: enhanced of pair {1, 2}
    EXPECT_EQ(cell_at(y, 4).attr, 0x17);
    b->color_rect(b->row_pos(), 1, b->row_pos(), b->col_count(), ColorPair{3, 4});
    b->hilite();
    EXPECT_EQ(cell_at(y, 0).attr, 0x4F);   // current cell: colour 4
    EXPECT_EQ(cell_at(y, 4).attr, 0x1E);   // the rest of the row: colour 3
    EXPECT_EQ(cell_at(y + 1, 4).attr, 0x17);
    // The separator keeps the browse's first colour.
    EXPECT_EQ(cell_at(y, 3).attr, 0x17);
    b->refresh_current();
    b->force_stable();
    EXPECT_EQ(cell_at(y, 0).attr, 0x70);
    EXPECT_EQ(cell_at(y, 4).attr, 0x17);
}

TEST_F(BrowseTest, ColorBlockChoosesThePairPerCell) {
    std::vector<std::vector<std::string>> rows{{"-5"}, {"7"}};
    src = MatrixSource::from_text(rows);
    b = std::make_unique<Browse>(0, 0, 4, 9);
    b->set_source(src.source());
    b->set_color_spec("W/N,N/W,R/N,N/R");
    BrowseColumn c("", src.block(1));
    c.color_block = [](const Value& v) {
        return VAL(v.as_string()) < 0 ? ColorPair{3, 4} : ColorPair{1, 2};
    };
    b->add_column(c);
    b->set_auto_lite(false);
    b->force_stable();
    EXPECT_EQ(cell_at(0, 0).attr, 0x04);
    EXPECT_EQ(cell_at(1, 0).attr, 0x07);
}

// The grid engine's cell edit: the caller edits the value under the cursor
// (here straight into the matrix) and asks for the row to be read again.
TEST_F(BrowseTest, EditOfTheCurrentCellShowsAfterRefreshCurrent) {
    make(5);
    b->down();
    b->down();
    b->right();
    b->force_stable();
    ASSERT_EQ(src.row(), 3);
    EXPECT_EQ(b->cell_row(), 6);
    EXPECT_EQ(b->cell_col(), 4);
    EXPECT_EQ(b->cell_width(), 5);
    auto edit = [&](const std::string& typed) { src.set_cell(b->col_pos(), Value(typed)); };
    edit("12,50");
    EXPECT_EQ(line(6), "R03\xB3v03");   // not reread yet
    b->refresh_current();
    b->force_stable();
    EXPECT_EQ(line(6), "R03\xB3" "12,50");
    EXPECT_EQ(line(5), "R02\xB3v02");
    EXPECT_EQ(src.rows()->at(2).at(2).as_string(), "12,50");
}

// The same flow with an entry field on the cell, as the grid engine runs it.
TEST_F(BrowseTest, EntryFieldOnTheCurrentCellWritesThroughTheSource) {
    make(5);
    b->down();
    b->right();
    b->force_stable();
    GetList gets;
    gets.emplace_back(b->cell_row(), b->cell_col(), "CELL",
                      [&] { return src.cell(b->col_pos()); },
                      [&](const Value& v) { src.set_cell(b->col_pos(), v); }, "@!");
    term->feed_text("ab");
    term->feed(key::ENTER);
    EXPECT_TRUE(READ(gets));
    b->refresh_current();
    b->force_stable();
    EXPECT_EQ(line(5), "R02\xB3" "AB2");
    EXPECT_EQ(src.rows()->at(1).at(2).as_string(), "AB2");
    EXPECT_EQ(src.row(), 2);
}

TEST_F(BrowseTest, PictureFormatsTheCell) {
    auto rows = std::make_shared<Array>();
    auto r1 = std::make_shared<Array>();
    r1->emplace_back(1234.5);
    rows->emplace_back(r1);
    MatrixSource m(rows);
    b = std::make_unique<Browse>(0, 0, 3, 20);
    b->set_source(m.source());
    BrowseColumn c("Total", m.block(1));
    c.picture = "@E 9,999.99";
    b->add_column(c);
    b->force_stable();
    EXPECT_EQ(line(1), "1.234,50");
}

// A source that can stand on the blank line after its last row when the
// caller allows it, as a table does in append mode.
struct AppendSource {
    int count = 3;
    int row = 1;       // count + 1: the blank line
    bool append = false;
    BrowseSource source() {
        BrowseSource s;
        s.skip = [this](long n) {
            const long last = count + (append ? 1 : 0);
            long target = std::clamp<long>(row + n, 1, last);
            long moved = target - row;
            row = static_cast<int>(target);
            return moved;
        };
        s.go_top = [this] { row = 1; };
        s.go_bottom = [this] { row = count; };
        return s;
    }
};

TEST_F(BrowseTest, AppendLineIsReachedOnlyWhenTheSourceAllowsIt) {
    AppendSource a;
    b = std::make_unique<Browse>(0, 0, 5, 19);
    b->set_source(a.source());
    b->add_column(BrowseColumn("", [&] { return Value(a.row <= a.count ? "row" + std::to_string(a.row) : ""); }));
    b->force_stable();
    b->down();
    b->down();
    b->down();
    EXPECT_TRUE(b->hit_bottom());
    a.append = true;
    b->down();
    b->force_stable();
    EXPECT_FALSE(b->hit_bottom());
    EXPECT_EQ(a.row, 4);
    EXPECT_EQ(b->row_pos(), 4);
    // The new row is written; the browse shows it once reread.
    a.count = 4;
    b->refresh_current();
    b->force_stable();
    EXPECT_EQ(line(3), "row4");
}

// --- a real table, browsed in index order --------------------------------

class BrowseTableTest : public BrowseTest {
protected:
    void SetUp() override {
        BrowseTest::SetUp();
        dir = std::filesystem::temp_directory_path() /
              ("qv_browse_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        const std::string path = (dir / "pessoas.dbf").string();
        table::create_table(path, {{"NOME", 'C', 10, 0}, {"VALOR", 'N', 8, 2}}, table::MemoKind::None);
        ws = &table::workspace();
        ws->select(0);
        table::OpenOptions opt;
        opt.exclusive = true;
        t = &ws->use(path, opt);
        const char* names[] = {"Maria", "Ana", "Paulo", "Carlos", "Bia"};
        double v = 1;
        for (const char* n : names) {
            ASSERT_TRUE(t->append_blank());
            t->put("NOME", Value(n));
            t->put("VALOR", Value(v++));
        }
        t->commit();
        t->index_on("NOME", "NOME");
        t->go_top();
    }
    void TearDown() override {
        ws->close(t->area());
        std::filesystem::remove_all(dir);
    }
    std::filesystem::path dir;
    table::Workspace* ws = nullptr;
    table::Table* t = nullptr;
};

TEST_F(BrowseTableTest, ShowsTheRecordsInIndexOrderAndAppendLine) {
    TableSource ts(*t);
    b = std::make_unique<Browse>(0, 0, 9, 29);
    b->set_source(ts.source());
    b->add_column(BrowseColumn("Nome", ts.field_block("NOME")));
    BrowseColumn v("Valor", ts.field_block("VALOR"));
    v.picture = "@EZ 999.99";   // the blank line shows blanks, not 0,00
    b->add_column(v);
    b->force_stable();
    EXPECT_EQ(line(1), "Ana          2,00");
    EXPECT_EQ(line(2), "Bia          5,00");
    EXPECT_EQ(line(5), "Paulo        3,00");
    EXPECT_EQ(line(6), "");
    b->go_bottom();
    b->force_stable();
    EXPECT_EQ(t->recno(), 3u);   // Paulo
    b->down();
    EXPECT_TRUE(b->hit_bottom());
    EXPECT_EQ(t->recno(), 3u);
    ts.set_append_row(true);
    b->down();
    b->force_stable();
    EXPECT_FALSE(b->hit_bottom());
    EXPECT_TRUE(ts.on_append_row());
    EXPECT_EQ(b->row_pos(), 6);
    EXPECT_EQ(line(6), "");
    // Up from the blank line returns to the last record.
    b->up();
    b->force_stable();
    EXPECT_EQ(t->recno(), 3u);
    b->go_top();
    b->force_stable();
    EXPECT_EQ(TRIM(t->get("NOME").as_string()), "Ana");
}

}  // namespace
}  // namespace qv::rt

namespace qv::rt {
namespace {

TEST_F(BrowseTest, AStableBrowsePutsTheCursorBackOnTheCurrentCell) {
    make(3);
    b->right();
    b->down();
    b->force_stable();
    // Something written elsewhere (an entry on the cell, a message) moved
    // the cursor; the next stabilize finds it where the next key acts.
    at_say(20, 30, "ABC");
    SETPOS(20, 33);
    b->force_stable();
    EXPECT_EQ(ROW(), 5);
    EXPECT_EQ(COL(), 4);
}

}  // namespace
}  // namespace qv::rt
