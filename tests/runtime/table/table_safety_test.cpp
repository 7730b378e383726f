// Values that do not fit, memo pointers, changes without a lock, files in
// use that must not be replaced, the share-mode signal and appends cut
// short by a full disk.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <sstream>
#include <sys/stat.h>

#include "table_test_util.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/transfer.hpp"

namespace qv::rt::table::test {
namespace {

// The start of a lock request blocked on `path`, as the kernel lists it.
std::optional<long long> blocked_request_on(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    std::istringstream locks(read_file("/proc/locks"));
    std::string line;
    while (std::getline(locks, line)) {
        const std::size_t arrow = line.find("->");
        if (arrow == std::string::npos) continue;
        std::istringstream f(line.substr(arrow + 2));
        std::string kind, advisory, mode, pid, id, start;
        f >> kind >> advisory >> mode >> pid >> id >> start;
        if (id.substr(id.rfind(':') + 1) == std::to_string(st.st_ino)) return std::stoll(start);
    }
    return std::nullopt;
}

class Safety : public WorkspaceTest {
protected:
    Table& make(const OpenOptions& opt = {}, int records = 3) {
        create_table(dir.file("SAFE.DBF"), {{"CPF", 'C', 11, 0}, {"VAL", 'N', 6, 2}, {"OBS", 'M', 10, 0}});
        Table& t = ws.use(dir.file("SAFE"), opt);
        for (int i = 1; i <= records; ++i) {
            EXPECT_TRUE(t.append_blank());
            t.put("CPF", Value(std::to_string(10000000000LL + i)));
            t.put("VAL", Value(i * 1.5));
        }
        t.commit();
        return t;
    }
};

TEST(NumberText, SixteenSignificantDigitsAndZerosAfterThem) {
    struct Case { double v; int len, dec; const char* text; };
    const Case cases[] = {
        {12345678901234567.0, 20, 0, "   12345678901234570"},
        {1234567890123456.7, 20, 2, " 1234567890123457.00"},
        {1234567890123.456, 20, 3, "   1234567890123.456"},
        {-99999999999999999.0, 20, 0, "-100000000000000000"},
        {1.005, 6, 2, "  1.01"},
    };
    for (const Case& c : cases) {
        const std::string got = format_number(c.v, c.len, c.dec);
        EXPECT_EQ(got.size(), static_cast<std::size_t>(c.len));
        EXPECT_EQ(got.substr(got.find_first_not_of(' ')), std::string(c.text).substr(std::string(c.text).find_first_not_of(' ')))
            << c.v;
    }
}

TEST_F(Safety, ANumberThatDoesNotFitIsAnErrorAndNothingIsStored) {
    Table& t = make();
    t.go_to(2);
    ASSERT_TRUE(t.rlock());
    EXPECT_THROW(t.put("VAL", Value(1000.0)), DataWidthError);
    EXPECT_THROW(t.put("VAL", Value(-100.0)), DataWidthError);
    EXPECT_NO_THROW(t.put("VAL", Value(-99.99)));
    t.unlock();
    EXPECT_DOUBLE_EQ(t.get("VAL").as_number(), -99.99);

    // APPEND FROM a wider field: the record that does not fit stops it
    create_table(dir.file("WIDE.DBF"), {{"CPF", 'C', 11, 0}, {"VAL", 'N', 12, 2}});
    Table& w = ws.use_in(5, dir.file("WIDE"), OpenOptions{"", true, false, true});
    for (double v : {1.25, 123456.0}) {
        ASSERT_TRUE(w.append_blank());
        w.put("VAL", Value(v));
    }
    ws.close(5);
    ws.select(1);
    EXPECT_THROW(append_from(ws, t, dir.file("WIDE")), DataWidthError);
    EXPECT_EQ(t.lastrec(), 4u);   // the one that fitted, nothing of the other
    t.go_to(4);
    EXPECT_DOUBLE_EQ(t.get("VAL").as_number(), 1.25);
}

TEST_F(Safety, AMemoPointerOfFourBytesIsWrittenInItsFourBytes) {
    create_table(dir.file("M4.DBF"), {{"OBS", 'M', 10, 0}, {"NOME", 'C', 10, 0}});
    DbfHeader h = make_header({{"OBS", 'M', 10, 0}, {"NOME", 'C', 10, 0}}, MemoKind::Fpt, 2011, 12, 31);
    h.fields[0].len = 4;
    h.fields[1].offset = 5;
    h.record_len = 15;
    write_file(dir.file("M4.DBF"), serialise_header(h) + "\x1A");
    {
        Table& t = ws.use(dir.file("M4"), OpenOptions{"", true, false, true});
        ASSERT_TRUE(t.append_blank());
        t.put("NOME", Value("intacto"));
        t.put("OBS", Value("texto do memo"));
        ws.close();
    }
    const std::string bytes = read_file(dir.file("M4.DBF"));
    const std::string rec = bytes.substr(h.header_len, 15);
    EXPECT_EQ(rec.substr(1, 4), std::string("\x10\0\0\0", 4));   // block 16, binary
    EXPECT_EQ(rec.substr(5), "intacto   ");
    Table& t = ws.use(dir.file("M4"), {});
    EXPECT_EQ(t.get("OBS").as_string(), "texto do memo");
}

TEST_F(Safety, MemoBlockNumbersPastFourGigablocksAreRefused) {
    make(OpenOptions{"", true, false, true});
    ws.close();
    // a free pointer near the last block number a pointer can name
    std::string fpt = read_file(dir.file("SAFE.fpt"));
    fpt.replace(0, 4, std::string("\xFF\xFF\xFF\xF0", 4));
    write_file(dir.file("SAFE.fpt"), fpt);
    Table& u = ws.use(dir.file("SAFE"), OpenOptions{"", true, false, true});
    u.go_to(1);
    EXPECT_THROW(u.put("OBS", Value(std::string(64 * 20, 'x'))), TableError);
    EXPECT_EQ(u.get("OBS").as_string(), "");
    // a pointer of ten digits past 2^32 is not taken modulo 2^32
    const std::size_t obs = static_cast<std::size_t>(u.header_len()) + 1 + 11 + 6;
    ws.close();
    std::string dbf = read_file(dir.file("SAFE.DBF"));
    dbf.replace(obs, 10, "4294967312");   // 2^32 + 16
    write_file(dir.file("SAFE.DBF"), dbf);
    Table& v = ws.use(dir.file("SAFE"), {});
    v.go_to(1);
    EXPECT_THROW(v.get("OBS"), TableError);
}

TEST_F(Safety, ChangesWithoutALockAndIndexBuildsOfASharedTableAreRefused) {
    Table& t = make();
    t.go_to(2);
    EXPECT_THROW(t.put("CPF", Value("99999999999")), TableError);
    EXPECT_THROW(t.delete_record(), TableError);
    EXPECT_THROW(t.recall(), TableError);
    EXPECT_THROW(t.index_on("CPF", "CPF"), TableError);
    EXPECT_THROW(t.reindex(), TableError);
    ASSERT_TRUE(t.rlock());
    EXPECT_NO_THROW(t.put("CPF", Value("99999999999")));
    EXPECT_NO_THROW(t.delete_record());
    t.unlock();
    ASSERT_TRUE(t.flock());
    t.go_to(1);
    EXPECT_NO_THROW(t.put("CPF", Value("88888888888")));
    t.unlock();
    t.go_to(2);
    EXPECT_EQ(t.get("CPF").as_string(), "99999999999");
    EXPECT_TRUE(t.deleted());
}

TEST_F(Safety, ATableInUseIsNotReplacedWhateverNameReachesIt) {
    Table& t = make();
    const std::string before = read_file(dir.file("SAFE.DBF"));
    std::filesystem::create_hard_link(dir.file("SAFE.DBF"), dir.file("OUTRO.DBF"));
    std::filesystem::create_directory(dir.file("sub"));
    const std::string other_names[] = {dir.file("OUTRO"), dir.file("sub/../SAFE")};
    for (const std::string& name : other_names) {
        EXPECT_THROW(append_from(ws, t, name), TableError) << name;   // it would read its own appends
        EXPECT_THROW(copy_to(ws, t, name), TableBusy) << name;
        EXPECT_THROW(create_table(name, {{"X", 'C', 1, 0}}), TableBusy) << name;
    }
    EXPECT_EQ(read_file(dir.file("SAFE.DBF")), before);
    EXPECT_EQ(t.lastrec(), 3u);
    // the memo file of an open table is not replaced either
    std::filesystem::copy_file(dir.file("SAFE.DBF"), dir.file("NOVA.DBF"));
    std::filesystem::create_hard_link(dir.file("SAFE.fpt"), dir.file("NOVA.fpt"));
    EXPECT_THROW(create_table(dir.file("NOVA"), {{"M", 'M', 10, 0}}), TableBusy);
    EXPECT_EQ(read_file(dir.file("NOVA.DBF")), before);   // untouched: nothing was cut

    // held by another process: the share signal says so
    ws.close_all();
    int ready[2], done[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(done), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        Workspace w;
        w.use(dir.file("SAFE"), {});
        char c = 'x';
        if (::write(ready[1], &c, 1) != 1 || ::read(done[0], &c, 1) != 1) ::_exit(1);
        ::_exit(0);
    }
    char c;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    EXPECT_EQ(lock_on(dir.file("SAFE.DBF"), kShareSignalByte), F_RDLCK);
    EXPECT_EQ(lock_on(dir.file("SAFE.fpt"), kShareSignalByte), F_RDLCK);
    EXPECT_THROW(create_table(dir.file("SAFE"), {{"X", 'C', 1, 0}}), TableBusy);
    ASSERT_EQ(::write(done[1], &c, 1), 1);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_EQ(read_file(dir.file("SAFE.DBF")), before);
    EXPECT_NO_THROW(create_table(dir.file("SAFE"), {{"X", 'C', 1, 0}}));
}

TEST_F(Safety, TheShareSignalIsAReadLockSharedAndAWriteLockExclusive) {
    make(OpenOptions{"", true, false, true}).index_on("CPF", "CPF");
    ws.close();
    ws.use(dir.file("SAFE"), OpenOptions{"", true, false, true});
    const std::string files[] = {dir.file("SAFE.DBF"), dir.file("SAFE.fpt"), dir.file("SAFE.cdx")};
    for (const std::string& f : files) EXPECT_EQ(lock_on(f, kShareSignalByte), F_WRLCK) << f;
    ws.close();
    ws.use(dir.file("SAFE"), {});
    for (const std::string& f : files) EXPECT_EQ(lock_on(f, kShareSignalByte), F_RDLCK) << f;
    ws.close();
    for (const std::string& f : files) EXPECT_EQ(lock_on(f, kShareSignalByte), F_UNLCK) << f;
}

// Another program holds the byte; a writer of ours must wait on that very
// byte: memo writes on the first byte of the memo file, appends to a table
// without index on the base of the record locks.
TEST_F(Safety, MemoWritesAndPlainAppendsWaitOnTheBytesTheOtherToolsTake) {
    make();
    ws.close_all();
    struct Case { std::string file; long long byte; bool memo; };
    const Case cases[] = {{dir.file("SAFE.fpt"), 0, true}, {dir.file("SAFE.DBF"), 0x40000000, false}};
    for (const Case& c : cases) {
        FileHandle holder(::open(c.file.c_str(), O_RDWR));
        ASSERT_TRUE(lock_range(holder.get(), c.byte, 1, true, false));
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            holder.reset();   // the lock stays with the parent's descriptor alone
            Workspace w;
            set_field_resolver(&w);
            Table& t = w.use(dir.file("SAFE"), {});
            t.go_to(1);
            const bool ok = c.memo ? t.rlock() : t.append_blank();
            if (c.memo) t.put("OBS", Value("escrito"));
            t.unlock();
            ::_exit(ok ? 0 : 1);
        }
        std::optional<long long> waiting;
        for (int i = 0; i < 2000 && !waiting; ++i) {
            waiting = blocked_request_on(c.file);
            if (!waiting) ::usleep(5000);
        }
        holder.reset();   // let it go on
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        ASSERT_TRUE(waiting.has_value()) << c.file;
        EXPECT_EQ(*waiting, c.byte) << c.file;
    }
}

// A child appends under a file-size limit (as on a full disk) until a write
// fails, telling after each commit how many records are complete. The limit
// falls on every byte of the appends in turn.
// With 60 records the table is the larger file and its writes fail first;
// with 3 the memo file is.
TEST_F(Safety, AnAppendCutShortByAFullDiskLeavesNoHalfRecord) {
    for (const std::uint32_t kStart : {60u, 3u}) {
        make(OpenOptions{"", true, false, true}, static_cast<int>(kStart));
        ws.close_all();
        const std::string table = read_file(dir.file("SAFE.DBF")), memo = read_file(dir.file("SAFE.fpt"));
        const long reclen = 1 + 11 + 6 + 10;
        const auto base = static_cast<long>(kStart > 3 ? table.size() : memo.size());
        const long step = kStart > 3 ? reclen : 64;   // a record, a memo block
        for (long limit = base + step; limit <= base + 2 * step + 2; ++limit) {
            write_file(dir.file("SAFE.DBF"), table);
            write_file(dir.file("SAFE.fpt"), memo);
            int pipefd[2];
            ASSERT_EQ(::pipe(pipefd), 0);
            const pid_t pid = ::fork();
            ASSERT_GE(pid, 0);
            if (pid == 0) {
                ::close(pipefd[0]);
                ::signal(SIGXFSZ, SIG_IGN);
                const rlimit rl{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
                ::setrlimit(RLIMIT_FSIZE, &rl);
                try {
                    Workspace w;
                    set_field_resolver(&w);
                    Table& t = w.use(dir.file("SAFE"), {});
                    for (unsigned char n = 1;; ++n) {
                        if (!t.append_blank()) ::_exit(2);
                        t.put("CPF", Value(std::string(11, static_cast<char>('A' + n % 26))));
                        t.put("OBS", Value(std::string(n, 'm')));
                        t.commit();
                        if (::write(pipefd[1], &n, 1) != 1) ::_exit(3);
                    }
                } catch (const TableError&) {
                }
                ::_exit(0);
            }
            ::close(pipefd[1]);
            unsigned char n = 0, got;
            while (::read(pipefd[0], &got, 1) == 1) n = got;
            ::close(pipefd[0]);
            int status = 0;
            ::waitpid(pid, &status, 0);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << limit;
            Table& t = ws.use(dir.file("SAFE"), OpenOptions{"", true, false, true});
            const std::uint32_t count = t.lastrec();
            EXPECT_TRUE(count == kStart + n || count == kStart + n + 1) << limit;
            EXPECT_EQ(std::filesystem::file_size(dir.file("SAFE.DBF")),
                      static_cast<std::uintmax_t>(t.header_len() + count * t.record_len() + 1))
                << limit;
            for (std::uint32_t r = kStart + 1; r <= count; ++r) {
                t.go_to(r);
                const std::string want(r - kStart, 'm'), got = t.get("OBS").as_string();
                if (r <= kStart + n) EXPECT_EQ(got, want) << limit;
                else EXPECT_TRUE(got.empty() || got == want) << limit;   // the one in flight
            }
            ws.close_all();
        }
    }
}

}  // namespace
}  // namespace qv::rt::table::test
