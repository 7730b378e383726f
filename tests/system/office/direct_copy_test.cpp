// Backups table by table: to a backup folder and back, every table had
// alone in the destination first.
#include "office/direct_copy.hpp"
#include "office_fixture.hpp"
#include "system/taxpayer_holder.hpp"

namespace qv::office::testing {
namespace {

class DirectCopyTest : public OfficeTest {
protected:
    void SetUp() override {
        OfficeTest::SetUp();
        make_tables(client);
        add_taxpayer(client, "11111111111", "ANA");
        add_row(client, 4, {{"CPF", rt::Value("11111111111")}});
        add_row(client, 4, {{"CPF", rt::Value("22222222222")}});
        rt::variables().set("ROTABACK", rt::Value(backup));
    }
};

TEST_F(DirectCopyTest, CopyToTheBackupFolderAndBack) {
    keys({rt::key::ENTER, rt::key::ENTER});
    ASSERT_TRUE(FAZ_COPIA());
    EXPECT_EQ(count(backup, 4, "22222222222"), 1);
    EXPECT_EQ(count(backup, 9, "11111111111"), 1);

    // The register of the data folder is in use elsewhere: nothing comes back.
    add_row(client, 4, {{"CPF", rt::Value("33333333333")}});
    {
        OtherTerminal holder(path_of(client, 9));
        keys({rt::key::ENTER, rt::key::ENTER, rt::key::ENTER, 'N'});
        EXPECT_FALSE(TRAZ_COPIA());
        EXPECT_TRUE(screen_showed("Cópia encerrada sem terminar.")) << term->all_snapshots();
        EXPECT_EQ(count(client, 4, "33333333333"), 1);
    }
    // "Não" to the question before the tables are replaced: nothing comes back.
    keys({rt::key::ENTER, rt::key::ENTER, rt::key::ESC});
    EXPECT_FALSE(TRAZ_COPIA());
    EXPECT_TRUE(screen_showed("Recupera os dados em")) << term->all_snapshots();
    EXPECT_EQ(count(client, 4, "33333333333"), 1);
    keys({rt::key::ENTER, rt::key::ENTER, rt::key::ENTER});
    ASSERT_TRUE(TRAZ_COPIA());
    // The status line does not keep the last file copied.
    EXPECT_EQ(status_line().find("Copiando"), std::string::npos) << status_line();
    EXPECT_EQ(count(client, 4, "33333333333"), 0);
    EXPECT_EQ(count(client, 4, "22222222222"), 1);
    // The old index files went with the old rows: the next opening builds
    // them from the rows copied back.
    EXPECT_TRUE(tb::find_in_folder(client, "IMP0412.cdx").empty());
    ASSERT_TRUE(open_folder_table(client, 4, 4, false));
    EXPECT_FALSE(tables::ws().current(4).seek(rt::Value("33333333333")));
    EXPECT_TRUE(tables::ws().current(4).seek(rt::Value("22222222222")));
    tb::Table* reg = tables::ws().table(9);
    ASSERT_NE(reg, nullptr) << "the current folder's register is open again";
    reg->set_order(3);
    EXPECT_EQ(reg->order_count(), 3);
}

// The question whether to wait for a table in use goes by itself once the
// other terminal lets the table go: the copy goes on without a key.
TEST_F(DirectCopyTest, TheWaitForATableInUseGoesOnByItselfWhenItIsFree) {
    auto other = std::make_unique<OtherTerminal>(path_of(client, 4));
    auto backend = std::make_unique<test_support::FreeingBackend>();
    test_support::FreeingBackend* screen = backend.get();
    screen->on_wait = [&] { other.reset(); };
    screen->when = "Aguarde?";
    rt::set_backend(std::move(backend));
    screen->feed(rt::key::ENTER);
    screen->feed(rt::key::ENTER);
    ASSERT_TRUE(FAZ_COPIA());
    EXPECT_TRUE(screen->showed("IMP0412.DBF está sendo usado em algum terminal.")) << screen->all_snapshots();
    EXPECT_EQ(screen->starved_reads(), 0) << "no key was asked for";
    EXPECT_EQ(count(backup, 4, "22222222222"), 1);
}

// Copying the backup back over a folder where another terminal has a
// declaration open is refused before anything is written, naming it; once
// that terminal lets go, the copy is made.
TEST_F(DirectCopyTest, ACopyBackOverAFolderWithATaxpayerOpenElsewhereIsRefusedNamingIt) {
    keys({rt::key::ENTER, rt::key::ENTER});
    ASSERT_TRUE(FAZ_COPIA());
    add_row(client, 4, {{"CPF", rt::Value("33333333333")}});
    auto holder = std::make_unique<test_support::TaxpayerHolder>(client, "11111111111", "05");
    keys({rt::key::ENTER, rt::key::ENTER, rt::key::ENTER});
    EXPECT_FALSE(TRAZ_COPIA());
    EXPECT_TRUE(screen_showed("Contribuinte 111.111.111-11 em uso no terminal 05.")) << term->all_snapshots();
    EXPECT_EQ(count(client, 4, "33333333333"), 1);
    holder.reset();
    keys({rt::key::ENTER, rt::key::ENTER, rt::key::ENTER});
    EXPECT_TRUE(TRAZ_COPIA());
    EXPECT_EQ(count(client, 4, "33333333333"), 0);
}

}  // namespace
}  // namespace qv::office::testing
