// Refilling a table held alone: the records replaced and every order built
// again in place, the files sound for the next opening; refused for a shared
// table or a record of another length, with the table left as it was.
#include "table_test_util.hpp"
#include "runtime/table/table_error.hpp"

namespace qv::rt::table::test {
namespace {

class Refill : public WorkspaceTest {
protected:
    void SetUp() override {
        WorkspaceTest::SetUp();
        create_table(dir.file("REF.DBF"), {{"COD", 'C', 3, 0}, {"NOME", 'C', 5, 0}});
        Table& t = ws.use(dir.file("REF"), exclusive());
        t.index_on("COD", "COD");
        ws.close();
    }
    static std::string record(const std::string& cod, const std::string& nome) {
        return " " + cod + nome + std::string(5 - nome.size(), ' ');
    }
    // The names in the order COD.
    static std::string listed(Table& t) {
        std::string out;
        t.set_order("COD");
        for (t.go_top(); !t.eof(); t.skip()) out += rt_trim(t.get("NOME").as_string()) + ";";
        return out;
    }
    static std::string rt_trim(std::string s) {
        while (!s.empty() && s.back() == ' ') s.pop_back();
        return s;
    }
};

TEST_F(Refill, RecordsAreReplacedAndOrdersBuiltAgain) {
    Table& t = ws.use(dir.file("REF"), exclusive());
    t.refill({record("300", "c"), record("100", "a"), record("200", "b")});
    EXPECT_EQ(t.lastrec(), 3u);
    EXPECT_EQ(listed(t), "a;b;c;");
    ASSERT_TRUE(t.seek(Value("200")));
    EXPECT_EQ(t.recno(), 3u);
    t.refill({record("050", "z")});
    EXPECT_EQ(listed(t), "z;");
    EXPECT_FALSE(t.seek(Value("200")));
    t.refill({});
    EXPECT_EQ(t.lastrec(), 0u);
    t.go_top();
    EXPECT_TRUE(t.eof());
    t.refill({record("010", "x"), record("005", "w")});
    ws.close();

    std::vector<std::string> notices;
    set_index_rebuild_notice([&notices](const std::string& bag) { notices.push_back(bag); });
    Table& again = ws.use(dir.file("REF"), OpenOptions{});
    EXPECT_EQ(listed(again), "w;x;");
    EXPECT_TRUE(notices.empty()) << "the index was left out of step";
    set_index_rebuild_notice({});
}

TEST_F(Refill, IsRefusedForASharedTableOrARecordOfAnotherLength) {
    {
        Table& t = ws.use(dir.file("REF"), exclusive());
        t.refill({record("100", "a")});
        EXPECT_THROW(t.refill({record("200", "b"), " 2"}), TableError);
        EXPECT_EQ(listed(t), "a;");
        ws.close();
    }
    Table& shared = ws.use(dir.file("REF"), OpenOptions{});
    EXPECT_THROW(shared.refill({record("200", "b")}), TableError);
    EXPECT_EQ(listed(shared), "a;");
}

}  // namespace
}  // namespace qv::rt::table::test
