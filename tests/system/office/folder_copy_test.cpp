// Copying and moving taxpayers with all their rows between client folders.
#include "office/folder_copy.hpp"
#include "office_fixture.hpp"
#include "system/taxpayer_holder.hpp"

namespace qv::office::testing {
namespace {

constexpr const char* kA = "11111111111";
constexpr const char* kB = "22222222222";

class FolderCopyTest : public OfficeTest {
protected:
    void SetUp() override {
        OfficeTest::SetUp();
        make_tables(client);
        make_tables(other);
        add_taxpayer(client, kA, "ANA");
        add_taxpayer(client, kB, "BRUNO");
        for (int code : {1, 4, 4, 15}) add_row(client, code, {{"CPF", rt::Value(kA)}});
        add_row(client, 2, {{"CPF", rt::Value(kB)}, {"I1_2", rt::Value("NEW")}});
        add_taxpayer(other, kB, "BRUNO");
        add_row(other, 2, {{"CPF", rt::Value(kB)}, {"I1_2", rt::Value("OLD")}});
        rt::variables().set("ROTABACK", rt::Value(other));
    }
    // The folder pair as proposed, total, copy or move, everything,
    // overwrite or not, and staying in the current folder.
    void run_copy(char copy_or_move, char overwrite) {
        keys({rt::key::ENTER, rt::key::ENTER, 'T', copy_or_move, 'T', overwrite, 'N'});
        ASSERT_TRUE(TRANOME(1)) << term->all_snapshots();
    }
};

struct CopyCase {
    char key;
    long left_in_origin;
};

class CopyOrMove : public FolderCopyTest, public ::testing::WithParamInterface<CopyCase> {};

TEST_P(CopyOrMove, KeepsEveryRowExactlyOnce) {
    {
        const CopyCase c = GetParam();
        run_copy(c.key, 'S');
        EXPECT_EQ(count(other, 9, kA), 1);
        EXPECT_EQ(count(other, 9, kB), 1);
        EXPECT_EQ(count(other, 1, kA), 1);
        EXPECT_EQ(count(other, 4, kA), 2);
        EXPECT_EQ(count(other, 15, kA), 1);
        EXPECT_EQ(count(other, 2, kB), 1);
        EXPECT_EQ(count(other, 2, "NEW", "I1_2"), 1);
        EXPECT_EQ(count(client, 4, kA), 2 * c.left_in_origin);
        EXPECT_EQ(count(client, 9, kA), c.left_in_origin);
        EXPECT_EQ(count(client, 2, kB), c.left_in_origin);
    }
}

INSTANTIATE_TEST_SUITE_P(Office, CopyOrMove, ::testing::Values(CopyCase{'C', 1}, CopyCase{'M', 0}));

TEST_F(FolderCopyTest, ATaxpayerAlreadyThereIsSkippedWhenNotOverwriting) {
    run_copy('C', 'N');
    EXPECT_EQ(count(other, 2, "OLD", "I1_2"), 1);
    EXPECT_EQ(count(other, 2, "NEW", "I1_2"), 0);
    EXPECT_EQ(count(other, 4, kA), 2);
    ASSERT_TRUE(open_folder_table(client, 9, 9, false));
    tb::Table& reg = tables::ws().current(9);
    ASSERT_TRUE(reg.seek(rt::Value(kB)));
    EXPECT_EQ(reg.get("IMPRE").as_string(), "N");
}

TEST_F(FolderCopyTest, ADeclarationProtectedAgainstChangeIsNotCopiedOver) {
    rt::variables().set("STATRAVA", rt::Value(9));
    ASSERT_TRUE(open_folder_table(other, 9, 9, false));
    tables::ws().select(9);
    ASSERT_TRUE(tables::ws().current(9).seek(rt::Value(kB)) && tables::REC_LOCK(1));
    tables::ws().current(9).put("ESTATUS", rt::Value(9));
    tables::ws().current(9).unlock();
    tables::ws().close(9);
    run_copy('C', 'S');
    EXPECT_TRUE(screen_showed("Esse contribuinte não foi transferido.")) << term->all_snapshots();
    EXPECT_EQ(count(other, 2, "OLD", "I1_2"), 1);
    EXPECT_EQ(count(other, 2, "NEW", "I1_2"), 0);
    EXPECT_EQ(count(other, 4, kA), 2) << "the others are copied";
}

// A folder just made (in the folder list, say) holds no table yet: the
// copy makes the ones it needs there.
TEST_F(FolderCopyTest, AFolderWithoutTablesYetReceivesTheCopy) {
    const std::string fresh = root + "/nova/";
    std::filesystem::create_directories(fresh);
    rt::variables().set("ROTABACK", rt::Value(fresh));
    run_copy('C', 'S');
    EXPECT_FALSE(term->showed("sendo usado")) << term->all_snapshots();
    EXPECT_EQ(count(fresh, 9, kA), 1);
    EXPECT_EQ(count(fresh, 4, kA), 2);
    EXPECT_EQ(count(fresh, 2, kB), 1);
}

TEST_F(FolderCopyTest, TheDestinationMayBecomeTheCurrentFolder) {
    keys({rt::key::ENTER, rt::key::ENTER, 'T', 'C', 'T', 'S', 'S'});
    ASSERT_TRUE(TRANOME(1));
    EXPECT_EQ(tables::client_folder(), other);
    ASSERT_TRUE(tables::ABERTURA(50));
    tb::Table& list = tables::ws().current(50);
    ASSERT_TRUE(list.seek(rt::Value(rt::UPPER(tables::without_separator(other)))));
    EXPECT_EQ(list.get("SELEC").as_string(), "S");
}

TEST_F(FolderCopyTest, AMoveStopsBeforeDeletingWhenTheDestinationIsHeld) {
    OtherTerminal holder(path_of(other, 4));
    keys({rt::key::ENTER, rt::key::ENTER, 'T', 'M', 'T', 'S', 'N'});
    ASSERT_TRUE(TRANOME(1));
    EXPECT_TRUE(screen_showed("está sendo usado em algum terminal.")) << term->all_snapshots();
    // Nothing of the taxpayer left the origin.
    EXPECT_EQ(count(client, 4, kA), 2);
    EXPECT_EQ(count(client, 9, kA), 1);
    EXPECT_EQ(count(client, 1, kA), 1);
}

TEST_F(FolderCopyTest, AMoveLeavesATaxpayerOpenOnAnotherTerminalWhereItIs) {
    test_support::TaxpayerHolder holder(client, kA, "05");
    // move everything, overwriting; the keys end there (Esc to the rest)
    keys({rt::key::ENTER, rt::key::ENTER, 'T', 'M', 'T', 'S'});
    ASSERT_TRUE(TRANOME(1));
    EXPECT_TRUE(screen_showed("Contribuinte 111.111.111-11 em uso no terminal 05.")) << term->all_snapshots();
    EXPECT_EQ(count(client, 9, kA), 1);
    EXPECT_EQ(count(client, 4, kA), 2);
    EXPECT_EQ(count(other, 9, kA), 0);
    EXPECT_EQ(count(other, 4, kA), 0);
    EXPECT_EQ(count(client, 9, kB), 0) << "the others are moved";
    EXPECT_EQ(count(other, 2, "NEW", "I1_2"), 1);
}

TEST_F(FolderCopyTest, ANewEmptyDestinationGetsItsTablesAndTheTaxpayers) {
    const std::string fresh = root + "/fresh/";
    std::filesystem::create_directories(fresh);
    rt::variables().set("ROTABACK", rt::Value(fresh));
    run_copy('C', 'S');
    EXPECT_FALSE(screen_showed("está sendo usado em algum terminal.")) << term->all_snapshots();
    EXPECT_EQ(count(fresh, 9, kA), 1);
    EXPECT_EQ(count(fresh, 4, kA), 2);
    EXPECT_EQ(count(fresh, 2, "NEW", "I1_2"), 1);
}

}  // namespace
}  // namespace qv::office::testing
