// Index files that are damaged or out of step with their table are rebuilt
// when the table is opened (and the caller told); INDEX ON and PACK that
// fail for want of room leave the old files whole; an order whose key this
// runtime cannot evaluate leaves the rest of the table usable.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include "table_test_util.hpp"
#include "runtime/table/table_error.hpp"

namespace qv::rt::table::test {
namespace {

class IndexRepair : public WorkspaceTest {
protected:
    void SetUp() override {
        WorkspaceTest::SetUp();
        set_index_rebuild_notice([this](const std::string& bag) { notices.push_back(bag); });
    }
    void TearDown() override {
        set_index_rebuild_notice({});
        WorkspaceTest::TearDown();
    }
    // n people, codes n..1 so that the code order is the reverse of the
    // record order; tags COD and NOME.
    void make(int n) {
        create_table(dir.file("REP.DBF"), {{"COD", 'C', 6, 0}, {"NOME", 'C', 30, 0}});
        Table& t = ws.use(dir.file("REP"), exclusive());
        for (int i = 1; i <= n; ++i) {
            ASSERT_TRUE(t.append_blank());
            t.put("COD", Value(std::to_string(100000 + n - i)));
            t.put("NOME", Value("pessoa " + std::to_string(i)));
        }
        t.index_on("COD", "COD");
        t.index_on("NOME", "NOME");
        ws.close();
    }
    // Records in the order COD: must be n..1.
    void expect_code_order(Table& t, std::uint32_t n) {
        ASSERT_TRUE(t.set_order("COD"));
        std::vector<std::uint32_t> got, want;
        for (t.go_top(); !t.eof(); t.skip()) got.push_back(t.recno());
        for (std::uint32_t r = n; r >= 1; --r) want.push_back(r);
        EXPECT_EQ(got, want);
    }
    std::string cdx() { return dir.file("REP.cdx"); }
    std::vector<std::string> notices;
};

// Damage done to the bag with the table closed, as a process killed in the
// middle of an update would leave it.
struct Damage {
    const char* what;
    void (*apply)(const std::string& cdx);
};

const Damage kDamage[] = {
    {"update mark left in the header",
     [](const std::string& cdx) {
         std::string b = read_file(cdx);
         b[0x1E0] = 1;
         write_file(cdx, b);
     }},
    {"entry past the last record",
     [](const std::string& cdx) {
         auto f = CdxFile::open(cdx);
         f->insert(f->tag_number("COD"), "100500", 500);
     }},
    {"entry for record 0",
     [](const std::string& cdx) {
         auto f = CdxFile::open(cdx);
         f->insert(f->tag_number("NOME"), "pessoa 0", 0);
     }},
    {"key of a record missing",
     [](const std::string& cdx) {
         auto f = CdxFile::open(cdx);
         f->remove(f->tag_number("COD"), "100010", 30);
     }},
};

TEST_F(IndexRepair, DamagedBagsAreRebuiltAtOpenAndTheCallerIsTold) {
    for (const Damage& d : kDamage) {
        SCOPED_TRACE(d.what);
        std::filesystem::remove(dir.file("REP.DBF"));
        std::filesystem::remove(cdx());
        make(40);
        notices.clear();
        d.apply(cdx());
        for (bool shared : {false, true}) {
            Table& t = ws.use(dir.file("REP"), shared ? OpenOptions{} : exclusive());
            expect_code_order(t, 40);
            EXPECT_EQ(notices.size(), 1u);   // the first open repaired it
            ws.close();
        }
        if (!notices.empty()) {
            EXPECT_EQ(notices.front(), cdx());
        }
        EXPECT_EQ(read_file(cdx())[0x1E0], 0);
    }
}

// An opening trusts a bag found in step earlier only while neither file has
// changed since: each damage, done after a first opening found the files in
// step, is still found at the next one. The files are aged first, as a client
// folder's tables are between two declarations.
TEST_F(IndexRepair, ABagFoundInStepIsCheckedAgainOnceEitherFileChanged) {
    const auto age = [](const std::string& file) {
        timespec times[2] {};
        ::clock_gettime(CLOCK_REALTIME, &times[0]);
        times[0].tv_sec -= 60;
        times[1] = times[0];
        ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    };
    std::vector<Damage> cases(std::begin(kDamage), std::end(kDamage));
    cases.push_back({"record added by another program, without its keys", [](const std::string& cdx) {
        const std::string dbf = cdx.substr(0, cdx.size() - 4) + ".DBF";
        std::string b = read_file(dbf);
        const auto byte = [&b](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(b[i])); };
        const std::uint32_t count = byte(4) | byte(5) << 8 | byte(6) << 16 | byte(7) << 24;
        const std::size_t header = byte(8) | byte(9) << 8, len = byte(10) | byte(11) << 8;
        b.resize(header + count * len);
        b += " 200000" + std::string(len - 7, ' ') + '\x1A';
        b[4] = static_cast<char>(count + 1);
        write_file(dbf, b);
    }});
    for (const Damage& d : cases) {
        SCOPED_TRACE(d.what);
        std::filesystem::remove(dir.file("REP.DBF"));
        std::filesystem::remove(cdx());
        make(40);
        age(dir.file("REP.DBF"));
        age(cdx());
        ws.use(dir.file("REP"), exclusive());
        ws.close();
        notices.clear();
        d.apply(cdx());
        Table& t = ws.use(dir.file("REP"), exclusive());
        EXPECT_EQ(notices.size(), 1u);
        ASSERT_TRUE(t.set_order("COD"));
        std::uint32_t keys = 0;
        for (t.go_top(); !t.eof(); t.skip()) ++keys;
        EXPECT_EQ(keys, t.lastrec());
        ws.close();
    }
}

// Another user's record just appended, still being filled in, has no keys
// yet: an opening meanwhile leaves the index alone, and the record gets its
// keys once, when it is written.
TEST_F(IndexRepair, ARecordBeingAppendedElsewhereIsNotTakenForAMissingKey) {
    make(40);
    Table& a = ws.use(dir.file("REP"), {});
    ASSERT_TRUE(a.append_blank());
    notices.clear();
    {
        Workspace other;
        Table& b = other.use(dir.file("REP"), {});
        EXPECT_EQ(b.lastrec(), 41u);
        other.close_all();
    }
    EXPECT_TRUE(notices.empty()) << "rebuilt under an append";
    a.put("COD", Value("000000"));
    a.put("NOME", Value("pessoa nova"));
    a.unlock();
    ws.close();
    Table& t = ws.use(dir.file("REP"), exclusive());
    EXPECT_TRUE(notices.empty()) << "the keys were out of step";
    ASSERT_TRUE(t.set_order("COD"));
    std::vector<std::uint32_t> order;
    for (t.go_top(); !t.eof(); t.skip()) order.push_back(t.recno());
    ASSERT_EQ(order.size(), 41u);
    EXPECT_EQ(order.front(), 41u) << "000000 comes first";
    EXPECT_EQ(order.back(), 1u);
}

// A key lost by a writer that died (nobody holds a record any more) is
// found at the next opening, shared as it may be; while another user holds
// a record it is left for a later opening.
TEST_F(IndexRepair, AKeyLostByADeadWriterIsRebuiltOnceNoRecordIsHeld) {
    make(40);
    {
        auto f = CdxFile::open(cdx());
        f->remove(f->tag_number("COD"), "100010", 30);
    }
    notices.clear();
    Table& holder = ws.use(dir.file("REP"), {});
    EXPECT_EQ(notices.size(), 1u) << "nobody held a record";
    holder.go_to(5);
    ASSERT_TRUE(holder.rlock());
    {
        auto f = CdxFile::open(cdx());
        f->remove(f->tag_number("COD"), "100010", 30);
    }
    notices.clear();
    {
        Workspace other;
        other.use(dir.file("REP"), {});
        other.close_all();
    }
    EXPECT_TRUE(notices.empty()) << "a record was held";
    holder.unlock();
    ws.close();
    Table& t = ws.use(dir.file("REP"), {});
    EXPECT_EQ(notices.size(), 1u);
    expect_code_order(t, 40);
}

// Writes beyond `bytes` into any file fail as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        old_handler_ = ::signal(SIGXFSZ, SIG_IGN);
        rlimit r = saved_;
        r.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &r);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        ::signal(SIGXFSZ, old_handler_);
    }

private:
    rlimit saved_{};
    sighandler_t old_handler_;
};

TEST_F(IndexRepair, FullDiskDuringIndexOnAndPackLeavesTheOldFiles) {
    make(3000);
    const std::string dbf = read_file(dir.file("REP.DBF"));
    const std::string bag = read_file(cdx());
    Table& t = ws.use(dir.file("REP"), exclusive());
    t.go_to(5);
    t.delete_record();
    t.commit();
    const std::string deleted = read_file(dir.file("REP.DBF"));
    {
        FileSizeLimit limit(bag.size() / 4);   // the new files cannot be written whole
        EXPECT_THROW(t.index_on("UPPER(NOME)", "UNOME"), TableError);
        EXPECT_THROW(t.pack(), TableError);
    }
    EXPECT_EQ(read_file(cdx()), bag);
    EXPECT_EQ(read_file(dir.file("REP.DBF")), deleted);
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().string().find('~'), std::string::npos) << e.path();
    expect_code_order(t, 3000);
    t.pack();   // with room again
    EXPECT_EQ(t.lastrec(), 2999u);
    ws.close();
    EXPECT_TRUE(notices.empty());
}

TEST_F(IndexRepair, FullDiskAtAKeySplitIsRepairedAtTheNextOpen) {
    make(3000);
    {   // a tag of long keys makes the bag larger than the table
        Table& t = ws.use(dir.file("REP"), exclusive());
        t.index_on("NOME+NOME+NOME+NOME+NOME+NOME", "BIG");
        ws.close();
    }
    const auto bag_size = std::filesystem::file_size(cdx());
    ASSERT_GT(bag_size, std::filesystem::file_size(dir.file("REP.DBF")) + 2000 * 37);
    std::uint32_t written = 3000;
    {
        Table& t = ws.use(dir.file("REP"), OpenOptions{});
        FileSizeLimit limit(bag_size);   // the table can grow, the bag cannot
        bool failed = false;
        for (int i = 0; i < 2000 && !failed; ++i) {
            try {
                ASSERT_TRUE(t.append_blank());
                t.put("COD", Value("0" + std::to_string(10000 + i)));   // before every other code
                t.put("NOME", Value("novo " + std::to_string(i)));
                t.commit();
                t.unlock();
            } catch (const TableError&) {
                failed = true;
            }
        }
        EXPECT_TRUE(failed);
        written = t.lastrec();
        try {
            ws.close();
        } catch (const TableError&) {
        }
    }
    Table& t = ws.use(dir.file("REP"), exclusive());
    EXPECT_EQ(notices.size(), 1u);
    ASSERT_TRUE(t.set_order("COD"));
    std::uint32_t count = 0;
    std::string last;
    for (t.go_top(); !t.eof(); t.skip(), ++count) {
        const std::string cod = t.get("COD").as_string();
        EXPECT_LE(last, cod);
        last = cod;
    }
    EXPECT_EQ(count, written);
}

TEST_F(IndexRepair, AnOrderThatCannotBeEvaluatedLeavesTheRestUsable) {
    make(10);
    {
        auto f = CdxFile::open(cdx());
        TagInfo info;
        info.name = "ODD";
        info.key_expr = "NO_SUCH_FUNCTION(NOME)";
        info.type = KeyType::Character;
        info.key_len = 30;
        f->build_tag(info, {});
    }
    Table& t = ws.use(dir.file("REP"), exclusive());
    expect_code_order(t, 10);
    ASSERT_TRUE(t.set_order("ODD"));
    EXPECT_THROW(t.go_top(), TableError);
    t.set_order("COD");
    ASSERT_TRUE(t.append_blank());
    t.put("COD", Value("000001"));
    t.commit();
    t.go_top();
    EXPECT_EQ(t.recno(), 11u);
    EXPECT_THROW(t.reindex(), TableError);
}

}  // namespace
}  // namespace qv::rt::table::test
