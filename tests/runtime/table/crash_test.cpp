// Writers killed at random instants, and several writers at once.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <map>

#include "../../../bench/crash_harness.hpp"
#include "runtime/table/file_lock.hpp"
#include "table_test_util.hpp"

namespace qv::rt::table::test {
namespace {

std::string crash_faults(unsigned seed, int kills, bool indexes) {
    TempDir dir;
    crash::Options o;
    o.dir = dir.path();
    o.kills = kills;
    o.seed = seed;
    o.indexes = o.index_work = o.check_orders = indexes;
    const crash::Report r = crash::run(o);
    std::string s;
    for (const std::string& x : r.faults) s += x + "\n";
    if (r.kills != kills) s += "stopped after " + std::to_string(r.kills) + " kills\n";
    return s;
}

// The table and its memos alone.
TEST(Crash, AWriterKilledAnywhereLosesNoCommittedRecordAndMixesNoMemo) {
    EXPECT_EQ(crash_faults(11, 40, false), "");
}

// Index files survive a kill (pages written children first, a
// dirty mark, repair at open) and PACK, INDEX ON and REINDEX built aside: a
// kill between a record and its keys, in a page split or in the middle of
// those leaves orders the next open must detect and rebuild.
// bench/crash_soak --index-work --orders runs the long version.
TEST(Crash, OrdersAgreeWithTheTableAfterKillsAmidIndexWork) {
    EXPECT_EQ(crash_faults(12, 60, true), "");
}

// A writer changing a key field is killed while another user holds the
// index: whatever it leaves, the order lists the records by the keys they
// hold (the record must not reach the table before its bag is marked).
TEST(Crash, ARecordChangedButNotYetInItsIndexIsNeverTrusted) {
    TempDir dir;
    Workspace ws;
    FieldResolver* saved = field_resolver();
    set_field_resolver(&ws);
    create_table(dir.file("KEYS.DBF"), {{"CPF", 'C', 11, 0}});
    {
        Table& t = ws.use(dir.file("KEYS"), OpenOptions{"", true, false, true});
        for (const char* cpf : {"AAAAAAAAAAA", "MMMMMMMMMMM"}) {
            ASSERT_TRUE(t.append_blank());
            t.put("CPF", Value(cpf));
        }
        t.index_on("CPF", "CPF");
        ws.close_all();
    }
    int ready[2], go[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(go), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        Workspace w;
        set_field_resolver(&w);
        Table& t = w.use(dir.file("KEYS"), {});
        t.go_to(1);
        if (!t.rlock()) ::_exit(2);
        t.put("CPF", Value("ZZZZZZZZZZZ"));
        char x = 'x';
        if (::write(ready[1], &x, 1) != 1 || ::read(go[0], &x, 1) != 1) ::_exit(3);
        t.unlock();   // waits for the index lock
        ::_exit(0);
    }
    char c = 'x';
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    const int held = ::open(dir.file("KEYS.cdx").c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_TRUE(lock_range(held, 0x7FFFFFFE, 1, true, true));   // the index lock byte
    ASSERT_EQ(::write(go[1], &c, 1), 1);
    ::usleep(300000);   // time for a wrongly ordered writer to reach the table
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    unlock_range(held, 0x7FFFFFFE, 1);
    ::close(held);
    for (int fd : {ready[0], ready[1], go[0], go[1]}) ::close(fd);
    Table& t = ws.use(dir.file("KEYS"), {});
    std::vector<std::pair<std::string, std::uint32_t>> scan;
    for (std::uint32_t r = 1; r <= t.lastrec(); ++r) {
        t.go_to(r);
        scan.emplace_back(t.get("CPF").as_string(), r);
    }
    std::sort(scan.begin(), scan.end());
    std::vector<std::pair<std::string, std::uint32_t>> walked;
    t.set_order(1);
    for (t.go_top(); !t.eof(); t.skip()) walked.emplace_back(t.get("CPF").as_string(), t.recno());
    EXPECT_EQ(walked, scan);
    ws.close_all();
    set_field_resolver(saved);
}

// Writers append records with memos of their own and rewrite a shared
// record's memo; afterwards every record and every memo is whole.
class Concurrent : public WorkspaceTest, public ::testing::WithParamInterface<bool> {};

std::string memo_text(int child, int i) {
    return "processo " + std::to_string(child) + " registro " + std::to_string(i) + " " +
           std::string(static_cast<std::size_t>((child * 131 + i * 17) % 900), static_cast<char>('a' + child));
}

TEST_P(Concurrent, WritersLoseNoRecordAndCorruptNoMemo) {
    create_table(dir.file("CONC.DBF"), {{"CPF", 'C', 11, 0}, {"OBS", 'M', 10, 0}});
    {
        Table& t = ws.use(dir.file("CONC"), OpenOptions{"", true, false, true});
        ASSERT_TRUE(t.append_blank());
        t.put("CPF", Value("00000000000"));
        if (GetParam()) t.index_on("CPF", "CPF");
        ws.close();
    }
    const int kChildren = 4, kEach = 120;
    EXPECT_TRUE(run_in_children(kChildren, [&](int c) {
        Workspace w;
        set_field_resolver(&w);
        Table& t = w.use(dir.file("CONC"), {});
        for (int i = 0; i < kEach; ++i) {
            while (!t.append_blank()) ::usleep(100);
            t.put("CPF", Value(std::to_string(10000000000LL + c * 100000 + i)));
            t.put("OBS", Value(memo_text(c, i)));
            t.unlock();
            t.go_to(1);
            while (!t.rlock()) ::usleep(100);
            t.put("OBS", Value(memo_text(c, i)));
            t.unlock();
        }
    }));
    Table& t = ws.use(dir.file("CONC"), {});
    ASSERT_EQ(t.lastrec(), 1u + kChildren * kEach);
    std::map<std::string, int> seen;
    for (std::uint32_t r = 2; r <= t.lastrec(); ++r) {
        t.go_to(r);
        const long long cpf = std::stoll(t.get("CPF").as_string());
        const int c = static_cast<int>(cpf / 100000 % 100), i = static_cast<int>(cpf % 100000);
        EXPECT_EQ(t.get("OBS").as_string(), memo_text(c, i)) << r;
        ++seen[t.get("CPF").as_string()];
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kChildren * kEach));
    t.go_to(1);
    const std::string last = t.get("OBS").as_string();
    EXPECT_EQ(last.rfind("processo ", 0), 0u);
    if (GetParam()) {
        t.set_order(1);
        std::uint32_t n = 0;
        for (t.go_top(); !t.eof(); t.skip()) ++n;
        EXPECT_EQ(n, 1u + kChildren * kEach);
    }
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutIndex, Concurrent, ::testing::Bool());

}  // namespace
}  // namespace qv::rt::table::test
