// Shared and exclusive opening, record, file and append locks at the
// offsets of the other xBase tools, several processes writing one table, and
// a writer killed in the middle.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <set>
#include <vector>

#include "table_test_util.hpp"
#include "runtime/table/kept_mappings.hpp"
#include "runtime/table/share_signal.hpp"
#include "runtime/table/table_error.hpp"

namespace qv::rt::table::test {
namespace {

// Whether another open file description could take a write lock on the byte.
bool byte_locked(const std::string& path, std::int64_t off) { return lock_on(path, off) != F_UNLCK; }

class Locks : public WorkspaceTest {
protected:
    void make(bool with_index, int records = 5) {
        create_table(dir.file("SHR.DBF"), {{"CPF", 'C', 11, 0}, {"CONT", 'N', 8, 0}, {"OBS", 'M', 10, 0}});
        Table& t = ws.use(dir.file("SHR"), OpenOptions{"", true, false, true});   // indexes are built alone
        for (int i = 1; i <= records; ++i) {
            ASSERT_TRUE(t.append_blank());
            t.put("CPF", Value(std::to_string(10000000000LL + i)));
            t.put("CONT", Value(0.0));
        }
        if (with_index) t.index_on("CPF", "CPF");
        ws.close();
    }
    Workspace other;   // a second set of work areas: another user
};

TEST_F(Locks, ExclusiveAndSharedOpeningsExcludeEachOther) {
    make(false);
    ws.use(dir.file("SHR"), {});
    EXPECT_THROW(other.use(dir.file("SHR"), OpenOptions{"", true, false, true}), TableBusy);
    EXPECT_NO_THROW(other.use(dir.file("SHR"), {}));
    other.close();
    ws.close();
    ws.use(dir.file("SHR"), OpenOptions{"", true, false, true});
    EXPECT_THROW(other.use(dir.file("SHR"), {}), TableBusy);
    try {
        other.use(dir.file("SHR"), {});
    } catch (const TableError& e) {
        EXPECT_NE(std::string(e.what()).find("SHR.DBF"), std::string::npos);
    }
    EXPECT_EQ(other.table(), nullptr);
    ws.close();
    EXPECT_NO_THROW(other.use(dir.file("shr"), OpenOptions{"", true, false, true}));
}

TEST_F(Locks, RecordAndFileLocksUseTheSchemeOffsetsWithAStructuralIndex) {
    make(true);
    Table& a = ws.use(dir.file("SHR"), {});
    Table& b = other.use(dir.file("SHR"), {});
    const std::string p = dir.file("SHR.DBF");
    a.go_to(3);
    ASSERT_TRUE(a.rlock());
    EXPECT_TRUE(byte_locked(p, 0x7FFFFFFE - 3));
    EXPECT_FALSE(b.rlock(3));
    EXPECT_TRUE(b.rlock(4));
    EXPECT_FALSE(a.flock());              // b holds record 4
    EXPECT_FALSE(a.is_locked(3));         // the failed FLOCK let go of record 3
    b.unlock();
    ASSERT_TRUE(a.rlock(3));
    ASSERT_TRUE(a.rlock(5));              // one record lock per area: 3 is freed
    EXPECT_FALSE(byte_locked(p, 0x7FFFFFFE - 3));
    EXPECT_TRUE(b.rlock(3));
    b.unlock();
    a.unlock();
    ASSERT_TRUE(a.flock());
    EXPECT_TRUE(byte_locked(p, 0x77FFFFFF));
    EXPECT_TRUE(byte_locked(p, 0x77FFFFFF + 0x07FFFFFE));
    EXPECT_FALSE(byte_locked(p, 0x77FFFFFF + 0x07FFFFFF));
    EXPECT_FALSE(b.rlock(1));
    EXPECT_FALSE(b.append_blank());       // the new record cannot be locked
    EXPECT_EQ(b.lastrec(), 5u);
    a.unlock();
    EXPECT_TRUE(b.append_blank());
    EXPECT_TRUE(byte_locked(p, 0x7FFFFFFE - 6));
    EXPECT_EQ(a.lastrec(), 6u);           // the other user sees the new record
}

TEST_F(Locks, WithoutIndexTheRecordLockIsAtItsOffsetInTheFile) {
    make(false);
    Table& a = ws.use(dir.file("SHR"), {});
    const std::string p = dir.file("SHR.DBF");
    ASSERT_TRUE(a.rlock(2));
    EXPECT_TRUE(byte_locked(p, 0x40000000 + a.header_len() + a.record_len()));
    a.unlock();
    ASSERT_TRUE(a.flock());
    EXPECT_TRUE(byte_locked(p, 0x40000001));
    EXPECT_TRUE(byte_locked(p, 0x7FFFFFFD));
    EXPECT_FALSE(byte_locked(p, 0x40000000));
}

// Seen from another program: within one program a lock kept by one work
// area is given back when another needs it.
TEST_F(Locks, ARunOfAppendsFreesTheRecordItLeavesAtOnceAndEveryLockOnUnlock) {
    for (const bool with_index : {false, true}) {   // (the index stays once made)
        SCOPED_TRACE(with_index ? "structural index" : "no index");
        make(with_index);
        Table& a = ws.use(dir.file("SHR"), {});
        const std::string p = dir.file("SHR.DBF");
        const auto record_byte = [&](std::int64_t r) {
            return with_index ? 0x7FFFFFFE - r : 0x40000000 + a.header_len() + (r - 1) * a.record_len();
        };
        ASSERT_TRUE(a.append_blank());    // 6
        ASSERT_TRUE(a.append_blank());    // 7
        EXPECT_FALSE(byte_locked(p, record_byte(6)));
        EXPECT_TRUE(byte_locked(p, record_byte(7)));
        a.unlock();
        for (std::int64_t r = 6; r <= 80; ++r) EXPECT_FALSE(byte_locked(p, record_byte(r))) << r;
        ws.close();
    }
}

TEST_F(Locks, ChangesOfAnotherUserAreSeenAfterTakingALock) {
    make(true);
    Table& a = ws.use(dir.file("SHR"), {});
    Table& b = other.use(dir.file("SHR"), {});
    a.go_to(2);
    b.go_to(2);
    ASSERT_TRUE(b.rlock());
    b.put("CONT", Value(7.0));
    b.put("CPF", Value("00000000000"));
    b.unlock();
    ASSERT_TRUE(a.rlock());
    EXPECT_DOUBLE_EQ(a.get("CONT").as_number(), 7.0);
    a.unlock();
    a.set_order(1);
    a.go_top();   // index order: the changed key comes first
    EXPECT_EQ(a.recno(), 2u);
}

TEST_F(Locks, AnotherUsersAppendIsFoundBySeekWithoutALock) {
    make(true);
    Table& a = ws.use(dir.file("SHR"), {});
    Table& b = other.use(dir.file("SHR"), {});
    a.set_order(1);
    EXPECT_FALSE(a.seek(Value("00000000042")));   // pages now cached in a
    ASSERT_TRUE(b.append_blank());
    b.put("CPF", Value("00000000042"));
    b.unlock();
    EXPECT_TRUE(a.seek(Value("00000000042")));
    EXPECT_EQ(a.recno(), 6u);
    ASSERT_TRUE(b.rlock(6));
    b.delete_record();
    b.put("CPF", Value("99999999999"));
    b.unlock();
    EXPECT_FALSE(a.seek(Value("00000000042")));
    ws.set_deleted(true);
    EXPECT_FALSE(a.seek(Value("99999999999")));   // deleted: hidden
    ws.set_deleted(false);
    EXPECT_TRUE(a.seek(Value("99999999999")));
}

// Each child adds `n` records and increments the counter of record 1 `n`
// times, each under its lock.
void child_work(const std::string& path, int id, int n) {
    Workspace w;
    set_field_resolver(&w);
    Table& t = w.use(path, {});
    for (int i = 0; i < n; ++i) {
        while (!t.append_blank()) ::usleep(100);
        t.put("CPF", Value(std::to_string(20000000000LL + id * 100000 + i)));
        t.put("OBS", Value("filho " + std::to_string(id) + " " + std::to_string(i)));
        t.unlock();
        t.go_to(1);
        while (!t.rlock()) ::usleep(100);
        t.put("CONT", Value(t.get("CONT").as_number() + 1));
        t.unlock();
    }
    w.close_all();
}

TEST_F(Locks, TwoProcessesAppendingAndReplacingLoseNoUpdate) {
    make(true, 1);
    const int kChildren = 3, kEach = 150;
    EXPECT_TRUE(run_in_children(kChildren, [&](int c) { child_work(dir.file("SHR.DBF"), c, kEach); }));
    Table& t = ws.use(dir.file("SHR"), {});
    EXPECT_EQ(t.lastrec(), 1u + kChildren * kEach);
    t.set_order(0);
    t.go_to(1);
    EXPECT_DOUBLE_EQ(t.get("CONT").as_number(), kChildren * kEach);
    std::set<std::string> memos, cpfs;
    for (t.go_top(); !t.eof(); t.skip()) {
        cpfs.insert(t.get("CPF").as_string());
        if (t.recno() > 1) memos.insert(t.get("OBS").as_string());
    }
    EXPECT_EQ(cpfs.size(), 1u + kChildren * kEach);
    EXPECT_EQ(memos.size(), static_cast<std::size_t>(kChildren * kEach));
    // the index holds every record, in key order
    ASSERT_TRUE(t.set_order("CPF"));
    std::string prev;
    std::size_t n = 0;
    for (t.go_top(); !t.eof(); t.skip(), ++n) {
        EXPECT_LT(prev, t.get("CPF").as_string());
        prev = t.get("CPF").as_string();
    }
    EXPECT_EQ(n, 1u + kChildren * kEach);
}

// A run of appends keeps the append lock and the index lock from one append
// to the next, yet another user's appends go in while the run goes on, and
// once the run stops (its writer idle, the table still open) both locks are
// free again.
TEST_F(Locks, AnotherUserAppendsDuringARunOfAppendsAndTheLocksAreFreeOnceItStops) {
    make(true, 1);
    int started[2], stopped[2];
    ASSERT_EQ(::pipe(started), 0);
    ASSERT_EQ(::pipe(stopped), 0);
    const pid_t writer = ::fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
        Workspace w;
        Table& t = w.use(dir.file("SHR"), {});
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        for (long i = 0; std::chrono::steady_clock::now() < until; ++i) {
            if (!t.append_blank()) ::_exit(2);
            t.put("CPF", Value("9" + std::to_string(1000000000L + i)));
            if (i == 0 && ::write(started[1], "x", 1) != 1) ::_exit(3);
        }
        t.commit();
        if (::write(stopped[1], "x", 1) != 1) ::_exit(3);
        ::pause();   // idle, the table open
        ::_exit(0);
    }
    ::close(started[1]);
    ::close(stopped[1]);
    char c;
    ASSERT_EQ(::read(started[0], &c, 1), 1);
    Table& t = ws.use(dir.file("SHR"), {});
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(t.append_blank());
        t.put("CPF", Value("1000000000" + std::to_string(i)));
        t.unlock();
    }
    pollfd run_over{stopped[0], POLLIN, 0};
    EXPECT_EQ(::poll(&run_over, 1, 0), 0) << "the other user waited for the whole run";
    ASSERT_EQ(::read(stopped[0], &c, 1), 1);
    const auto free_within = [](const std::string& file, std::int64_t byte) {
        for (int tries = 0; tries < 400 && byte_locked(file, byte); ++tries) ::usleep(5000);
        return !byte_locked(file, byte);
    };
    EXPECT_TRUE(free_within(dir.file("SHR.DBF"), 0x7FFFFFFE)) << "the append lock";
    EXPECT_TRUE(free_within(dir.file("SHR.cdx"), 0x7FFFFFFE)) << "the index lock";
    ::kill(writer, SIGKILL);
    int status = 0;
    ::waitpid(writer, &status, 0);
    ::close(started[0]);
    ::close(stopped[0]);
    ws.close();
    Table& check = ws.use(dir.file("SHR"), {});
    ASSERT_TRUE(check.set_order("CPF"));
    std::size_t keys = 0;
    for (check.go_top(); !check.eof(); check.skip()) ++keys;
    EXPECT_EQ(keys, check.lastrec());
}

TEST_F(Locks, AWriterKilledMidwayLeavesAReadableTable) {
    make(true, 1);
    for (int round = 0; round < 4; ++round) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(ready[0]);
            try {
                Workspace w;
                set_field_resolver(&w);
                Table& t = w.use(dir.file("SHR.DBF"), {});
                for (long i = 0;; ++i) {
                    if (!t.append_blank()) continue;
                    t.put("CPF", Value(std::to_string(30000000000LL + i)));
                    t.put("OBS", Value(std::string(static_cast<std::size_t>(50 + i % 300), 'k')));
                    t.unlock();
                    if (i == 20) {   // well under way: the parent may strike
                        const char c = 'x';
                        if (::write(ready[1], &c, 1) != 1) ::_exit(1);
                    }
                }
            } catch (...) {
            }
            ::_exit(0);
        }
        ::close(ready[1]);
        char c;
        ASSERT_EQ(::read(ready[0], &c, 1), 1);
        ::close(ready[0]);
        ::usleep(static_cast<useconds_t>(round * 7000));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        Table& t = ws.use(dir.file("SHR"), OpenOptions{"", true, false, true});   // alone, to rebuild the index
        const std::uint32_t n = t.lastrec();
        EXPECT_GT(n, 1u);
        t.set_order(0);
        std::uint32_t seen = 0;
        for (t.go_top(); !t.eof(); t.skip()) {
            ++seen;
            EXPECT_NO_THROW(t.get("OBS"));
        }
        EXPECT_EQ(seen, n);
        t.reindex();
        ws.close();
    }
}

// A table read through its mapping and closed leaves nothing held: another
// user opens it alone at once, and this one, opening it again, reads what
// the other left, whether the records changed, the table was cut or it was
// rewritten aside under its name.
TEST_F(Locks, ATableReadManyTimesAndClosedHoldsNothingAndIsReadAnewAtTheNextOpening) {
    struct Case {
        const char* what;
        std::function<void(Table&)> other_does;
        std::uint32_t count;
        const char* cpf_of_first;
        double cont_of_last;
    };
    const std::vector<Case> cases = {
        {"records changed and one appended",
         [](Table& t) {
             t.go_to(1);
             t.put("CPF", Value("99999999999"));
             t.go_to(200);
             t.put("CONT", Value(77.0));
             ASSERT_TRUE(t.append_blank());
             t.put("CONT", Value(5.0));
         },
         201, "99999999999", 5.0},
        {"emptied", [](Table& t) { t.zap(); }, 0, "", 0.0},
        {"rewritten aside without its first record",
         [](Table& t) {
             t.go_to(1);
             t.delete_record();
             t.pack();
         },
         199, "10000000002", 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        make(false, 200);
        {
            Table& t = ws.use(dir.file("SHR"), {});
            std::uint32_t seen = 0;
            for (t.go_top(); !t.eof(); t.skip()) ++seen;   // enough reads for a mapping
            ASSERT_EQ(seen, 200u);
            ASSERT_TRUE(t.rlock(3));
            t.unlock();
            ws.close();
        }
        EXPECT_FALSE(byte_locked(dir.file("SHR.DBF"), kShareSignalByte));
        {
            Table& t = other.use(dir.file("SHR"), exclusive());   // nothing of the first is left
            c.other_does(t);
            other.close();
        }
        Table& t = ws.use(dir.file("SHR"), {});
        EXPECT_EQ(t.lastrec(), c.count);
        t.go_top();
        EXPECT_EQ(t.get("CPF").as_string(), c.count ? std::string(c.cpf_of_first) : std::string(11, ' '));
        t.go_bottom();
        EXPECT_DOUBLE_EQ(t.get("CONT").as_number(), c.cont_of_last);
        std::uint32_t seen = 0;
        for (t.go_top(); !t.eof(); t.skip()) ++seen;
        EXPECT_EQ(seen, c.count);
        ws.close();
        std::filesystem::remove(dir.file("SHR.DBF"));
        std::filesystem::remove(dir.file("SHR.fpt"));
    }
}

// The mapping of a table read many times outlives its closing, until the
// program lets go of the mappings kept (it leaves the folder: a removable
// disk must not stay busy).
TEST_F(Locks, AMappingKeptAfterTheCloseGoesWhenTheProgramLetsGoOfThem) {
    make(false, 200);
    const auto mapped = [&] {
        std::ifstream maps("/proc/self/maps");
        std::string line;
        while (std::getline(maps, line))
            if (line.find(dir.file("SHR.DBF")) != std::string::npos) return true;
        return false;
    };
    Table& t = ws.use(dir.file("SHR"), {});
    for (t.go_top(); !t.eof(); t.skip()) {
    }
    ws.close();
    EXPECT_TRUE(mapped());
    let_go_of_kept_mappings();
    EXPECT_FALSE(mapped());
}

// Terminals that find a table missing at the same moment each make it when
// they find it missing: whichever comes second leaves the table the first
// made, and the rows written in it, as they are.
TEST_F(Locks, UsersMakingAMissingTableAtOnceKeepEachOthersRows) {
    constexpr int kUsers = 6;
    constexpr int kRounds = 5;
    const Structure layout{{"CPF", 'C', 11, 0}, {"OBS", 'M', 10, 0}};
    for (int round = 0; round < kRounds; ++round) {
        const std::string name = "NEW" + std::to_string(round);
        std::vector<pid_t> users;
        for (int u = 0; u < kUsers; ++u) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                int code = 0;
                try {
                    Workspace mine;
                    create_table_if_missing(dir.file(name + ".DBF"), layout);
                    Table& t = mine.use(dir.file(name), {});
                    while (!t.append_blank()) ::usleep(100);
                    t.put("CPF", Value(std::to_string(u)));
                    t.put("OBS", Value("linha " + std::to_string(u)));
                    t.unlock();
                    mine.close();
                } catch (...) {
                    code = 1;
                }
                ::_exit(code);
            }
            users.push_back(pid);
        }
        for (const pid_t pid : users) {
            int status = 0;
            ::waitpid(pid, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << name;
        }
        Table& t = ws.use(dir.file(name), {});
        std::set<std::string> found;
        for (t.go_top(); !t.eof(); t.skip()) found.insert(t.get("CPF").as_string());
        EXPECT_EQ(found.size(), static_cast<std::size_t>(kUsers)) << name;
        ws.close();
        EXPECT_FALSE(create_table_if_missing(dir.file(name + ".DBF"), layout));
        EXPECT_EQ(ws.use(dir.file(name), {}).lastrec(), static_cast<std::uint32_t>(kUsers));
        ws.close();
    }
}

// A lock kept past its use is given back by a thread of the process. A
// process forked while that thread ran may not start one of its own: it
// keeps nothing, so that its locks never wait for a thread that cannot run.
TEST_F(Locks, AChildForkedWhileLocksWereKeptKeepsNoneAndStartsNoThread) {
    const std::string path = dir.file("KEPT.BIN");
    FileHandle mine(::open(path.c_str(), O_RDWR | O_CREAT, 0644));
    ASSERT_TRUE(mine);
    KeptLock parent_lock;
    parent_lock.attach(mine.get(), 100, 1);
    ASSERT_TRUE(parent_lock.take());
    parent_lock.keep();   // the thread that gives kept locks back is running
    const pid_t pid = ::fork();
    if (pid == 0) {
        FileHandle its(::open(path.c_str(), O_RDWR));
        KeptLock child_lock;
        child_lock.attach(its.get(), 200, 1);
        if (!child_lock.take()) ::_exit(3);
        child_lock.keep();
        if (byte_locked(path, 200)) ::_exit(1);
        std::size_t threads = 0;
        for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task")) ++threads;
        ::_exit(threads == 1 ? 0 : 2);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the child kept its lock; 2: it started a thread";
    parent_lock.give_back();
}

}  // namespace
}  // namespace qv::rt::table::test
