// What a clerk met in the grids: the cash book's sort over the work copy,
// the page totals after a deletion, the payments grid's last cell and its
// dependant number, a refused NIT typed again, a long name edited in its
// column, the cursor after Esc, the frames of the grids in windows, the
// rows a grid leaves below its page, and the carnê-leão sheet after panning.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/globals.hpp"
#include "common/windows.hpp"
#include "declaration/calc/balance_page.hpp"
#include "declaration/calc/calc_routines.hpp"
#include "declaration/calc/declaration_helpers.hpp"
#include "declaration/calc/rural_results.hpp"
#include "declaration/entry/frame_painter.hpp"
#include "declaration/grids/grid_catalogue.hpp"
#include "declaration/grids/grid_checks.hpp"
#include "declaration/grids/grid_engine.hpp"
#include "declaration/grids/grid_routines.hpp"
#include "declaration/grids/matrix_catalogue.hpp"
#include "declaration/loop/page_globals.hpp"
#include "declaration/loop/work_tables.hpp"
#include "grid_fixture.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/read.hpp"
#include "tables/opening.hpp"
#include "tables/schemas.hpp"

namespace qv::declaration::grids {
namespace {

namespace key = rt::key;
namespace tb = rt::table;
using rt::Value;

constexpr int kLook = 500;   // a key of no meaning to the grids: the test looks then

class GridFaults : public GridTest {
protected:
    void SetUp() override {
        GridTest::SetUp();
        scope_ = std::make_unique<rt::DeclarationScope>();
        work_ = root + "/work/";
        std::filesystem::create_directories(work_);
        common::Global{"LOCTRAB"}.set(Value(work_));
        common::Global{"NUSU"}.set(Value("01"));
        tables::ws().set_deleted(true);
        register_calc_routines();
        register_grid_routines();
        register_grid_check_routines();
    }
    void TearDown() override {
        tables::ws().close_all();
        scope_.reset();
        GridTest::TearDown();
    }
    // The terminal's work copy of declaration table `code`, with its index.
    tb::Table& work_copy(int code, const std::vector<Row>& rows) {
        const std::string file = declaration::work_file(code) + ".dbf";
        tb::create_table(file, *tables::schema_of(code));
        EXPECT_TRUE(declaration::open_work_copy(code));
        tb::Table& t = tables::ws().current(code + 20);
        for (const Row& row : rows) {
            EXPECT_TRUE(t.append_blank());
            t.put("CPF", Value("12345678909"));
            for (const auto& [field, v] : row) t.put(field, v);
            t.commit();
            t.unlock();
        }
        t.go_top();
        return t;
    }
    std::string screen() const {
        std::string all;
        for (int r = 0; r < 25; ++r) all += term->text(r) + "\n";
        return all;
    }

    std::unique_ptr<rt::DeclarationScope> scope_;
    std::string work_;
};

rt::Date day(int d, int m) { return rt::Date::from_ymd(2011, m, d); }

TEST_F(GridFaults, TheCashBookSortsOverItsWorkCopyAndAFailedSortLeavesItAsItWas) {
    common::Global{"TIPOCR"}.set(Value("C"));
    tb::Table& t = work_copy(19, {{{"TIPOCR", Value("C")}, {"DT_LC", Value(day(20, 3))}, {"DESCR", Value("MILHO")}},
                                  {{"TIPOCR", Value("C")}, {"DT_LC", Value(day(5, 1))}, {"DESCR", Value("SOJA")}},
                                  {{"TIPOCR", Value("C")}, {"DT_LC", Value(day(9, 2))}, {"DESCR", Value("GADO")}}});
    const std::string own_index = work_ + "TMP_1901.cdx";
    ASSERT_TRUE(std::filesystem::exists(own_index));
    struct Case {
        bool sort_can_be_written;
        std::vector<std::string> shown;   // descriptions from the top of the grid
    };
    for (const Case& c : {Case{true, {"SOJA", "GADO", "MILHO"}}, Case{false, {"MILHO", "SOJA", "GADO"}}}) {
        tables::ws().select(39);
        t.set_order(0);
        std::filesystem::remove_all(work_ + "TMP_1901S_.cdx");
        if (!c.sort_can_be_written) std::filesystem::create_directories(work_ + "TMP_1901S_.cdx/held");
        std::vector<std::string> seen;
        rt::SETKEY(kLook, [&] {
            for (const int r : {8, 9, 10})
                for (const char* word : {"SOJA", "GADO", "MILHO"})
                    if (term->text(r).find(word) != std::string::npos) seen.push_back(word);
        });
        keys({rt::key::alt_letter('O')});
        if (!c.sort_can_be_written) keys({key::ENTER});   // the message's Ok
        keys({kLook, key::ESC});
        EXPECT_NO_THROW(EDITA(38));
        rt::SETKEY(kLook, {});
        EXPECT_EQ(seen, c.shown) << screen();
        EXPECT_EQ(term->showed("Não foi possível ordenar a lista"), !c.sort_can_be_written);
        // The copy's own index is the one the declaration keeps: untouched.
        tables::ws().select(39);
        t.set_order(1);
        EXPECT_EQ(rt::UPPER(t.order_key(1)), rt::UPPER(std::string(declaration::work_index_key(39))));
        EXPECT_EQ(t.bag_of_order(1), own_index);
    }
}

TEST_F(GridFaults, DeletingARowTakesItOutOfThePageTotalsAtOnce) {
    register_balance_page_routines();
    work_copy(4, {{{"I7_1", Value(1)}, {"I7_4", Value(100.0)}}, {{"I7_1", Value(2)}, {"I7_4", Value(50.0)}}});
    double during = -1;
    rt::SETKEY(kLook, [&] { during = common::Global{"I13_40"}.number(); });
    keys({key::DEL, 'S', kLook, key::ESC});
    EDITA(5);
    rt::SETKEY(kLook, {});
    EXPECT_DOUBLE_EQ(during, 50.0);
}

TEST_F(GridFaults, TheFullScreenListsShowTheirTotalsOnTheLineUnderTheGrid) {
    register_balance_page_routines();
    struct Case {
        int grid;
        int table;
        const char* start;
        const char* end;
        const char* start_after;   // after the second row is deleted
        const char* end_after;
    };
    const Case cases[] = {{22, 4, "I7_3", "I7_4", "100.000,00", "150.000,00"},
                          {23, 5, "I8_3", "I8_4", "100.000,00", "150.000,00"}};
    for (const Case& c : cases) {
        tables::ws().close_all();
        work_copy(c.table, {{{c.start, Value(100000.0)}, {c.end, Value(150000.0)}},
                            {{c.start, Value(20000.0)}, {c.end, Value(18000.0)}}});
        MTELA(23);   // the full-screen lists' page: (1, 0, 22, 79)
        std::vector<std::string> totals;
        std::string bottom;
        rt::SETKEY(kLook, [&] {
            totals.push_back(term->text(21));
            bottom = term->text(22);
        });
        keys({kLook, key::DOWN, key::DEL, 'S', kLook, key::ESC});
        EDITA(c.grid);
        rt::SETKEY(kLook, {});
        ASSERT_EQ(totals.size(), 2u) << c.grid;
        EXPECT_NE(totals[0].find("Totais"), std::string::npos) << totals[0];
        EXPECT_NE(totals[0].find("120.000,00"), std::string::npos) << c.grid << ": " << totals[0];
        EXPECT_NE(totals[0].find("168.000,00"), std::string::npos) << c.grid << ": " << totals[0];
        EXPECT_NE(totals[1].find(c.start_after), std::string::npos) << c.grid << ": " << totals[1];
        EXPECT_NE(totals[1].find(c.end_after), std::string::npos) << c.grid << ": " << totals[1];
        EXPECT_EQ(bottom.find_first_of("0123456789"), std::string::npos) << c.grid << ": " << bottom;
    }
}

TEST_F(GridFaults, ThePaymentsLastCellLetsUpAndDownLeaveIt) {
    tb::Table& t = work_copy(6, {{{"I6_1", Value("DR A")}, {"I6_3", Value(10)}}, {{"I6_1", Value("DR B")}, {"I6_3", Value(10)}}});
    std::uint32_t on = 0;
    rt::SETKEY(kLook, [&] { on = t.recno(); });
    // The CPF fills its cell and ends it; Enter opens it again; Up leaves it
    // and moves up a row.
    keys({key::DOWN, key::CTRL_END});
    for (const char c : std::string("11144477735")) keys({c});
    keys({key::ENTER, key::UP, kLook, key::ESC});
    EDITA(4);
    rt::SETKEY(kLook, {});
    EXPECT_EQ(on, 1u);
    t.go_to(2);
    EXPECT_EQ(t.get("I6_7").as_string(), "11144477735");
}

TEST_F(GridFaults, TheDependantNumberIsPassedAndKeptForCodesWithoutAPerson) {
    common::Global{"QTD_DEP"}.set(Value(1));
    tb::Table& t = work_copy(6, {{{"I6_1", Value("PREVIDENCIA")}}});
    work_copy(3, {{{"NRODEPEN", Value(1)}, {"NOMEDEPEN", Value("ANA")}, {"CODIDEPEN", Value(21)}}});
    tables::ws().select(26);
    std::vector<int> columns;
    std::vector<bool> editing;
    rt::SETKEY(kLook, [&] {
        columns.push_back(current_grid()->column());
        editing.push_back(rt::current_get() != nullptr);
    });
    // Code 40 fills its cell: the cursor passes the number. Back on the
    // number, Enter edits nothing and goes on.
    keys({key::RIGHT, '4', '0', kLook, key::LEFT, key::ENTER, kLook, key::ESC});
    EDITA(4);
    rt::SETKEY(kLook, {});
    EXPECT_EQ(columns, (std::vector<int>{4, 4}));
    EXPECT_EQ(editing, (std::vector<bool>{false, false}));
    EXPECT_EQ(t.get("I6_3").as_number(), 40);
    EXPECT_EQ(t.get("I6_6").as_number(), 0);
}

TEST_F(GridFaults, TheMonthGridLeavesNothingOfItselfOnTheListItWasOpenedFrom) {
    register_declaration_helper_routines();
    Value months = Value::array(), rates = Value::array();
    for (int r = 1; r <= 13; ++r) {
        Value row = Value::array();
        row.as_array()->push_back(Value(rt::STRZERO(r, 2) + "-Mes"));
        for (int c = 2; c <= 3; ++c) row.as_array()->push_back(Value(std::string(11, ' ')));
        months.as_array()->push_back(row);
    }
    for (int m = 1; m <= 12; ++m) rates.as_array()->push_back(Value(2.0));
    common::Global{"CALC_MENS"}.set(months);
    common::Global{"TAB_DOLAR"}.set(rates);
    work_copy(6, {{{"I6_1", Value("DR A")}, {"I6_3", Value(10)}, {"I6_4", Value(1000.0)}, {"I6_401", Value(1000.0)}},
                  {{"I6_1", Value("DR B")}, {"I6_3", Value(10)}, {"I6_4", Value(700.0)}, {"I6_401", Value(700.0)}}});
    std::string during, after;
    rt::SETKEY(kLook, [&] { (during.empty() ? during : after) = screen(); });
    // The total paid of the second row, month by month; left as it was.
    keys({key::DOWN, key::RIGHT, key::RIGHT, key::RIGHT, key::RIGHT, 278, kLook, key::ESC, kLook, key::ESC});
    EDITA(4);
    rt::SETKEY(kLook, {});
    ASSERT_NE(during.find("01-Mes"), std::string::npos) << during;
    EXPECT_EQ(after.find("01-Mes"), std::string::npos) << after;
    EXPECT_EQ(after.find("REAL"), std::string::npos) << after;
    EXPECT_NE(after.find("Total Pago"), std::string::npos) << after;
    EXPECT_NE(after.find("1.000,00"), std::string::npos) << after;
    EXPECT_NE(after.find("700,00"), std::string::npos) << after;
}

TEST_F(GridFaults, ACodesMeaningUnderItsCellGoesAtTheNextKeyLeavingNothingBehind) {
    common::Global{"QTD_DEP"}.set(Value(0));
    common::Global{"DESPALIM"}.set(Value(0));
    work_copy(6, {{{"I6_1", Value("DR A")}, {"I6_3", Value(10)}, {"I6_2", Value("111.444.777-35")}},
                  {{"I6_1", Value("EMPREGADA")}}});
    for (int r = 0; r < 25; ++r) rt::at_say(r, 0, std::string(80, 'x'));
    std::vector<std::string> seen, hints;
    rt::SETKEY(kLook, [&] {
        seen.push_back(screen());
        const common::TextWindow* hint = common::find_window(10);
        hints.push_back(hint ? rt::cp850_to_utf8(hint->last_text) : "");
    });
    // Code 50 on the second row, then 10 on the first: each meaning is shown
    // under its cell; the first is put away when the next code is typed.
    keys({key::DOWN, key::RIGHT, '5', '0', kLook, key::UP, key::LEFT, key::LEFT, '1', '0', kLook, key::ESC});
    EDITA(4);   // (5, 0, 21, 79), no window: the page's column 0 lies beside it
    rt::SETKEY(kLook, {});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_NE(hints[0].find("Contribuição patronal"), std::string::npos) << hints[0];
    EXPECT_NE(hints[1].find("Médicos no Brasil"), std::string::npos) << hints[1];
    for (const std::string& s : seen) {
        std::vector<std::string> rows;
        for (std::size_t at = 0, next = 0; (next = s.find('\n', at)) != std::string::npos; at = next + 1)
            rows.push_back(s.substr(at, next - at));
        for (int r = 0; r < 24; ++r) EXPECT_EQ(rows[r].substr(0, 1), "x") << r << "\n" << s;
        EXPECT_NE(s.find("111.444.777-35"), std::string::npos) << s;
        EXPECT_EQ(s.find("Contribuição patronal"), std::string::npos) << s;
        EXPECT_EQ(s.find("Médicos no Brasil"), std::string::npos) << s;
    }
}

TEST_F(GridFaults, ANumberColumnWithoutTemplateIsAsWideAsItsField) {
    common::Global{"TIPO_BEM"}.set(Value(3));
    common::Global{"TIPOPART"}.set(Value(1));
    common::Global{"BEM_NRO"}.set(Value(1));
    tb::Table& t = work_copy(8, {{{"BEM_NRO", Value(1)}, {"TIPO_OPER", Value(1)}, {"TIPO_ACAO", Value(1)},
                                  {"MOV_ACAO", Value(1000.0)}, {"VALOR_CUST", Value(30000.0)}}});
    std::string seen;
    rt::SETKEY(kLook, [&] { seen = screen(); });
    // The kind and the movement fill their one-digit cells: each goes on to
    // the next cell by itself.
    keys({key::DOWN, '1', '3', kLook, key::ESC, key::ESC});
    EDITA(10);   // (14, 2, 22, 79): the seven columns fit
    rt::SETKEY(kLook, {});
    EXPECT_NE(seen.find("Custo Total"), std::string::npos) << seen;
    EXPECT_NE(seen.find("30.000,00"), std::string::npos) << seen;
    t.go_to(2);
    EXPECT_EQ(t.get("TIPO_ACAO").as_number(), 1);
    EXPECT_EQ(t.get("TIPO_OPER").as_number(), 3);
}

TEST_F(GridFaults, TheCostOfASaleMovementIsNotOpened) {
    common::Global{"TIPO_BEM"}.set(Value(3));
    common::Global{"TIPOPART"}.set(Value(1));
    common::Global{"BEM_NRO"}.set(Value(1));
    tb::Table& t = work_copy(8, {{{"BEM_NRO", Value(1)}, {"TIPO_OPER", Value(3)}, {"TIPO_ACAO", Value(1)},
                                  {"MOV_ACAO", Value(1000.0)}}});
    bool editing = true;
    rt::SETKEY(kLook, [&] { editing = rt::current_get() != nullptr; });
    keys({key::RIGHT, key::RIGHT, key::RIGHT, key::RIGHT, '5', key::ENTER, kLook, key::ESC});
    EDITA(10);
    rt::SETKEY(kLook, {});
    EXPECT_TRUE(term->showed("No movimento 3 = venda nao coloque valor no Custo"));
    EXPECT_FALSE(editing);
    t.go_top();
    EXPECT_EQ(t.get("VALOR_CUST").as_number(), 0);
}

TEST_F(GridFaults, ARefusedNitTypedAgainIsStoredAsTyped) {
    tb::Table& t = work_copy(6, {{{"I6_1", Value("EMPREGADA")}, {"I6_3", Value(50)}}});
    std::string cell;
    rt::SETKEY(kLook, [&] {
        const int at = current_grid()->browse().cell_col();
        for (int c = at; c < at + 18; ++c) cell += static_cast<char>(term->cells()[8][c].ch);
    });
    keys({key::RIGHT, key::RIGHT, key::RIGHT});
    for (const char c : std::string("12045678900")) keys({c});
    keys({key::ENTER, key::ENTER, kLook});   // the refusal's Ok; the cell then
    for (const char c : std::string("12045678905")) keys({c});
    keys({key::ENTER, key::ESC});
    EDITA(4);
    rt::SETKEY(kLook, {});
    EXPECT_TRUE(term->showed("NIT está incorreto"));
    EXPECT_EQ(rt::TRIM(cell), "12045678900");
    EXPECT_EQ(rt::TRIM(t.get("I6_2").as_string()), "120.45678.90-5");
}

TEST_F(GridFaults, ALongNameIsEditedInsideItsColumn) {
    work_copy(6, {{{"I6_1", Value("DR JOSE")}}});
    std::vector<rt::Cell> row;
    rt::SETKEY(kLook, [&] { row.assign(term->cells()[8].begin(), term->cells()[8].end()); });
    keys({key::ENTER, key::END});
    for (const char c : std::string(" DA SILVA PEREIRA DOS SANTOS")) keys({c});
    keys({kLook, key::ENTER, key::ESC});
    EDITA(4);
    rt::SETKEY(kLook, {});
    // The name scrolls within its 26 columns: the separators and the code
    // beside it stay in place while it is typed.
    ASSERT_EQ(row.size(), 80u);
    EXPECT_EQ(row[27].ch, 0xB3);
    EXPECT_EQ(row[29].ch, '0');
    EXPECT_EQ(row[31].ch, 0xB3);
}

TEST_F(GridFaults, AfterEscTheCursorIsOnTheCellTheNextKeyEdits) {
    common::Global{"OPCIR_1"}.set(Value(41));
    tb::Table& t = work_copy(3, {{{"NRODEPEN", Value(1)}, {"NOMEDEPEN", Value("JOAO DA SILVA")}, {"CODIDEPEN", Value(21)}}});
    int col_seen = -1, cell_col = -1;
    rt::SETKEY(kLook, [&] {
        col_seen = rt::COL();
        cell_col = current_grid()->browse().cell_col();
    });
    keys({key::ENTER, key::ESC, kLook, key::ESC});
    EDITA(3);
    rt::SETKEY(kLook, {});
    EXPECT_EQ(col_seen, cell_col);
    EXPECT_EQ(rt::TRIM(t.get("NOMEDEPEN").as_string()), "JOAO DA SILVA");
}

TEST_F(GridFaults, AGridInAWindowIsFramedOnItsRectangleAndTheScreenComesBack) {
    ASSERT_TRUE(tables::ABERTURA(72, true));
    tables::ws().select(72);
    rt::table::Table& agenda = tables::ws().current(72);
    ASSERT_TRUE(agenda.append_blank());
    agenda.put("ANOTAG", Value("LIGAR PARA MARIA"));
    agenda.commit();
    agenda.unlock();
    for (int r = 9; r <= 23; ++r) rt::at_say(r, 0, std::string(80, 'x'));
    const std::string before = screen();
    std::string during;
    rt::SETKEY(kLook, [&] { during = screen(); });
    keys({kLook, key::ESC});
    EDITA(48);   // (10, 8, 22, 69) in window 6
    rt::SETKEY(kLook, {});
    std::vector<std::string> rows;
    for (std::size_t at = 0, next = 0; (next = during.find('\n', at)) != std::string::npos; at = next + 1)
        rows.push_back(rt::utf8_to_cp850(during.substr(at, next - at)));
    EXPECT_EQ(rows[10][8], '\xDA');
    EXPECT_EQ(rows[10][69], '\xBF');
    EXPECT_EQ(rows[22][8], '\xC0');
    EXPECT_EQ(rows[22][69], '\xD9');
    for (int r = 11; r <= 21; ++r) {
        EXPECT_EQ(rows[r][8], '\xB3') << r;
        EXPECT_EQ(rows[r][69], '\xB3') << r;
        EXPECT_EQ(rows[r].substr(9, 60).find('x'), std::string::npos) << r << ": " << rows[r];
    }
    EXPECT_EQ(screen(), before);
}

TEST_F(GridFaults, AppointmentHeadingsKeepTheWholeWeekday) {
    ASSERT_TRUE(tables::ABERTURA(72, true));
    tables::ws().select(72);
    common::Global{"NOMEAG"}.set(Value("USUARIO DO TERMINAL 01"));
    struct Case {
        int grid, day;
        std::vector<std::string> lines;   // each on a screen row of its own
    };
    // The heading takes as many rows on a Saturday as on a Friday: the list
    // below it keeps its rows whatever the day.
    const Case cases[] = {
        {48, 11, {"Compromissos - USUARIO DO TERMINAL 01", "em 11/12/2026 Sexta feira"}},
        {48, 12, {"Compromissos - USUARIO DO TERMINAL 01", "em 12/12/2026 Sabado"}},
        {49, 11, {"Hora  Compromissos - USUARIO DO TERMINAL 01 em 11/12/2026 Sexta feira"}},
        {49, 12, {"Hora  Compromissos - USUARIO DO TERMINAL 01 em 12/12/2026 Sabado"}},
    };
    for (const Case& c : cases) {
        common::Global{"DATCALEN"}.set(Value(rt::Date::from_ymd(2026, 12, c.day)));
        std::string shown;
        rt::SETKEY(kLook, [&] { shown = screen(); });
        keys({kLook, key::ESC});
        EDITA(c.grid);
        rt::SETKEY(kLook, {});
        for (const std::string& line : c.lines) EXPECT_NE(shown.find(line), std::string::npos) << c.grid << "\n" << shown;
        if (c.lines.size() > 1) {
            EXPECT_EQ(shown.find("TERMINAL 01 em"), std::string::npos) << c.day << "\n" << shown;
        }
    }
}

TEST_F(GridFaults, AnAppointmentsTimeIsATimeOfTheDay) {
    ASSERT_TRUE(tables::ABERTURA(72, true));
    tables::ws().select(72);
    rt::table::Table& agenda = tables::ws().current(72);
    common::Global{"NOMEAG"}.set(Value("ANA"));
    common::Global{"DATCALEN"}.set(Value(rt::Date::from_ymd(2026, 12, 11)));
    // 25:99 refused (its message, Esc gives the edit up); then 09:30 kept.
    term->feed_text("2599");
    keys({key::ENTER, key::ENTER, key::ESC});
    term->feed_text("0930");
    keys({key::ENTER, key::ESC, key::ESC});
    EDITA(49);
    EXPECT_TRUE(term->showed("Hora inválida: informe de 00:00 a 23:59")) << term->all_snapshots();
    ASSERT_EQ(agenda.lastrec(), 1u);
    agenda.go_to(1);
    EXPECT_EQ(rt::TRIM(agenda.get("HORAG").as_string()), "0930");
}

TEST_F(GridFaults, RowsAGridDrawsBelowItsPageAreGivenBackWhenItIsLeft) {
    common::Global{"OPCIR_1"}.set(Value(41));
    work_copy(3, {{{"NRODEPEN", Value(1)}, {"NOMEDEPEN", Value("JOAO")}, {"CODIDEPEN", Value(21)}}});
    for (int r = 0; r < 25; ++r) rt::at_say(r, 0, std::string(80, 'x'));
    const std::string under = term->text(18);
    common::DEFINEJAN(3, 30, 31, 31, 2, 1, 17, 80, 1);   // the page: rows 1 to 16
    common::ABREJAN(3);
    keys({key::ESC});
    EDITA(3);   // (5, 0, 20, 79): its last rows lie below the page
    EXPECT_EQ(term->text(18), under);
    common::FECHAJAN(3);
}

TEST_F(GridFaults, TheCarneLeaoSheetAfterPanningOpensTheListOfTheColumnUnderTheCursor) {
    Value sheet = Value::array();
    for (int r = 1; r <= 13; ++r) {
        Value row = Value::array();
        row.as_array()->push_back(Value("Mes"));
        for (int c = 2; c <= 9; ++c) row.as_array()->push_back(Value(std::string(11, ' ')));
        sheet.as_array()->push_back(row);
    }
    common::Global{"REC_MENSAL"}.set(sheet);
    common::Global{"CAL_AUTO"}.set(Value(1));
    common::Global{"I1_11"}.set(Value("S"));
    work_copy(2, {});
    tables::ws().select(22);
    std::vector<std::string> lists;
    rt::SETKEY(kLook, [&] {
        const std::string all = screen();
        lists.push_back(all.find("Total INSS") != std::string::npos   ? "INSS"
                        : all.find("Total Leao") != std::string::npos ? "Leao"
                                                                      : "?");
    });
    // The last column, then back to "Dep+Pre+Pen" and on to "Leão Pago".
    keys({key::CTRL_END, key::LEFT, key::LEFT, key::LEFT, key::ENTER, kLook, key::ESC, key::RIGHT, key::ENTER, kLook,
          key::ESC, key::ESC});
    run_matrix_grid(16);
    rt::SETKEY(kLook, {});
    EXPECT_EQ(lists, (std::vector<std::string>{"INSS", "Leao"}));
}

// A code typed on the last row ends its cell and the cursor wraps to the
// blank line below; a description typed there is a new asset, and the
// asset above keeps its own.
TEST_F(GridFaults, ADescriptionTypedOnTheLineBelowTheLastCodeIsANewRow) {
    register_balance_page_routines();
    tb::Table& t = work_copy(4, {{{"I7_2", Value("CARRO GOL")}, {"I7_3", Value(30000.0)}, {"I7_4", Value(30000.0)}}});
    keys({key::RIGHT, key::RIGHT, key::RIGHT, key::RIGHT, '2', '1', key::RIGHT});
    for (const char c : std::string("BICICLETA")) keys({c});
    keys({key::ENTER, key::ESC});
    EDITA(5);
    ASSERT_EQ(t.lastrec(), 2u);
    t.go_to(1);
    EXPECT_EQ(rt::TRIM(t.get("I7_2").as_string()), "CARRO GOL");
    EXPECT_EQ(t.get("I7_5").as_number(), 21);
    t.go_to(2);
    EXPECT_EQ(rt::TRIM(t.get("I7_2").as_string()), "BICICLETA");
}

// The rural debts' totals stand under the columns of the two years.
TEST_F(GridFaults, TheRuralDebtsTotalsStandUnderTheirColumns) {
    register_rural_result_routines();
    work_copy(18, {{{"ATV_BRASIL", Value("S")}, {"I9R_1", Value("PRONAF")}, {"I9R_2", Value(80000.0)},
                    {"I9R_3", Value(61000.0)}}});
    common::Global{"ATV_BRASIL"}.set(Value("S"));
    std::string row, totals;
    rt::SETKEY(kLook, [&] {
        for (int r = 3; r < 20; ++r)
            if (term->text(r).find("PRONAF") != std::string::npos) row = term->text(r);
        totals = term->text(21);
    });
    keys({key::RIGHT, key::RIGHT, '9', '0', '0', '0', '0', key::ENTER, kLook, key::ESC});
    EDITA(36);
    rt::SETKEY(kLook, {});
    // The ends of the amounts line up: the row's and the totals' columns.
    const auto end_of = [](const std::string& line, const char* amount) {
        const std::size_t at = rt::utf8_to_cp850(line).find(amount);
        return at == std::string::npos ? at : at + std::string(amount).size();
    };
    ASSERT_NE(end_of(row, "90.000,00"), std::string::npos) << row;
    EXPECT_EQ(end_of(totals, "90.000,00"), end_of(row, "90.000,00")) << row << "\n" << totals;
    EXPECT_EQ(end_of(totals, "61.000,00"), end_of(row, "61.000,00")) << row << "\n" << totals;
}

// A code's meaning shown under its cell is a whole box: its top edge stays
// when the row above it is drawn again with the new code, and a meaning
// longer than the screen is cut to fit inside it.
TEST_F(GridFaults, ACodesMeaningUnderItsCellIsAWholeBoxOnTheScreen) {
    common::Global{"QTD_DEP"}.set(Value(0));
    common::Global{"DESPALIM"}.set(Value(0));
    common::Global{"OPCIR_1"}.set(Value(41));
    struct Case {
        int grid, table;
        std::vector<int> keys;
        const char* meaning;
    };
    const Case cases[] = {{4, 6, {key::RIGHT, '1', '0'}, "Médicos no Brasil"},
                          {3, 3, {key::RIGHT, '2', '2'}, "Filho(a) ou enteado(a) cursando"}};
    for (const Case& c : cases) {
        tables::ws().close_all();
        term->snapshots.clear();
        work_copy(c.table, {{{c.table == 6 ? "I6_1" : "NOMEDEPEN", Value("FULANO")}}});
        for (const int k : c.keys) keys({k});
        EDITA(c.grid);   // the keys run out: the grid waits, then is left
        // The screen the clerk looks at while the meaning is shown.
        std::vector<std::string> rows;
        for (const std::string& shot : term->snapshots) {
            if (shot.find(c.meaning) == std::string::npos) continue;
            rows.clear();
            for (std::size_t at = shot.find("\n00 |"); at != std::string::npos && rows.size() < 25;
                 at = shot.find('\n', at + 1)) {
                const std::size_t bar = shot.find("| ", at + 5);
                rows.push_back(rt::utf8_to_cp850(shot.substr(at + 5, bar - at - 5)));
            }
        }
        ASSERT_EQ(rows.size(), 25u) << c.meaning;
        int at = -1;
        for (int r = 0; r < 25; ++r)
            if (rows[static_cast<std::size_t>(r)].find(rt::utf8_to_cp850(c.meaning)) != std::string::npos) at = r;
        ASSERT_GT(at, 0) << c.meaning;
        const std::string& text = rows[static_cast<std::size_t>(at)];
        const std::string& above = rows[static_cast<std::size_t>(at - 1)];
        const std::string& below = rows[static_cast<std::size_t>(at + 1)];
        const std::size_t left = below.find('\xC0'), right = below.find('\xD9');   // the bottom corners
        ASSERT_NE(left, std::string::npos) << c.meaning << "\n" << rt::cp850_to_utf8(below);
        ASSERT_NE(right, std::string::npos) << c.meaning << "\n" << rt::cp850_to_utf8(below);
        EXPECT_EQ(above[left], '\xDA') << c.meaning << "\n" << rt::cp850_to_utf8(above);
        EXPECT_EQ(above[right], '\xBF') << c.meaning << "\n" << rt::cp850_to_utf8(above);
        EXPECT_EQ(text[left], '\xB3') << c.meaning;
        EXPECT_EQ(text[right], '\xB3') << c.meaning;
    }
}

// A code typed on the blank line makes its row: the meaning under the cell
// keeps its words while the grid draws the new row, also when the grid
// stands panned to its last columns, and the cursor stays on the row.
TEST_F(GridFaults, ACodesMeaningTypedOnTheBlankLineKeepsItsWords) {
    common::Global{"QTD_DEP"}.set(Value(0));
    common::Global{"DESPALIM"}.set(Value(0));
    const std::initializer_list<int> to_code[] = {   // from the first row's name
        {key::DOWN, key::RIGHT}, {key::DOWN, key::CTRL_END, key::LEFT, key::LEFT, key::LEFT, key::LEFT, key::LEFT}};
    for (const auto& c : to_code) {
        tables::ws().close_all();
        std::filesystem::remove(declaration::work_file(6) + ".dbf");
        work_copy(6, {{{"I6_1", Value("DR A")}, {"I6_3", Value(10)}}});
        term->snapshots.clear();
        keys(c);
        keys({'4', '0'});   // the keys run out: the grid waits, then is left
        EDITA(4);
        const auto shot = std::find_if(term->snapshots.begin(), term->snapshots.end(), [](const std::string& s) {
            return s.find("Doações - Estatuto da Criança e do Adolescente") != std::string::npos;
        });
        ASSERT_NE(shot, term->snapshots.end()) << term->all_snapshots();
        EXPECT_NE(shot->find("cursor at 9,"), std::string::npos) << *shot;
    }
}

// A code typed in the last column wraps to the blank line; an Enter there
// starts an entry that shows nothing, and Tab still leaves the page.
TEST_F(GridFaults, TabOnTheBlankLineLeavesThePageAfterAnEnter) {
    register_balance_page_routines();
    tb::Table& t = work_copy(4, {{{"I7_2", Value("CASA")}}});
    keys({key::RIGHT, key::RIGHT, key::RIGHT, key::RIGHT, '1', '2', key::ENTER, key::TAB, 'X', key::ESC});
    EDITA(5);
    EXPECT_EQ(vars::ULTTECLA.integer(), key::TAB);
    EXPECT_EQ(t.lastrec(), 1u);
    rt::CLEAR_TYPEAHEAD();
}

// The reimbursed medical total on the line under the payments list follows
// each payment deleted or typed, not only the next opening of the page.
TEST_F(GridFaults, TheReimbursedTotalUnderThePaymentsFollowsEachChange) {
    struct Case {
        const char* name;
        std::vector<int> keys;
        const char* shown;
    };
    const std::vector<Case> cases = {
        {"second payment deleted", {key::DOWN, key::DEL, 'S'}, "500,00"},
        {"first reimbursement typed again", {key::CTRL_END, key::LEFT, '6', '0', '0', key::ENTER}, "800,00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tables::ws().close_all();
        work_copy(6, {{{"I6_1", Value("CLINICA")}, {"I6_3", Value(10)}, {"I6_4", Value(3000.0)}, {"I6_5", Value(500.0)}},
                      {{"I6_1", Value("HOSPITAL")}, {"I6_3", Value(10)}, {"I6_4", Value(1000.0)}, {"I6_5", Value(200.0)}}});
        std::string line;
        rt::SETKEY(kLook, [&] { line = term->text(page_row(4) + 21).substr(static_cast<std::size_t>(page_col(4) + 67), 15); });
        for (const int k : c.keys) term->feed(k);
        keys({kLook, key::ESC});
        EDITA(4);
        rt::SETKEY(kLook, {});
        EXPECT_EQ(rt::ALLTRIM(line), c.shown);
    }
}

}  // namespace
}  // namespace qv::declaration::grids
