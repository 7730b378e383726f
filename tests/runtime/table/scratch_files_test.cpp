// What rewrites killed half way leave beside a table goes at the next
// opening that holds the table alone; a rewrite that runs out of room
// leaves nothing; names in the program's characters reach accented folders.
#include <signal.h>
#include <sys/resource.h>

#include "runtime/core/cp850.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/replace_records.hpp"
#include "runtime/table/table.hpp"
#include "runtime/table/table_error.hpp"
#include "table_test_util.hpp"

namespace qv::rt::table::test {
namespace {

namespace fs = std::filesystem;

class ScratchFiles : public WorkspaceTest {
protected:
    void SetUp() override {
        WorkspaceTest::SetUp();
        create_table(dir.file("IMP0212.dbf"), {{"CPF", 'C', 11, 0}, {"I1_4", 'N', 12, 2}});
        Table& t = ws.use(dir.file("IMP0212"), exclusive());
        for (const char* cpf : {"111", "222"}) {
            ASSERT_TRUE(t.append_blank());
            t.put("CPF", Value(cpf));
        }
        t.index_on("CPF", "IMP0212");
        ws.close();
    }
    long rows_of(const std::string& cpf) {
        Table& t = ws.use(dir.file("IMP0212"), exclusive());
        long n = 0;
        for (t.go_top(); !t.eof(); t.skip(1)) n += t.get("CPF").as_string().rfind(cpf, 0) == 0;
        ws.close();
        return n;
    }
    // A copy of the taxpayer's rows to put in place of "111"'s.
    std::string work_copy() {
        const std::string file = dir.file("work.dbf");
        create_table(file, {{"CPF", 'C', 11, 0}, {"I1_4", 'N', 12, 2}});
        Table& w = ws.use_in(5, file, exclusive());
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(w.append_blank());
            w.put("CPF", Value("111"));
        }
        ws.close(5);
        return file;
    }
};

bool is_111(std::string_view rec) { return rec.substr(1, 11) == "111        "; }

TEST_F(ScratchFiles, LeftoversOfDeadWritersGoWhenTheTableIsNextHeldAlone) {
    struct Case {
        const char* name;
        bool leftover;
    };
    const Case cases[] = {
        {"IMP0212_4242.rw~", true},  {"IMP0212_4242.cdx", true}, {"imp0212_77.RW~", true},
        {"IMP0212.4242.pk~", true},  {"IMP0212.4242.pm~", true}, {"IMP0212.4242.c0~", true},
        {"IMP0212.4242.cx~", true},  {"IMP0212.4242.cr~", true}, {"IMP0212.rp~~", true},
        {"IMP0212_2011.dbf", false}, {"IMP0212_2011.cdx", false},   // a table of that name
        {"IMP0312_4242.rw~", false},                                // another table's
        {"IMP0212_x.rw~", false},    {"IMP0212.cdx", false},        // not a writer's
    };
    for (const Case& c : cases) write_file(dir.file(c.name), "x");
    {
        Table& shared = ws.use(dir.file("IMP0212"), {});
        EXPECT_EQ(shared.lastrec(), 2u);
        ws.close();
    }
    for (const Case& c : cases) EXPECT_TRUE(fs::exists(dir.file(c.name))) << c.name << " went under a shared opening";
    ws.use(dir.file("IMP0212"), exclusive());
    ws.close();
    for (const Case& c : cases) EXPECT_EQ(fs::exists(dir.file(c.name)), !c.leftover) << c.name;
}

TEST_F(ScratchFiles, ARewriteOfAProcessThatDiedIsRemovedAndTheTableKept) {
    const std::string from = work_copy();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        try {
            Workspace w;
            w.use_in(2, dir.file("IMP0212"), exclusive());
            PreparedReplace p = prepare_replace(w, 2, is_111, from);
            ::kill(::getpid(), SIGKILL);   // dies before putting it in place
        } catch (...) {
        }
        ::_exit(3);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    const std::string rewrite = dir.file("IMP0212_" + std::to_string(child) + ".rw~");
    ASSERT_TRUE(fs::exists(rewrite));
    EXPECT_TRUE(fs::exists(dir.file("IMP0212_" + std::to_string(child) + ".cdx")));
    EXPECT_EQ(rows_of("111"), 1) << "the table as it was";
    EXPECT_FALSE(fs::exists(rewrite));
    EXPECT_FALSE(fs::exists(dir.file("IMP0212_" + std::to_string(child) + ".cdx")));
}

// Out of room anywhere in a rewrite (the table aside, its index, the first
// page of a new index file): a TableError, as any other failure a caller
// handles, and nothing left beside the table.
TEST_F(ScratchFiles, ARewriteOutOfRoomFailsAsATableErrorAndLeavesNothing) {
    create_table(dir.file("WIDE.dbf"), {{"CPF", 'C', 11, 0}, {"NOME", 'C', 200, 0}});
    {
        Table& t = ws.use(dir.file("WIDE"), exclusive());
        unsigned seed = 7;
        for (int i = 0; i < 150; ++i) {
            ASSERT_TRUE(t.append_blank());
            t.put("CPF", Value(std::to_string(100000 + i)));
            std::string name;   // keys that share little: the index is larger than the table
            for (int c = 0; c < 200; ++c) name += static_cast<char>('a' + ((seed = seed * 1103515245u + 12345u) >> 16) % 26);
            t.put("NOME", Value(name));
        }
        t.index_on("NOME", "NOME");
        t.index_on("CPF+NOME", "CPFNOME");
        ws.close();
    }
    const auto size = fs::file_size(dir.file("WIDE.dbf"));
    ASSERT_GT(fs::file_size(dir.file("WIDE.cdx")), size);
    for (std::uintmax_t limit = size - 3000; limit < 3 * size; limit += 1500) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit rl{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
            ::setrlimit(RLIMIT_FSIZE, &rl);
            try {
                Workspace w;
                w.use_in(2, dir.file("WIDE"), exclusive());
                prepare_replace(w, 2, [](std::string_view) { return false; }, dir.file("WIDE")).install();
            } catch (const TableError&) {
            } catch (...) {
                ::_exit(1);
            }
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "limit " << limit;
        for (const auto& e : fs::directory_iterator(dir.path()))
            EXPECT_EQ(e.path().filename().string().find("WIDE_"), std::string::npos) << e.path() << " at " << limit;
    }
}

TEST(EngineNames, NamesInTheProgramsCharactersReachAccentedFolders) {
    TempDir d;
    const std::string utf8 = d.file("ação");
    fs::create_directory(utf8);
    const std::string cp850 = utf8_to_cp850(utf8);
    ASSERT_NE(cp850, utf8);
    EXPECT_EQ(resolve_path(cp850 + "/Novo.dbf"), utf8 + "/Novo.dbf");
    create_table(cp850 + "/IMP0112", {{"CPF", 'C', 11, 0}});
    EXPECT_TRUE(fs::exists(utf8 + "/IMP0112.dbf"));
    // a name the engine gave back may come back to it as it is
    EXPECT_EQ(resolve_path(utf8 + "/imp0112.DBF"), utf8 + "/IMP0112.dbf");
    EXPECT_EQ(resolve_path(cp850 + "/imp0112.DBF"), utf8 + "/IMP0112.dbf");
    EXPECT_TRUE(file_exists(cp850 + "/IMP0112.DBF"));
    EXPECT_EQ(find_in_folder(d.path(), utf8_to_cp850("AçãO")), utf8_to_cp850("ação"));
    Workspace w;
    Table& t = w.use(cp850 + "/IMP0112", exclusive());
    ASSERT_TRUE(t.append_blank());
    t.put("CPF", Value("111"));
    t.index_on("CPF", "IMP0112");
    w.close_all();
    EXPECT_TRUE(fs::exists(utf8 + "/IMP0112.cdx"));
}

}  // namespace
}  // namespace qv::rt::table::test
