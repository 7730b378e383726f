// One taxpayer, one terminal: the mark another terminal holds is seen with
// its number and goes with that terminal's program, however it ends.
#include "runtime/core/cp850.hpp"
#include "system/taxpayer_holder.hpp"
#include "tables/taxpayer_mark.hpp"
#include "tables_fixture.hpp"

namespace qv::tables::testing {
namespace {

using qv::test_support::TaxpayerHolder;

constexpr const char* kA = "11111111111";
constexpr const char* kB = "22222222222";

TEST_F(TablesTest, ATaxpayerAnotherTerminalHasIsRefusedWithItsNumberUntilItsProgramIsKilled) {
    TaxpayerHolder other(client, kA, "05");
    const MarkClaim refused = take_taxpayer_mark(client, kA);
    EXPECT_EQ(refused.outcome, MarkOutcome::HeldElsewhere);
    EXPECT_EQ(refused.terminal, "05");
    EXPECT_EQ(taxpayer_mark_holder(client, kA), "05");
    EXPECT_EQ(rt::cp850_to_utf8(taxpayer_in_use_text(kA, refused.terminal)),
              "Contribuinte 111.111.111-11 em uso no terminal 05.");
    // another taxpayer of the folder is free, and another folder's same CPF
    EXPECT_TRUE(take_taxpayer_mark(client, kB));
    EXPECT_TRUE(take_taxpayer_mark(prog, kA));
    other.kill();
    EXPECT_EQ(taxpayer_mark_holder(client, kA), "");
    EXPECT_TRUE(take_taxpayer_mark(client, kA));
    release_taxpayer_mark(client, kA);
    release_taxpayer_mark(client, kB);
    release_taxpayer_mark(prog, kA);
}

TEST_F(TablesTest, AMarkTakenTwiceGoesWhenReleasedTwiceAndANameOfTheFolderIsTheFolder) {
    ASSERT_TRUE(take_taxpayer_mark(client, kA));
    std::filesystem::create_directory_symlink(client, root + "/alias");
    ASSERT_TRUE(take_taxpayer_mark(root + "/alias/", kA)) << "the same folder by another name";
    release_taxpayer_mark(client, kA);
    pid_t child = ::fork();
    if (child == 0) {
        rt::variables().set("NUSU", rt::Value("07"));
        ::_exit(take_taxpayer_mark(client, kA).terminal == "01" ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "still held once";
    release_taxpayer_mark(client, kA);
    TaxpayerHolder other(client, kA, "07");
    EXPECT_EQ(taxpayer_mark_holder(client, kA), "07");
}

// A whole folder is refused while another terminal has one of its
// taxpayers, naming it; once had, no other terminal takes a taxpayer of it
// (this program's own marks come and go without letting the folder go).
TEST_F(TablesTest, AWholeFolderIsRefusedWhileATaxpayerOfItIsOpenElsewhereAndThenKeepsTheOthersOut) {
    {
        TaxpayerHolder other(client, kB, "05");
        const FolderMark refused(client);
        EXPECT_EQ(refused.claim().outcome, MarkOutcome::HeldElsewhere);
        EXPECT_EQ(rt::cp850_to_utf8(refusal_text(refused.claim())), "Contribuinte 222.222.222-22 em uso no terminal 05.");
        EXPECT_TRUE(FolderMark(prog)) << "another folder is free";
    }
    const FolderMark whole(client);
    ASSERT_TRUE(whole);
    ASSERT_TRUE(take_taxpayer_mark(client, kA));
    release_taxpayer_mark(client, kA);
    pid_t child = ::fork();
    if (child == 0) {
        rt::variables().set("NUSU", rt::Value("07"));
        ::_exit(take_taxpayer_mark(client, kB).outcome == MarkOutcome::Unavailable ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the other terminal took a taxpayer of the folder";
}

}  // namespace
}  // namespace qv::tables::testing
