// Every editable column of every grid of the catalogue, on the real work
// copies and program tables the grids run on: a right value typed into the
// cell is stored and shown; a wrong one is refused with its message while
// the cell shows what was typed, and nothing is stored; Del and Alt+R
// answered with Enter keep the rows as they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/globals.hpp"
#include "declaration/calc/calc_routines.hpp"
#include "declaration/entry/field_checks.hpp"
#include "declaration/grids/grid_catalogue.hpp"
#include "declaration/grids/grid_checks.hpp"
#include "declaration/grids/grid_engine.hpp"
#include "declaration/grids/grid_routines.hpp"
#include "declaration/loop/work_tables.hpp"
#include "grid_fixture.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "tables/opening.hpp"
#include "tables/schemas.hpp"

namespace qv::declaration::grids {
namespace {

namespace key = rt::key;
namespace tb = rt::table;
using rt::Value;

constexpr int kLook = 500;   // a key of no meaning to the grids: the test reads the screen then

// One grid of the catalogue as a clerk opens it: the variables its page or
// its caller sets, and the row it shows.
struct Opening {
    int code;
    int mode = 0;
    std::vector<std::pair<const char*, Value>> globals{};
    Row row{};
    const char* name = "";   // the variant, for the messages
    std::vector<std::pair<std::string, std::string>> values{};   // field: the right value typed, when not the usual
};

const std::vector<Opening>& openings() {
    static const std::vector<Opening> all = {
        // Over 65 and retired: the exempt columns take their value.
        {1, 0, {{"NASCIMENTO", Value(rt::Date::from_ymd(1940, 5, 10))}, {"NVALAPOSA", Value(20000.0)}},
         {{"I1_1", Value("J")}}},
        {2, 0, {{"QTD_DEP", Value(0)}}, {{"I1_1", Value("D")}}},
        {3, 0, {{"OPCIR_1", Value(41)}}, {{"CODIDEPEN", Value(21)}}, "dependants"},
        {3, 0, {{"OPCIR_1", Value(42)}}, {{"CODIDEPEN", Value(99)}}, "alimony", {{"CODIDEPEN", "98"}}},
        {3, 0, {{"OPCIR_1", Value(44)}}, {{"CODIDEPEN", Value(100)}}, "heirs"},
        {4, 0, {{"DESPALIM", Value(0)}, {"QTD_DEP", Value(0)}}, {{"I6_3", Value(10)}, {"I6_4", Value(100.0)}}},
        {5}, {6}, {8}, {9}, {22}, {23},
        // The costs grid lists an acquisition paid in parcels (otherwise
        // its first row is the gain form's own cost and date).
        {10, 0, {{"TIPO_BEM", Value(1)}, {"BEM_NRO", Value(1)}, {"PARCOMPRA", Value("S")}}, {{"BEM_NRO", Value(1)}}, "real estate"},
        {10, 0, {{"TIPO_BEM", Value(2)}, {"BEM_NRO", Value(1)}, {"PARCOMPRA", Value("S")}}, {{"BEM_NRO", Value(1)}}, "movables"},
        {10, 0, {{"TIPO_BEM", Value(3)}, {"BEM_NRO", Value(1)}, {"TIPOPART", Value(1)}},
         {{"BEM_NRO", Value(1)}, {"TIPO_OPER", Value(2)}}, "shares"},
        {11}, {13}, {15},
        {17, 0, {{"POSHORMAT", Value(2)}, {"I1_11", Value("S")}}, {{"I1_1", Value("F")}, {"I1_11", Value("S")}}},
        {18, 0, {{"POSHORMAT", Value(2)}, {"I1_11", Value("S")}},
         {{"I1_1", Value("F")}, {"I1_11", Value("S")}, {"TIPOCR", Value("C")}}},
        {20, 0, {{"OPCIR_1", Value(13)}}, {{"I1_1", Value("A")}, {"I1_11", Value("S")}}},
        {21}, {25}, {26}, {28}, {29}, {30}, {31}, {32}, {33},
        {34, 0, {{"ATV_BRASIL", Value("S")}}, {{"ATV_BRASIL", Value("S")}}, "Brazil"},
        // The rural assets' codes ship empty: any code stands. A situation is 0 to 4.
        {35, 0, {{"ATV_BRASIL", Value("S")}, {"SO_TOTAL", Value(true)}}, {{"ATV_BRASIL", Value("S")}}, "",
         {{"I8R_4", "2"}}},
        {36},
        {38, 0, {{"TIPOCR", Value("C")}}, {{"TIPOCR", Value("C")}}},
        {40}, {45}, {48}, {49}, {50}, {51}, {52}, {53}, {54},
    };
    return all;
}

// The table the grid's area holds, and where its file lives.
int table_of_area(int area) { return area >= 21 && area <= 40 ? area - 20 : area; }

// What the caller has selected when the grid shows the selected area.
int caller_area(int code) {
    switch (code) {
        case 29: return 66;
        case 33: return 41;
        case 45: return 67;
        default: return 72;   // the agenda
    }
}

// The value typed for a column, what the field then holds and what the
// cell shows.
struct Typed {
    std::string keys;
    Value stored;
    std::string shown;
    std::vector<int> after{};   // keys the column's own questions take
};

// Columns whose right value is not a plain one of their type.
const std::map<std::pair<int, std::string>, Typed>& right_values() {
    static const std::map<std::pair<int, std::string>, Typed> all = {
        {{3, "CODIDEPEN"}, {"21", Value(21), "21"}},
        {{1, "I1_17"}, {"7", Value(7.0), "7,00", {key::ENTER}}},   // "Sim": retired
        {{1, "I1_18"}, {"7", Value(7.0), "7,00", {key::ENTER}}},   // "Sim": retired for illness
        {{5, "I7_7"}, {"S", Value("S"), "S", {key::ENTER}}},       // the notice about the country
        {{8, "I7_7"}, {"S", Value("S"), "S", {key::ENTER}}},
        {{22, "I7_7"}, {"S", Value("S"), "S", {key::ENTER}}},
        {{4, "I6_3"}, {"10", Value(10), "10"}},
        {{5, "I7_5"}, {"11", Value(11), "11"}},
        {{8, "I7_5"}, {"11", Value(11), "11"}},
        {{22, "I7_5"}, {"11", Value(11), "11"}},
        {{6, "I8_5"}, {"11", Value(11), "11"}},
        {{9, "I8_5"}, {"11", Value(11), "11"}},
        {{23, "I8_5"}, {"11", Value(11), "11"}},
        {{30, "CODIGO"}, {"10", Value(10), "10"}},
        {{5, "I7_8"}, {"105", Value("105"), "105"}},
        {{8, "I7_8"}, {"105", Value("105"), "105"}},
        {{22, "I7_8"}, {"105", Value("105"), "105"}},
        {{34, "I2R_07"}, {"11", Value(11), "11"}},
        {{34, "I2R_05"}, {"1", Value(1), "1"}},
        {{40, "SELEC"}, {"N", Value("N"), "N"}},
        {{20, "TIPOCR"}, {"S", Value("S"), "S"}},
        {{10, "TIPO_ACAO"}, {"1", Value(1), "1"}},
        {{10, "TIPO_OPER"}, {"2", Value(2), "2"}},
        // Enter goes on to the last column, which the wide grid shows in
        // its place: Left brings the receipt back into sight.
        {{52, "RECIBOATU"}, {"123456789123", Value("123456789123"), "123456789123", {key::LEFT}}},
    };
    return all;
}

// Columns left out, with the reason: they are worked out from the others,
// or Enter on them opens another list instead of an edit.
const std::set<std::pair<int, std::string>>& left_out() {
    static const std::set<std::pair<int, std::string>> all = {
        // Real-estate lots: the shares, reductions and factors are FCALGAN's.
        {10, "PER_CUST"}, {10, "PER_RED"}, {10, "PER_RED1"}, {10, "PER_RED2"}, {10, "CUST_UNI"}, {10, "VALOR_REDU"},
        {10, "CM_PONDER"}, {10, "LOTE"},
        // Enter on the total opens the months of the amount.
        {17, "I1_4"},
        // The folder typed is made on disk; the list of folders has its own tests.
        {40, "DIRETOR"},
        // The RRA tax and its inputs are worked out by CALC_RAA (own tests).
        {20, "I1_4"}, {20, "I1_6"}, {20, "I1_12"}, {20, "I1_21"}, {20, "I1_22"}, {20, "DT_LC"},
        // The order of the rural debts is renumbered by SOMA_DIV's totals.
        {36, "I9R_0"},
    };
    return all;
}

class CatalogueCells : public GridTest {
protected:
    void SetUp() override {
        GridTest::SetUp();
        scope_ = std::make_unique<rt::DeclarationScope>();
        work_ = root + "/work/";
        std::filesystem::create_directories(work_);
        common::Global{"LOCTRAB"}.set(Value(work_));
        common::Global{"NUSU"}.set(Value("01"));
        common::Global{"NOMEAG"}.set(Value("CLERK"));
        tables::ws().set_deleted(true);
        register_calc_routines();
        register_grid_routines();
        register_grid_check_routines();
        declaration::register_field_check_routines();
    }
    void TearDown() override {
        tables::ws().close_all();
        scope_.reset();
        GridTest::TearDown();
    }

    // The grid's table made afresh with `rows`: a declaration table as the
    // terminal's work copy with its own index, any other as the catalogue
    // opens it.
    tb::Table& fresh_table(int area, const std::vector<Row>& rows) {
        tables::ws().close(area);
        const int code = table_of_area(area);
        if (area >= 21 && area <= 40) {
            const std::string file = declaration::work_file(code) + ".dbf";
            std::filesystem::remove(file);
            tb::create_table(file, *tables::schema_of(code));
            EXPECT_TRUE(declaration::open_work_copy(code)) << area;
        } else {
            EXPECT_TRUE(tables::ABERTURA(code, true)) << area;
            tb::Table& t = tables::ws().current(code);
            if (t.exclusive()) {
                t.zap();
            } else {   // a table the catalogue always shares: its rows go one by one
                for (std::uint32_t r = 1; r <= t.lastrec(); ++r) {
                    t.go_to(r);
                    if (t.deleted() || !t.rlock()) continue;
                    t.delete_record();
                    t.commit();
                    t.unlock();
                }
            }
        }
        tb::Table& t = tables::ws().current(area);
        for (const Row& row : rows) {
            EXPECT_TRUE(t.append_blank());
            if (t.field_index("CPF") >= 0) t.put("CPF", Value("12345678909"));
            for (const auto& [field, v] : row) t.put(field, v);
            t.commit();
            t.unlock();
        }
        t.go_top();
        return t;
    }
    void open(const Opening& o, const std::vector<Row>& rows, const GridDescription& d) {
        tables::ws().close_all();
        common::reset_windows();
        term->snapshots.clear();
        for (const auto& [name, v] : o.globals) common::Global{name}.set(v);
        const int area = d.caller_area ? caller_area(o.code) : d.area;
        fresh_table(area, rows);
        tables::ws().select(area);
    }
    // EDITA with the keys given; the keys left over (a visit gone astray)
    // are reported and dropped, so that the next visit starts clean.
    void run(const Opening& o, const std::vector<int>& sequence) {
        for (const int k : sequence) term->feed(k);
        EDITA(o.code, o.mode);
        EXPECT_EQ(term->pending(), 0u) << "keys left over";
        while (term->pending() > 0) term->read_key(0);
        rt::CLEAR_TYPEAHEAD();
    }

    std::unique_ptr<rt::DeclarationScope> scope_;
    std::string work_;
};

// The cell a column is reached on: the grid's first free column, then
// Right as many times as needed.
std::vector<int> keys_to_column(const GridDescription& d, int column) {
    std::vector<int> k{key::CTRL_PGUP, key::CTRL_HOME};
    for (int c = std::max(d.freeze + 1, 1); c < column; ++c) k.push_back(key::RIGHT);
    return k;
}

// Whether typing `text` fills the entry so that it ends by itself.
bool fills(const std::string& picture, const Value& now, const std::string& text) {
    const rt::PictureEdit edit(picture, now);
    if (now.is_date()) return true;
    if (now.is_number()) return !edit.decimal_pos() && text.size() >= edit.integer_capacity();
    std::size_t slots = 0;
    for (std::size_t i = 0; i < edit.length(); ++i) slots += edit.editable(i) ? 1 : 0;
    return text.size() >= slots;
}

// A plain right value of the column's type and picture.
Typed plain_right(const GridColumn& c, const Value& now, std::size_t width) {
    if (now.is_number()) {
        const Value v(7.0);
        return {"7", v, rt::ALLTRIM(rt::TRANSFORM(v, c.picture))};
    }
    if (now.is_date()) return {"15032011", Value(rt::Date::from_ymd(2011, 3, 15)), "15/03/2011"};
    if (now.is_logical()) return {"T", Value(true), "T"};
    const rt::Picture p = rt::parse_picture(c.picture);
    if (p.has_mask()) {
        std::string digits;
        for (const char m : p.mask)
            if (rt::is_text_slot(m)) digits += static_cast<char>('1' + digits.size() % 9);
        return {digits, Value(rt::PADR(digits, static_cast<long>(width))), rt::TRANSFORM(Value(digits), c.picture)};
    }
    if (width == 1) return {"S", Value("S"), "S"};
    return {"ABC", Value(rt::PADR("ABC", static_cast<long>(width))), "ABC"};
}

std::optional<Typed> right_value(const Opening& o, const GridColumn& c, const Value& now, std::size_t width) {
    const int code = o.code;
    for (const auto& [field, typed] : o.values) {
        if (field != c.field) continue;
        const Value v = now.is_number() ? Value(rt::VAL(typed)) : Value(rt::PADR(typed, static_cast<long>(width)));
        return Typed{typed, v, typed};
    }
    if (const auto it = right_values().find({code, c.field}); it != right_values().end()) {
        Typed t = it->second;
        if (t.stored.is_string()) t.stored = Value(rt::PADR(t.stored.as_string(), static_cast<long>(width)));
        return t;
    }
    switch (c.check) {
        case CellCheck::Document:
        case CellCheck::PayeeDocument:
            return Typed{"11144477735", Value(rt::PADR("111.444.777-35", static_cast<long>(width))), "111.444.777-35"};
        case CellCheck::Cpf: return Typed{"11144477735", Value("11144477735"), "111.444.777-35"};
        case CellCheck::Country1: return Typed{"S", Value("S"), "S"};
        default: return plain_right(c, now, width);
    }
}

// A wrong value, the words of its refusal and what the cell then shows.
struct Wrong {
    std::string keys;
    bool dismiss_at_once;     // the refusal comes while typing (a key refused)
    std::string message;      // UTF-8
    std::string shown;        // CP850, in the cell while it is still open
};

std::vector<Wrong> wrong_values(const GridColumn& c, const Value& now) {
    std::vector<Wrong> out;
    if (now.is_number() && !c.negative && c.picture.find("R") == std::string::npos) {
        const rt::PictureEdit edit(c.picture, now);
        const std::size_t room = edit.integer_capacity();
        out.push_back({"-", true, "Não é permitido valor negativo nesse campo.", ""});
        // A whole number ends when its places are filled; only a field with
        // decimals meets one digit too many.
        if (edit.decimal_pos() && room > 0 && room < 12) {
            const std::string nines(room, '9');
            out.push_back({nines + "9", true, "O valor digitado é maior do que o campo comporta.",
                           rt::ALLTRIM(edit.integer_layout(nines, false))});
        }
    } else if (now.is_date()) {
        out.push_back({"31022011", false, "Data inválida! Confira o dia, o mês e o ano.", "31/02/2011"});
    } else if (c.check == CellCheck::Cpf) {
        out.push_back({"11144477736", false, "ATENÇÃO! CPF está incorreto.", "111.444.777-36"});
    } else if (c.check == CellCheck::Document) {
        out.push_back({"11144477736", false, "ATENÇÃO! CPF está incorreto.", "11144477736"});
    }
    return out;
}

TEST_F(CatalogueCells, EveryEditableColumnTakesARightValueAndRefusesAWrongOne) {
    int visited = 0;
    std::set<int> grids;
    for (const Opening& o : openings()) {
        for (const auto& [name, v] : o.globals) common::Global{name}.set(v);
        const std::optional<GridDescription> found = grid_description(o.code, o.mode);
        ASSERT_TRUE(found) << o.code;
        const GridDescription d = *found;
        for (std::size_t i = 0; i < d.columns.size(); ++i) {
            const GridColumn& described = d.columns[i];
            const int column = static_cast<int>(i) + 1;
            if (described.read_only || !described.refusal.empty() || column <= d.freeze ||
                left_out().count({o.code, described.field}))
                continue;
            SCOPED_TRACE("grid " + std::to_string(o.code) + " " + o.name + ", column " + described.field);
            open(o, {o.row}, d);
            const int area = d.caller_area ? caller_area(o.code) : d.area;
            tb::Table& t = tables::ws().current(area);
            t.go_top();
            // The column as the grid shows and edits it, in its field's width.
            GridColumn c = described;
            c.picture = column_picture(t, described);
            const Value before = t.get(c.field);
            const std::size_t width = before.is_string() ? before.as_string().size() : 0;
            const std::optional<Typed> right = right_value(o, c, before, width);
            if (!right) continue;
            if (c.when && !c.when()) continue;
            ++visited;
            grids.insert(o.code);
            // The right value: stored, and shown on the row.
            std::string seen;
            rt::SETKEY(kLook, [&] { seen = term->dump(); });
            std::vector<int> sequence = keys_to_column(d, column);
            for (const char k : right->keys) sequence.push_back(static_cast<unsigned char>(k));
            if (!fills(c.picture, before, right->keys)) sequence.push_back(key::ENTER);
            sequence.insert(sequence.end(), right->after.begin(), right->after.end());
            // Enter after the last column goes on to the next row: the row
            // and the column are brought back into sight.
            if (column == d.ult_pos && column > 1) sequence.insert(sequence.end(), {key::UP, key::CTRL_END});
            sequence.insert(sequence.end(), {kLook, key::ESC});
            run(o, sequence);
            rt::SETKEY(kLook, {});
            tables::ws().select(area);
            t.go_top();
            EXPECT_TRUE(rt::equals(t.get(c.field), right->stored, true))
                << "stored " << t.get(c.field).as_string() << t.get(c.field).as_number();
            EXPECT_NE(seen.find(rt::cp850_to_utf8(right->shown)), std::string::npos) << right->shown << "\n" << seen;
            // Each wrong value: its message, the cell keeping what was typed,
            // nothing stored.
            for (const Wrong& w : wrong_values(c, before)) {
                open(o, {o.row}, d);
                tb::Table& u = tables::ws().current(area);
                std::string cell;
                rt::SETKEY(kLook, [&] { cell = term->dump(); });
                std::vector<int> sequence = keys_to_column(d, column);
                for (const char k : w.keys) sequence.push_back(static_cast<unsigned char>(k));
                if (!w.dismiss_at_once && !fills(c.picture, before, w.keys)) sequence.push_back(key::ENTER);
                sequence.insert(sequence.end(), {key::ENTER, kLook, key::ESC, key::ESC});
                run(o, sequence);
                rt::SETKEY(kLook, {});
                EXPECT_TRUE(term->showed(w.message)) << w.keys << ": " << w.message;
                EXPECT_NE(cell.find(rt::cp850_to_utf8(w.shown)), std::string::npos) << w.keys << "\n" << cell;
                tables::ws().select(area);
                u.go_top();
                EXPECT_TRUE(rt::equals(u.get(c.field), before, true)) << w.keys;
            }
        }
    }
    EXPECT_GT(visited, 200);
    // Every grid of the list has at least one column visited.
    for (const Opening& o : openings()) EXPECT_TRUE(grids.count(o.code)) << o.code;
}

TEST_F(CatalogueCells, DelAndRenumberAnsweredWithEnterKeepTheRows) {
    for (const Opening& o : openings()) {
        for (const auto& [name, v] : o.globals) common::Global{name}.set(v);
        const GridDescription d = *grid_description(o.code, o.mode);
        if (o.code >= 51) continue;
        SCOPED_TRACE("grid " + std::to_string(o.code) + " " + o.name);
        Row first = o.row, second = o.row;
        if (!d.item_field.empty()) {
            first.push_back({d.item_field, Value(1)});
            second.push_back({d.item_field, Value(5)});
        }
        open(o, {first, second}, d);
        const int area = d.caller_area ? caller_area(o.code) : d.area;
        std::vector<int> sequence{key::CTRL_PGUP, key::DEL, key::ENTER};
        if (!d.item_field.empty()) sequence.insert(sequence.end(), {rt::key::alt_letter('R'), key::ENTER});
        sequence.push_back(key::ESC);
        run(o, sequence);
        tb::Table& t = tables::ws().current(area);
        int live = 0;
        for (std::uint32_t r = 1; r <= t.lastrec(); ++r) {
            t.go_to(r);
            live += t.deleted() ? 0 : 1;
        }
        EXPECT_EQ(live, 2);
        if (!d.item_field.empty()) {
            t.go_to(2);
            EXPECT_EQ(t.get(d.item_field).as_number(), 5);
        }
    }
}

}  // namespace
}  // namespace qv::declaration::grids
