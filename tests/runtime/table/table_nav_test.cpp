// Navigation, SET DELETED, filters, seeks and the upkeep of open indexes.
#include <algorithm>
#include <random>
#include <set>

#include "table_test_util.hpp"
#include "runtime/core/expr.hpp"
#include "runtime/table/table_error.hpp"

namespace qv::rt::table::test {
namespace {

class Nav : public WorkspaceTest {
protected:
    // People with a code, a name and a value; records 1..n.
    Table& make(int n) {
        create_table(dir.file("NAV.DBF"), {{"COD", 'C', 5, 0}, {"NOME", 'C', 20, 0}, {"VAL", 'N', 8, 2}});
        Table& t = ws.use(dir.file("nav"), OpenOptions{"", true, false, true});   // the indexes are built alone
        for (int i = 1; i <= n; ++i) {
            EXPECT_TRUE(t.append_blank());
            char cod[8];
            std::snprintf(cod, sizeof cod, "%05d", (i * 37) % 101);
            t.put("COD", Value(cod));
            t.put("NOME", Value(std::string(1, static_cast<char>('a' + i % 26)) + "nome"));
            t.put("VAL", Value(static_cast<double>(i)));
        }
        t.commit();
        return t;
    }
    std::vector<std::uint32_t> walk(Table& t) {
        std::vector<std::uint32_t> r;
        for (t.go_top(); !t.eof(); t.skip()) r.push_back(t.recno());
        return r;
    }
    // Expected order of COD computed here from the values written.
    std::vector<std::uint32_t> by_code(Table& t) {
        std::vector<std::pair<std::string, std::uint32_t>> v;
        const int o = t.order();
        t.set_order(0);
        for (t.go_top(); !t.eof(); t.skip()) v.emplace_back(t.get("COD").as_string(), t.recno());
        t.set_order(o);
        std::sort(v.begin(), v.end());
        std::vector<std::uint32_t> r;
        for (auto& p : v) r.push_back(p.second);
        return r;
    }
};

TEST_F(Nav, PhantomRecordBofEofAndGoto) {
    Table& t = make(5);
    t.go_bottom();
    EXPECT_EQ(t.recno(), 5u);
    t.skip();
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t.recno(), 6u);
    EXPECT_EQ(t.get("COD").as_string(), "     ");
    EXPECT_DOUBLE_EQ(t.get("VAL").as_number(), 0.0);
    t.skip(-1);
    EXPECT_EQ(t.recno(), 5u);
    t.go_top();
    t.skip(-1);
    EXPECT_TRUE(t.bof());
    EXPECT_EQ(t.recno(), 1u);
    t.go_to(3);
    EXPECT_EQ(t.recno(), 3u);
    EXPECT_FALSE(t.eof());
    t.go_to(99);
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t.recno(), 6u);
    t.skip(2);
    t.go_top();
    t.skip(3);
    EXPECT_EQ(t.recno(), 4u);
    t.skip(10);
    EXPECT_TRUE(t.eof());
}

TEST_F(Nav, EmptyTableIsAtBofAndEof) {
    create_table(dir.file("E"), {{"A", 'C', 3, 0}});
    Table& t = ws.use(dir.file("E"), {});
    EXPECT_TRUE(t.eof());
    EXPECT_TRUE(t.bof());
    EXPECT_EQ(t.recno(), 1u);
    EXPECT_EQ(t.lastrec(), 0u);
    t.go_bottom();
    EXPECT_TRUE(t.eof());
}

TEST_F(Nav, SetDeletedHidesDeletedRecordsInBothOrders) {
    Table& t = make(6);
    t.go_to(1); t.delete_record();
    t.go_to(4); t.delete_record();
    t.go_to(6); t.delete_record();
    t.commit();
    EXPECT_EQ(walk(t), (std::vector<std::uint32_t>{1, 2, 3, 4, 5, 6}));
    ws.set_deleted(true);
    EXPECT_EQ(walk(t), (std::vector<std::uint32_t>{2, 3, 5}));
    t.go_bottom();
    EXPECT_EQ(t.recno(), 5u);
    t.index_on("COD", "COD");
    std::vector<std::uint32_t> want;
    for (auto r : by_code(t))
        if (r != 1 && r != 4 && r != 6) want.push_back(r);
    EXPECT_EQ(walk(t), want);
    t.go_to(4);
    t.recall();
    t.commit();
    ws.set_deleted(false);
    t.go_to(4);
    EXPECT_FALSE(t.deleted());
}

TEST_F(Nav, FilterPassesOverRejectedRecords) {
    Table& t = make(10);
    t.set_filter(Expr::compile("VAL > 3 .AND. VAL < 8"));
    EXPECT_EQ(walk(t), (std::vector<std::uint32_t>{4, 5, 6, 7}));
    t.go_bottom();
    EXPECT_EQ(t.recno(), 7u);
    t.clear_filter();
    EXPECT_EQ(walk(t).size(), 10u);
    EXPECT_TRUE(t.locate(condition_of(Expr::compile("VAL = 6"))));
    EXPECT_EQ(t.recno(), 6u);
    EXPECT_FALSE(t.continue_locate());
    EXPECT_TRUE(t.eof());
}

TEST_F(Nav, SeekExactPartialSoftAndFound) {
    Table& t = make(20);
    t.index_on("COD", "COD");
    t.index_on("UPPER(NOME)", "NOME");
    EXPECT_EQ(t.order(), 2);
    ASSERT_TRUE(t.set_order("cod"));
    // COD of record i is (i*37) % 101, 5 digits
    EXPECT_TRUE(t.seek(Value("00074")));   // record 2
    EXPECT_EQ(t.recno(), 2u);
    EXPECT_TRUE(t.found());
    EXPECT_TRUE(t.seek(Value("0007")));    // partial: 00074 is the first 0007x
    EXPECT_EQ(t.recno(), 2u);
    EXPECT_FALSE(t.seek(Value("00075")));
    EXPECT_TRUE(t.eof());
    EXPECT_FALSE(t.found());
    EXPECT_FALSE(t.seek(Value("00075"), true));   // soft: the next greater key
    EXPECT_FALSE(t.eof());
    EXPECT_EQ(t.recno(), 13u);   // 13 * 37 % 101 = 77, the next code after 75
    EXPECT_FALSE(t.seek(Value("99999"), true));
    EXPECT_TRUE(t.eof());
    t.skip();   // movement clears FOUND
    EXPECT_FALSE(t.found());
    ASSERT_TRUE(t.set_order("NOME"));
    EXPECT_TRUE(t.seek(Value("BNOME")));
    EXPECT_EQ(t.recno(), 1u);
    EXPECT_THROW(t.seek(Value(3.0)), TableError);
    EXPECT_FALSE(t.set_order("NOPE"));
}

TEST_F(Nav, NumericDescendingUniqueAndForTags) {
    Table& t = make(12);
    t.index_on("VAL", "VALD", IndexOptions{"", "", false, true});
    std::vector<std::uint32_t> want;
    for (std::uint32_t r = 12; r >= 1; --r) want.push_back(r);
    EXPECT_EQ(walk(t), want);
    t.index_on("VAL", "BIG", IndexOptions{"", "VAL > 9", false, false});
    EXPECT_EQ(walk(t), (std::vector<std::uint32_t>{10, 11, 12}));
    EXPECT_TRUE(t.seek(Value(11.0)));
    EXPECT_EQ(t.recno(), 11u);
    t.index_on("SUBSTR(NOME,2,3)", "UNI", IndexOptions{"", "", true, false});
    EXPECT_EQ(walk(t), (std::vector<std::uint32_t>{1}));   // every key is "nom"
}

TEST_F(Nav, AUniqueTagKeepsOneRecordPerKeyThroughChanges) {
    create_table(dir.file("UNI"), {{"K", 'C', 1, 0}});
    Table& t = ws.use(dir.file("UNI"), OpenOptions{"", true, false, true});
    for (const char* k : {"A", "A", "B", "A"}) {
        ASSERT_TRUE(t.append_blank());
        t.put("K", Value(k));
    }
    t.index_on("K", "K", IndexOptions{"", "", true, false});
    EXPECT_EQ(walk(t), (std::vector<std::uint32_t>{1, 3}));
    t.go_to(1);
    t.put("K", Value("C"));   // A goes with the record that held it
    t.commit();
    EXPECT_EQ(walk(t), (std::vector<std::uint32_t>{3, 1}));
    ASSERT_TRUE(t.append_blank());
    t.put("K", Value("B"));   // B is there already
    t.commit();
    EXPECT_EQ(walk(t), (std::vector<std::uint32_t>{3, 1}));
    ASSERT_TRUE(t.append_blank());
    t.put("K", Value("A"));   // the next record that takes A holds it
    t.commit();
    EXPECT_EQ(walk(t), (std::vector<std::uint32_t>{6, 3, 1}));
    t.reindex();   // a rebuild gives every key its first record
    EXPECT_EQ(walk(t), (std::vector<std::uint32_t>{2, 3, 1}));
}

TEST_F(Nav, IndexesFollowMixedAppendsReplacesAndDeletes) {
    Table& t = make(40);
    t.index_on("COD", "COD");
    t.index_on("VAL", "VAL", IndexOptions{"", "VAL >= 20", false, false});
    t.index_on("UPPER(NOME)+COD", "NOME");
    std::mt19937 rng(7);
    for (int step = 0; step < 300; ++step) {
        const int op = static_cast<int>(rng() % 3);
        if (op == 0) {
            ASSERT_TRUE(t.append_blank());
            t.put("COD", Value(std::to_string(10000 + rng() % 90000)));
            t.put("VAL", Value(static_cast<double>(rng() % 50)));
            t.put("NOME", Value("x" + std::to_string(rng() % 1000)));
        } else {
            t.go_to(1 + rng() % t.lastrec());
            if (op == 1) {
                t.put("COD", Value(std::to_string(10000 + rng() % 90000)));
                t.put("VAL", Value(static_cast<double>(rng() % 50)));
            } else {
                t.delete_record();
            }
        }
    }
    t.commit();
    ASSERT_TRUE(t.set_order("COD"));
    EXPECT_EQ(walk(t), by_code(t));
    // VAL tag: only VAL >= 20, in (VAL, recno) order
    ASSERT_TRUE(t.set_order("VAL"));
    std::vector<std::pair<double, std::uint32_t>> v;
    t.set_order(0);
    for (t.go_top(); !t.eof(); t.skip())
        if (t.get("VAL").as_number() >= 20) v.emplace_back(t.get("VAL").as_number(), t.recno());
    std::sort(v.begin(), v.end());
    std::vector<std::uint32_t> want;
    for (auto& p : v) want.push_back(p.second);
    ASSERT_TRUE(t.set_order("VAL"));
    EXPECT_EQ(walk(t), want);
    // a rebuilt index gives the same order as the kept one
    ASSERT_TRUE(t.set_order("NOME"));
    const auto kept = walk(t);
    t.reindex();
    EXPECT_EQ(walk(t), kept);
    // and so does reopening
    ws.close();
    Table& again = ws.use(dir.file("NAV"), {});
    EXPECT_EQ(again.order_count(), 3);
    ASSERT_TRUE(again.set_order("COD"));
    EXPECT_EQ(walk(again), by_code(again));
}

TEST_F(Nav, StructuralIndexSetsTheHeaderFlagAndOpensAutomatically) {
    Table& t = make(3);
    EXPECT_EQ(read_file(dir.file("NAV.DBF"))[28], 0);
    t.index_on("COD", "COD");
    EXPECT_EQ(read_file(dir.file("NAV.DBF"))[28], 1);
    t.index_on("NOME", "NOMEB", IndexOptions{dir.file("NAVB"), "", false, false});
    EXPECT_EQ(t.order_count(), 2);
    EXPECT_EQ(t.bag_of_order(2), dir.file("NAVB.cdx"));
    ws.close();
    Table& a = ws.use(dir.file("NAV"), {});
    EXPECT_EQ(a.order_count(), 1);   // only the structural bag opens by itself
    EXPECT_EQ(a.order(), 0);         // and leaves the natural order
    a.add_bag(dir.file("navb.CDX"));
    EXPECT_EQ(a.order_count(), 2);
    EXPECT_EQ(a.order(), 2);         // the added bag's first order leads
    ASSERT_TRUE(a.set_order("NOMEB"));
    a.clear_bags();
    EXPECT_EQ(a.order_count(), 1);
}

TEST_F(Nav, FieldsReachExpressionsThroughTheResolver) {
    Table& t = make(3);
    (void)t;
    ws.select(7);
    create_table(dir.file("OTHER"), {{"X", 'N', 3, 0}});
    Table& o = ws.use(dir.file("OTHER"), OpenOptions{"OUTRA", false, false, true});
    ASSERT_TRUE(o.append_blank());
    o.put("X", Value(42.0));
    o.commit();
    EXPECT_EQ(ws.area_of_alias("outra"), 7);
    EXPECT_DOUBLE_EQ(Expr::compile("X + 1").eval().as_number(), 43.0);
    EXPECT_DOUBLE_EQ(Expr::compile("NAV->VAL").eval().as_number(), 3.0);   // NAV on its last record
    EXPECT_EQ(ws.select("nav"), 1);
    EXPECT_DOUBLE_EQ(Expr::compile("RECNO()").eval().as_number(), 3.0);
    EXPECT_DOUBLE_EQ(Expr::compile("OUTRA->X").eval().as_number(), 42.0);
    EXPECT_EQ(Expr::compile("ALIAS()").eval().as_string(), "NAV");
    EXPECT_DOUBLE_EQ(Expr::compile("SELECT('OUTRA')").eval().as_number(), 7.0);
    // a name built at run time
    const std::string name = std::string("V") + "AL";
    EXPECT_DOUBLE_EQ(ws.current().get(name).as_number(), 3.0);
    EXPECT_EQ(ws.select(0), 2);   // the lowest free area
}

}  // namespace
}  // namespace qv::rt::table::test
