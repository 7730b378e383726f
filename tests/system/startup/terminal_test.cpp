// The terminal number, the program folder and the network test.
#include <gtest/gtest.h>

#include "common/globals.hpp"
#include "common/startup.hpp"
#include "system/startup/startup_fixture.hpp"

namespace qv::common {
namespace {

using StartupTerminal = startup_testing::StartupTest;

TEST(StartupTerminalRules, TwoDigitsFromTheArgument) {
    EXPECT_EQ(terminal_digits("7"), "07");
    EXPECT_EQ(terminal_digits("12"), "12");
    EXPECT_EQ(terminal_digits(" 3 "), "03");
    EXPECT_EQ(terminal_digits("07"), "07");
    EXPECT_EQ(terminal_digits(""), "00");
    EXPECT_EQ(terminal_digits("ab"), "00");
    EXPECT_EQ(terminal_digits("150"), "00");
    EXPECT_EQ(terminal_digits("-4"), "00");
}

TEST(StartupTerminalRules, EnvironmentWinsOverTheArgument) {
    EXPECT_EQ(terminal_source("3", "12"), std::optional<std::string>("12"));
    EXPECT_EQ(terminal_source("3", "  "), std::optional<std::string>("3"));
    EXPECT_EQ(terminal_source("3", std::nullopt), std::optional<std::string>("3"));
    EXPECT_EQ(terminal_source(std::nullopt, std::nullopt), std::nullopt);
}

TEST(StartupTerminalRules, NetworkFileSystemsByType) {
    EXPECT_TRUE(is_network_file_system(0x6969));                           // NFS
    EXPECT_TRUE(is_network_file_system(0x517B));                           // SMB
    EXPECT_TRUE(is_network_file_system(static_cast<long>(0xFF534D42)));    // CIFS
    EXPECT_TRUE(is_network_file_system(static_cast<long>(0xFE534D42)));    // SMB2
    EXPECT_TRUE(is_network_file_system(static_cast<int>(0xFF534D42)));     // as a signed 32-bit f_type
    EXPECT_FALSE(is_network_file_system(0xEF53));                          // ext2/3/4
    EXPECT_FALSE(is_network_file_system(0x01021994));                      // tmpfs
    EXPECT_FALSE(is_network_file_system(0x58465342));                      // XFS
}

TEST_F(StartupTerminal, ArgumentSevenGivesTerminal07) {
    EXPECT_EQ(INICIOSIS("7"), "07");
    EXPECT_EQ(Global{"NUSU"}.text(), "07");
}

TEST_F(StartupTerminal, EnvironmentTerminalWinsOverArgument) {
    ::setenv("TERMINAL", "12", 1);
    EXPECT_EQ(INICIOSIS("3"), "12");
}

TEST_F(StartupTerminal, LocalDiskWithoutArgumentIs00AndAsksNothing) {
    EXPECT_EQ(INICIOSIS(std::nullopt), "00");
    EXPECT_TRUE(term->snapshots.empty()) << "nothing may wait for a key";
    EXPECT_EQ(QUAL_USUR(), "00");
}

TEST_F(StartupTerminal, ProgramFolderFromDqv2012) {
    INICIOSIS("1");
    const std::string without = prog.substr(0, prog.size() - 1);
    EXPECT_EQ(Global{"DIRDEF"}.text(), prog);
    EXPECT_EQ(Global{"ROTADEF"}.text(), without);
    EXPECT_EQ(Global{"ARQDEF"}.text(), prog);
    EXPECT_TRUE(exists(prog + "CORES.dbf")) << "the terminal's colours live in the program folder";
}

TEST_F(StartupTerminal, MissingProgramFolderFallsBackToTheCurrentOne) {
    ::setenv("DQV2012", (root + "/nowhere/").c_str(), 1);
    std::filesystem::current_path(home);
    INICIOSIS("1");
    EXPECT_EQ(Global{"ROTADEF"}.text(), std::filesystem::current_path().string());
    EXPECT_EQ(Global{"ARQDEF"}.text(), std::filesystem::current_path().string() + "/");
    EXPECT_NE(status_line().find("não encontrado. Assumindo o padrão!"), std::string::npos) << status_line();
}

TEST_F(StartupTerminal, NoDqv2012MeansTheCurrentFolder) {
    ::unsetenv("DQV2012");
    std::filesystem::current_path(prog);
    INICIOSIS("1");
    EXPECT_EQ(Global{"DIRDEF"}.text(), "");
    EXPECT_EQ(Global{"ARQDEF"}.text(), std::filesystem::current_path().string() + "/");
}

TEST_F(StartupTerminal, WindowTablesAndWindowsAreReady) {
    INICIOSIS("1");
    for (const char* name : {"ALJ", "ACJ", "ALJA", "ACJA"}) {
        const rt::Value v = Global{name}.value();
        ASSERT_TRUE(v.is_array()) << name;
        EXPECT_EQ(v.len(), 23u) << name;
        EXPECT_EQ(v.at(23).as_number(), 0) << name;
    }
    for (int id = 1; id <= 10; ++id) {
        const TextWindow* w = find_window(id);
        ASSERT_NE(w, nullptr) << id;
        EXPECT_EQ(w->bottom, 25);
        EXPECT_EQ(w->right, 80);
    }
}

}  // namespace
}  // namespace qv::common

namespace qv::common {
namespace {

class StartupTerminalPrompt : public startup_testing::StartupTest {
protected:
    void SetUp() override {
        StartupTest::SetUp();
        set_network_probe([](std::string_view) { return true; });
        ::setenv("USUAR", "ANA", 1);
    }
    void TearDown() override {
        set_network_probe({});
        ::unsetenv("USUAR");
        ::unsetenv("EQUIP");
        StartupTest::TearDown();
    }
};

TEST_F(StartupTerminalPrompt, NetworkFolderAsksForTheNumber) {
    keys({'1', '2', rt::key::ENTER});
    EXPECT_EQ(INICIOSIS(std::nullopt), "12");
    EXPECT_TRUE(term->showed("ANA Forneça o número do terminal.")) << term->dump();
}

TEST_F(StartupTerminalPrompt, ProposalFromEquipIsConfirmed) {
    ::setenv("EQUIP", "5", 1);
    keys({rt::key::ENTER});
    EXPECT_EQ(QUAL_USUR(), "05");
    EXPECT_TRUE(term->showed("ANA Confirme o número do terminal."));
    EXPECT_EQ(Global{"COR_TEL1"}.number(), 30);
    EXPECT_FALSE(rt::variables().exists("NUSU")) << "the answer lives only in the prompt";
}

TEST_F(StartupTerminalPrompt, EscGivesTerminal00) {
    ::setenv("EQUIP", "5", 1);
    keys({rt::key::ESC});
    EXPECT_EQ(QUAL_USUR(), "00");
}

TEST_F(StartupTerminalPrompt, ArgumentMeansNoQuestion) {
    EXPECT_EQ(INICIOSIS("4"), "04");
    EXPECT_FALSE(term->showed("o número do terminal"));
}

}  // namespace
}  // namespace qv::common
