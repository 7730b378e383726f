// Truncated or corrupt tables, memo files and index files give a TableError
// that names the file; never a crash, a hang or a wrong answer.
#include <filesystem>
#include <functional>

#include "table_test_util.hpp"
#include "runtime/table/table_error.hpp"

namespace qv::rt::table::test {
namespace {

class BadInput : public WorkspaceTest {
protected:
    // Opens and reads every record and field; the error, if any.
    std::string read_all(const std::string& path) {
        try {
            OpenOptions o;
            o.read_only = true;
            Table& t = ws.use(path, o);
            for (t.go_top(); !t.eof(); t.skip())
                for (int i = 0; i < t.field_count(); ++i) t.get(i);
            ws.close();
            return "";
        } catch (const TableError& e) {
            ws.close();
            return e.what();
        }
    }
    std::string damaged(const std::string& fixture, const std::function<void(std::string&)>& change,
                        const std::string& name = "BAD.DBF") {
        std::string b = read_file(fixture_dir() + fixture);
        change(b);
        write_file(dir.file(name), b);
        return dir.file(name);
    }
};

TEST_F(BadInput, TruncatedTablesAreReportedWithTheirName) {
    for (std::size_t keep : {0u, 10u, 31u, 100u, 225u, 5000u}) {
        const std::string p = damaged("people.dbf", [&](std::string& b) { b.resize(keep); });
        const std::string err = read_all(p);
        EXPECT_NE(err.find("BAD.DBF"), std::string::npos) << keep << ": " << err;
    }
}

// Another program cuts the files short while the table is open and its
// records have been read through the shared mapping: reading the lost
// records then is an error, not a bus error.
TEST_F(BadInput, FilesCutShortWhileOpenGiveAnError) {
    const std::string p = dir.file("CUT.DBF");
    create_table(p, {{"CODE", 'C', 10, 0}, {"TEXT", 'C', 200, 0}});
    ws.use(p, OpenOptions{"", true, false, true}).index_on("CODE", "CODE");   // built alone, then shared
    ws.close();
    Table& t = ws.use(p, {});
    for (int i = 1; i <= 3000; ++i) {
        ASSERT_TRUE(t.append_blank());
        t.put(0, Value(std::to_string(100000 + i)));
        t.put(1, Value(std::string(150, 'x')));
    }
    t.unlock();
    t.set_order(0);
    int seen = 0;
    for (t.go_top(); !t.eof(); t.skip()) ++seen;
    ASSERT_EQ(seen, 3000);
    ASSERT_EQ(::truncate(p.c_str(), 2000), 0);   // the header and a few records
    EXPECT_THROW(t.go_to(2500), TableError);
    EXPECT_THROW(
        {
            for (t.go_top(); !t.eof(); t.skip()) {
            }
        },
        TableError);
    ASSERT_EQ(::truncate(dir.file("CUT.cdx").c_str(), 0), 0);
    t.set_order(1);
    EXPECT_THROW(t.seek(Value(std::string("100010"))), TableError);
    ws.close_all();
}

// The index cut short (its header kept, so nothing looks changed) between
// two updates that write its pages in place: an error, not a bus error.
TEST_F(BadInput, IndexCutShortUnderAnUpdateGivesAnError) {
    const std::string p = dir.file("CUTX.DBF");
    create_table(p, {{"CODE", 'C', 10, 0}});
    ws.use(p, OpenOptions{"", true, false, true}).index_on("CODE", "CODE");   // built alone, then shared
    ws.close();
    Table& t = ws.use(p, {});
    for (int i = 1; i <= 3000; ++i) {
        ASSERT_TRUE(t.append_blank());
        t.put(0, Value(std::to_string(100000 + i)));
    }
    t.unlock();
    ASSERT_TRUE(t.rlock(2000));
    t.go_to(2000);
    t.put(0, Value(std::string("000001")));
    t.unlock();
    ASSERT_EQ(::truncate(dir.file("CUTX.cdx").c_str(), 1536), 0);
    EXPECT_THROW(
        {
            ASSERT_TRUE(t.rlock(2500));
            t.go_to(2500);
            t.put(0, Value(std::string("000002")));
            t.unlock();
        },
        TableError);
    ws.close_all();
}

TEST_F(BadInput, CorruptHeadersAreReported) {
    auto expect_error = [&](const std::function<void(std::string&)>& change) {
        const std::string err = read_all(damaged("people.dbf", change));
        EXPECT_NE(err.find("BAD.DBF"), std::string::npos) << err;
    };
    expect_error([](std::string& b) { b[0] = 0x42; });                  // version
    expect_error([](std::string& b) { b[10] = 0x10; });                 // record length
    expect_error([](std::string& b) { b[8] = 0x10; b[9] = 0; });        // header length
    expect_error([](std::string& b) { b[7] = 0x7F; });                  // record count
    expect_error([](std::string& b) { b[32 + 11] = 'X'; });             // field type
    expect_error([](std::string& b) { b[224] = ' '; });                 // no terminator
    expect_error([](std::string& b) { b[32 + 32 * 3 + 16] = 0; });     // zero-width field
}

TEST_F(BadInput, AnExtraRecordAfterTheCountIsIgnored) {
    // a writer killed between the record and the count leaves this
    const std::string p = damaged("people.dbf", [](std::string& b) {
        b.pop_back();
        b += std::string(95, ' ');
        b += '\x1A';
    });
    EXPECT_EQ(read_all(p), "");
}

TEST_F(BadInput, CorruptMemoFilesAreReported) {
    const std::string dbf = read_file(fixture_dir() + "memo_fpt.dbf");
    write_file(dir.file("M.DBF"), dbf);
    std::string fpt = read_file(fixture_dir() + "memo_fpt.fpt");
    fpt.resize(4000);   // memos past this are cut
    write_file(dir.file("M.FPT"), fpt);
    std::string err = read_all(dir.file("M.DBF"));
    EXPECT_NE(err.find("M.FPT"), std::string::npos) << err;

    fpt = read_file(fixture_dir() + "memo_fpt.fpt");
    fpt[16 * 64 + 4] = 0x7F;   // absurd length of the first memo
    write_file(dir.file("M.FPT"), fpt);
    err = read_all(dir.file("M.DBF"));
    EXPECT_NE(err.find("M.FPT"), std::string::npos) << err;

    std::filesystem::remove(dir.file("M.FPT"));
    err = read_all(dir.file("M.DBF"));
    EXPECT_NE(err.find("M.DBF"), std::string::npos) << err;

    write_file(dir.file("D.DBF"), read_file(fixture_dir() + "memo_dbt.dbf"));
    std::string dbt = read_file(fixture_dir() + "memo_dbt.dbt");
    dbt.resize(20 * 512);   // the end marks of the later memos are gone
    write_file(dir.file("D.DBT"), dbt);
    err = read_all(dir.file("D.DBF"));
    EXPECT_NE(err.find("D.DBT"), std::string::npos) << err;

    // a memo pointer that is not a number
    std::string bad = dbf;
    const std::size_t hl = 32 + 64 + 2;
    bad[hl + 11 + 5] = 'x';
    write_file(dir.file("M.DBF"), bad);
    write_file(dir.file("M.FPT"), read_file(fixture_dir() + "memo_fpt.fpt"));
    err = read_all(dir.file("M.DBF"));
    EXPECT_NE(err.find("M.DBF"), std::string::npos) << err;
}

TEST_F(BadInput, AnUnreadableIndexIsRebuiltFromItsKnownTags) {
    const std::string p = copy_fixture("people.dbf");
    copy_fixture("people.cdx");
    {
        Table& t = ws.use(p, {});   // the tags become known
        EXPECT_EQ(t.order_count(), 3);
        ws.close();
    }
    std::string cdx = read_file(dir.file("people.cdx"));
    for (std::size_t i = 0; i < 1024; ++i) cdx[i] = '\xFF';
    write_file(dir.file("people.cdx"), cdx);
    Table& t = ws.use(p, {});
    ASSERT_EQ(t.order_count(), 3);
    ASSERT_TRUE(t.set_order("NOME"));
    const Listing l = read_listing(fixture_dir() + "people.txt");
    std::vector<std::uint32_t> got, want;
    for (t.go_top(); !t.eof(); t.skip()) got.push_back(t.recno());
    for (const auto& k : l.tags[1].keys) want.push_back(k.first);
    EXPECT_EQ(got, want);
}

TEST_F(BadInput, AnUnreadableIndexOfUnknownTagsIsReported) {
    const std::string p = copy_fixture("rural.dbf");
    write_file(dir.file("rural.cdx"), std::string(700, 'z'));
    try {
        ws.use(p, {});
        ADD_FAILURE() << "opened";
    } catch (const TableError& e) {
        EXPECT_NE(std::string(e.what()).find("rural.cdx"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace qv::rt::table::test
