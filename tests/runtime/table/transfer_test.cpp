// COPY TO, APPEND FROM (tables and delimited text), PACK and ZAP.
#include <filesystem>

#include "table_test_util.hpp"
#include "runtime/core/expr.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/transfer.hpp"

namespace qv::rt::table::test {
namespace {

class Transfer : public WorkspaceTest {
protected:
    Table& source() {
        create_table(dir.file("SRC.DBF"), {{"CPF", 'C', 11, 0}, {"NOME", 'C', 15, 0}, {"VAL", 'N', 9, 2},
                                           {"DT", 'D', 8, 0}, {"OK", 'L', 1, 0}, {"OBS", 'M', 10, 0}});
        Table& t = ws.use(dir.file("SRC"), {});
        const char* names[] = {"Ana", "Bia \"B\"", "Caio", "Davi", "Eva"};
        for (int i = 0; i < 5; ++i) {
            EXPECT_TRUE(t.append_blank());
            t.put("CPF", Value(std::string(11, static_cast<char>('1' + i))));
            t.put("NOME", Value(names[i]));
            t.put("VAL", Value(i * 1000.5 - 1));
            if (i != 2) t.put("DT", Value(Date::from_ymd(2011, 12, 1 + i)));
            t.put("OK", Value(i % 2 == 0));
            t.put("OBS", Value("memo " + std::to_string(i)));
        }
        t.go_to(4);
        EXPECT_TRUE(t.rlock());
        t.delete_record();
        t.unlock();
        return t;
    }
    std::vector<std::string> cpfs(Table& t) {
        std::vector<std::string> v;
        for (t.go_top(); !t.eof(); t.skip()) v.push_back(t.get("CPF").as_string().substr(0, 1) + (t.deleted() ? "*" : ""));
        return v;
    }
};

TEST_F(Transfer, CopyToKeepsDeletedRecordsMarkedUnlessSetDeletedIsOn) {
    Table& s = source();
    EXPECT_EQ(copy_to(ws, s, dir.file("ALL")), 5);
    ws.select(2);
    Table& a = ws.use(dir.file("ALL"), {});
    EXPECT_EQ(cpfs(a), (std::vector<std::string>{"1", "2", "3", "4*", "5"}));
    a.go_to(2);
    EXPECT_EQ(a.get("OBS").as_string(), "memo 1");
    EXPECT_EQ(a.get("NOME").as_string(), "Bia \"B\"        ");
    ws.close();
    ws.set_deleted(true);
    EXPECT_EQ(copy_to(ws, s, dir.file("LIVE")), 4);
    Table& l = ws.use(dir.file("LIVE"), {});
    ws.set_deleted(false);
    EXPECT_EQ(cpfs(l), (std::vector<std::string>{"1", "2", "3", "5"}));
}

TEST_F(Transfer, CopyToWithForWhileAndChosenFields) {
    Table& s = source();
    TransferOptions o;
    o.for_cond = condition_of(Expr::compile("OK"));
    o.fields = {"nome", "CPF"};
    EXPECT_EQ(copy_to(ws, s, dir.file("SOMEOK"), o), 3);
    ws.select(2);
    Table& a = ws.use(dir.file("SOMEOK"), {});
    ASSERT_EQ(a.field_count(), 2);
    EXPECT_EQ(a.fields()[0].name, "NOME");
    EXPECT_EQ(cpfs(a), (std::vector<std::string>{"1", "3", "5"}));
    ws.select(1);
    s.go_to(2);
    TransferOptions w;
    w.while_cond = condition_of(Expr::compile("VAL < 3000"));
    EXPECT_EQ(copy_to(ws, s, dir.file("WHILE"), w), 2);   // records 2 and 3, from the current one
}

TEST_F(Transfer, CopyToDelimitedWritesTheRuntimeTextLayout) {
    Table& s = source();
    ws.set_deleted(true);
    EXPECT_EQ(copy_to_delimited(ws, s, dir.file("OUT")), 4);
    ws.set_deleted(false);
    const std::string text = read_file(dir.file("OUT.txt"));
    EXPECT_EQ(text,
              "\"11111111111\",\"Ana\",-1.00,20111201,T\r\n"
              "\"22222222222\",\"Bia \"B\"\",999.50,20111202,F\r\n"
              "\"33333333333\",\"Caio\",2000.00,        ,T\r\n"
              "\"55555555555\",\"Eva\",4001.00,20111205,T\r\n");
}

TEST_F(Transfer, AppendFromMatchesFieldsByNameWithForAndKeepsDeletions) {
    Table& s = source();
    (void)s;
    ws.select(2);
    create_table(dir.file("DST"), {{"VAL", 'N', 6, 1}, {"CPF", 'C', 5, 0}, {"EXTRA", 'C', 3, 0},
                                   {"OK", 'C', 1, 0}});
    Table& d = ws.use(dir.file("DST"), OpenOptions{"", true, false, true});
    d.index_on("CPF", "CPF");
    EXPECT_EQ(append_from(ws, d, dir.file("src")), 5);
    EXPECT_EQ(d.lastrec(), 5u);
    d.set_order(0);
    d.go_to(2);
    EXPECT_EQ(d.get("CPF").as_string(), "22222");
    EXPECT_DOUBLE_EQ(d.get("VAL").as_number(), 999.5);
    EXPECT_EQ(d.get("OK").as_string(), " ");   // L into C: left blank
    d.go_to(4);
    EXPECT_TRUE(d.deleted());
    TransferOptions o;
    o.for_cond = condition_of(Expr::compile("VAL > 3000"));   // evaluated on the source
    EXPECT_EQ(append_from(ws, d, dir.file("SRC.DBF"), o), 2);
    EXPECT_EQ(d.lastrec(), 7u);
    ASSERT_TRUE(d.set_order("CPF"));
    std::vector<std::string> keys;
    for (d.go_top(); !d.eof(); d.skip()) keys.push_back(d.get("CPF").as_string());
    EXPECT_EQ(keys, (std::vector<std::string>{"11111", "22222", "33333", "44444", "44444", "55555", "55555"}));
    EXPECT_EQ(ws.selected(), 2);
}

TEST_F(Transfer, DelimitedTextComesBackThroughAppendFrom) {
    Table& s = source();
    EXPECT_EQ(copy_to_delimited(ws, s, dir.file("RT.TXT")), 5);
    ws.select(2);
    create_table(dir.file("BACK"), {{"CPF", 'C', 11, 0}, {"NOME", 'C', 15, 0}, {"VAL", 'N', 9, 2},
                                    {"DT", 'D', 8, 0}, {"OK", 'L', 1, 0}});
    Table& b = ws.use(dir.file("BACK"), {});
    EXPECT_EQ(append_from_delimited(ws, b, dir.file("rt.txt")), 5);
    b.go_to(3);
    EXPECT_EQ(b.get("NOME").as_string(), "Caio           ");
    EXPECT_DOUBLE_EQ(b.get("VAL").as_number(), 2000.0);
    EXPECT_TRUE(b.get("DT").as_date().empty());
    EXPECT_TRUE(b.get("OK").as_bool());
    b.go_to(5);
    EXPECT_EQ(b.get("DT").as_date(), Date::from_ymd(2011, 12, 5));
    write_file(dir.file("HAND.TXT"), "\"x\",\"y\",12.5,20200229,F\n\"z\"\r\n\x1A");
    EXPECT_EQ(append_from_delimited(ws, b, dir.file("HAND.TXT")), 2);
    b.go_to(6);
    EXPECT_EQ(b.get("DT").as_date(), Date::from_ymd(2020, 2, 29));
    EXPECT_DOUBLE_EQ(b.get("VAL").as_number(), 12.5);
}

TEST_F(Transfer, PackRemovesDeletedRecordsAndRebuildsIndexes) {
    source();
    ws.close();
    Table& t = ws.use(dir.file("SRC"), OpenOptions{"", true, false, true});
    t.index_on("NOME", "NOME", IndexOptions{"", "", false, true});
    t.go_to(1);
    t.delete_record();
    t.pack();
    EXPECT_EQ(t.lastrec(), 3u);
    t.set_order(0);
    EXPECT_EQ(cpfs(t), (std::vector<std::string>{"2", "3", "5"}));
    t.go_to(3);
    EXPECT_EQ(t.get("OBS").as_string(), "memo 4");
    ASSERT_TRUE(t.set_order("NOME"));
    EXPECT_EQ(cpfs(t), (std::vector<std::string>{"5", "3", "2"}));
    const std::string b = read_file(dir.file("SRC.DBF"));
    EXPECT_EQ(b.size(), static_cast<std::size_t>(t.header_len() + 3 * t.record_len() + 1));
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().string().find(".pk~"), std::string::npos) << "temporary file left";
    t.zap();
    EXPECT_EQ(t.lastrec(), 0u);
    t.go_top();
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(read_file(dir.file("SRC.DBF")).size(), static_cast<std::size_t>(t.header_len() + 1));
    ASSERT_TRUE(t.append_blank());
    t.put("NOME", Value("depois"));
    t.commit();
    t.go_top();
    EXPECT_EQ(t.get("NOME").as_string(), "depois         ");
}

TEST_F(Transfer, PackAndZapNeedTheTableAlone) {
    source();
    Table& t = ws.current();
    EXPECT_THROW(t.pack(), TableError);
    EXPECT_THROW(t.zap(), TableError);
    OpenOptions ro;
    ro.read_only = true;
    ws.select(3);
    ro.alias = "LEITURA";
    Table& r = ws.use(dir.file("SRC"), ro);
    EXPECT_THROW(ws.use_in(4, dir.file("SRC"), {}), TableError);   // alias SRC in use
    EXPECT_THROW(r.append_blank(), TableError);
    r.go_top();
    EXPECT_THROW(r.put("NOME", Value("x")), TableError);
}

}  // namespace
}  // namespace qv::rt::table::test
