// Start-up on folders that are damaged, oddly named or in use: each fault
// named as it is, nothing changed, and the one-copy-per-terminal mark.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "common/startup.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "runtime/table/workspace.hpp"
#include "shell/main_program.hpp"
#include "system/startup/startup_fixture.hpp"
#include "tables/terminal_mark.hpp"

namespace qv::shell {
namespace {

namespace fs = std::filesystem;

class StartupFaults : public startup_testing::StartupTest {
protected:
    void SetUp() override {
        StartupTest::SetUp();
        ::setenv("TERMINAL", "01", 1);
    }
    // A whole run to the menu and out through "Sair".
    int run_and_leave() {
        keys({rt::key::LEFT, rt::key::ENTER, rt::key::ENTER});
        return MAIN(std::nullopt);
    }
    static std::vector<std::string> files_of(const std::string& folder) {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

// Another terminal holding a table of the program folder alone for a while,
// as one started at the same moment does while it makes the table or its
// indexes; its hold goes when its process ends.
class HeldAlone {
public:
    HeldAlone(const std::string& table, int milliseconds) {
        int ready[2];
        if (::pipe(ready) != 0) throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            try {
                rt::table::Workspace w;
                rt::table::OpenOptions alone;
                alone.exclusive = true;
                w.use_in(1, table, alone);
                if (::write(ready[1], "L", 1) != 1) ::_exit(2);
                ::usleep(static_cast<useconds_t>(milliseconds) * 1000);
            } catch (...) {
                ::_exit(3);
            }
            ::_exit(0);
        }
        ::close(ready[1]);
        char c = 0;
        const bool held = ::read(ready[0], &c, 1) == 1;
        ::close(ready[0]);
        if (!held) throw std::runtime_error("the other terminal could not hold " + table);
    }
    ~HeldAlone() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    HeldAlone(const HeldAlone&) = delete;
    HeldAlone& operator=(const HeldAlone&) = delete;

private:
    pid_t pid_ = -1;
};

TEST_F(StartupFaults, TablesHeldAMomentByAnotherTerminalStartingAreWaitedFor) {
    ASSERT_EQ(run_and_leave(), 0) << term->dump();
    // the settings, a table of the opening pass, the agenda
    for (const char* table : {"CONFIG", "CODBENS", "AGENDA"}) {
        SCOPED_TRACE(table);
        term->snapshots.clear();
        HeldAlone other(prog + table, 400);
        EXPECT_EQ(run_and_leave(), 0) << term->all_snapshots();
        EXPECT_FALSE(term->showed("sendo usado")) << term->all_snapshots();
        EXPECT_FALSE(term->showed("está em uso")) << term->all_snapshots();
    }
}

TEST_F(StartupFaults, ATableHeldLongByAnotherTerminalIsNamedNotTakenForASecondCopy) {
    ASSERT_EQ(run_and_leave(), 0) << term->dump();
    term->snapshots.clear();
    HeldAlone other(prog + "CODBENS", 7000);
    keys({rt::key::ENTER});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(MAIN(std::nullopt), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(7)) << "no wait for ever";
    EXPECT_TRUE(term->showed("CODBENS")) << term->all_snapshots();
    EXPECT_FALSE(term->showed("está em uso")) << term->all_snapshots();
}

TEST_F(StartupFaults, DamagedFolderListIsNamedNotTakenForASecondCopy) {
    ASSERT_EQ(run_and_leave(), 0) << term->dump();
    std::ofstream(prog + "DIRET01.dbf", std::ios::binary | std::ios::trunc) << std::string(40, '\x03');
    term->snapshots.clear();
    EXPECT_EQ(MAIN(std::nullopt), 1);
    EXPECT_TRUE(term->showed("DIRET01.dbf danificado")) << term->all_snapshots();
    EXPECT_FALSE(term->showed("está em uso"));
}

TEST_F(StartupFaults, DamagedRegisterIndexIsRebuiltAndStartUpGoesOn) {
    ASSERT_EQ(run_and_leave(), 0) << term->dump();
    std::ofstream(prog + "IMP0912B.cdx", std::ios::binary | std::ios::trunc) << std::string(700, '\x55');
    EXPECT_EQ(run_and_leave(), 0) << term->dump();
    rt::table::Workspace check;
    rt::table::Table& reg = check.use_in(1, prog + "IMP0912");
    reg.add_bag(prog + "IMP0912B.cdx");
    EXPECT_EQ(reg.order_key(2), "UPPER(NOMECONTR)");
}

TEST_F(StartupFaults, DamagedSettingsIndexIsRebuiltAndTheRecordKept) {
    ASSERT_EQ(run_and_leave(), 0) << term->dump();
    std::ofstream(prog + "CONFIG.cdx", std::ios::binary | std::ios::trunc) << std::string(512, '\x01');
    term->snapshots.clear();
    EXPECT_EQ(run_and_leave(), 0) << term->dump();
    EXPECT_FALSE(term->showed("sendo usado"));
    rt::table::Workspace check;
    rt::table::Table& config = check.use_in(1, prog + "CONFIG");
    EXPECT_EQ(config.lastrec(), 1u) << "the terminal's record was found, not added again";
}

TEST_F(StartupFaults, ProgramFolderLongerThanItsRecordsIsRefused) {
    std::string deep = root + "/";
    while (deep.size() <= 80) deep += "pasta-muito-comprida/";
    fs::create_directories(deep);
    ::setenv("DQV2012", deep.c_str(), 1);
    keys({rt::key::ENTER});
    EXPECT_EQ(MAIN(std::nullopt), 1);
    EXPECT_TRUE(term->showed("limite de 80 caracteres")) << term->all_snapshots();
    EXPECT_TRUE(files_of(deep).empty()) << "nothing is written there";
}

TEST_F(StartupFaults, ProgramFolderWithAccentsRunsToTheMenu) {
    const std::string folder = root + "/declarações/";
    fs::create_directories(folder);
    ::setenv("DQV2012", folder.c_str(), 1);
    EXPECT_EQ(run_and_leave(), 0) << term->dump();
    for (const char* file : {"CONFIG.dbf", "DIRET01.dbf", "IMP0912.dbf", "CORES.dbf"})
        EXPECT_TRUE(exists(folder + file)) << file;
    rt::table::Workspace check;
    rt::table::Table& list = check.use_in(1, folder + "DIRET01");
    list.go_top();
    ASSERT_FALSE(list.eof());
    EXPECT_EQ(rt::cp850_to_utf8(rt::TRIM(list.get("DIRETOR").as_string())), folder.substr(0, folder.size() - 1));
    list.skip(1);
    EXPECT_TRUE(list.eof()) << "one folder, listed once";
}

TEST_F(StartupFaults, FolderNameOutsideTheProgramsCharactersIsRefused) {
    const std::string folder = root + "/\xE6\x97\xA5\xE6\x9C\xAC";   // two CJK characters
    fs::create_directories(folder);
    ::setenv("DQV2012", folder.c_str(), 1);
    keys({rt::key::ENTER});
    EXPECT_EQ(MAIN(std::nullopt), 1) << "not traded for the current folder";
    EXPECT_FALSE(term->showed("Assumindo o padrão"));
    EXPECT_TRUE(term->showed("tem caracteres") && term->showed("que o programa não aceita")) << term->all_snapshots();
    EXPECT_TRUE(files_of(folder).empty());
}

TEST_F(StartupFaults, SecondCopyIsRefusedWhileTheTerminalIsMarked) {
    ASSERT_EQ(run_and_leave(), 0) << term->dump();
    tables::TerminalMark first;   // a copy running, its folder list handed over
    ASSERT_TRUE(first.take(prog, "01"));
    term->snapshots.clear();
    keys({rt::key::ENTER});
    EXPECT_EQ(MAIN(std::nullopt), 1);
    EXPECT_TRUE(term->showed("O programa QV2012 no terminal 01 está em uso")) << term->all_snapshots();
    first.release();
    EXPECT_EQ(run_and_leave(), 0) << term->dump();
}

}  // namespace
}  // namespace qv::shell
