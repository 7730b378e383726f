// Archive backups and restores of client folders through the 7z command,
// and what the user is told when the archiver fails.
#include <cstdlib>
#include <fstream>

#include "common/paths.hpp"
#include "office/archiver.hpp"
#include "office/backup.hpp"
#include "office_fixture.hpp"
#include "system/taxpayer_holder.hpp"

namespace qv::office::testing {
namespace {

namespace fs = std::filesystem;

bool seven_zip_installed() { return std::system("command -v 7z >/dev/null 2>&1") == 0; }

class BackupTest : public OfficeTest {
protected:
    void SetUp() override {
        OfficeTest::SetUp();
        make_tables(client);
        for (int code = 1; code <= 20; ++code) {
            add_row(client, code, {{"CPF", rt::Value("11111111111")}});
            if (code % 2 == 0) add_row(client, code, {{"CPF", rt::Value("22222222222")}});
        }
    }
    void TearDown() override {
        set_archiver_command("");
        common::set_drive_root('X', "");
        OfficeTest::TearDown();
    }
    void empty_folder(const std::string& folder) {
        for (const auto& e : fs::directory_iterator(folder)) fs::remove_all(e.path());
    }
    std::string script(const std::string& body) {
        const std::string path = root + "/archiver.sh";
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        fs::permissions(path, fs::perms::owner_all);
        return path;
    }
    std::string archive() { return backup + "IMPZIP12.zip"; }
};

// The archive holds the folder's tables and nothing else (not the files of
// the folder the archiver runs in), whatever characters the names have.
TEST_F(BackupTest, BackupAndRestoreThroughTheArchiverGiveBackEveryTable) {
    if (!seven_zip_installed()) GTEST_SKIP() << "7z is not installed";
    const std::string accented = rt::utf8_to_cp850(root + "/cópia ação/");
    fs::create_directories(common::fs_path(accented + "backup"));
    fs::copy(client, common::fs_path(accented + "dados"));
    const std::pair<std::string, std::string> pairs[] = {{client, backup}, {accented + "dados/", accented + "backup/"}};
    for (const auto& [data, copies] : pairs) {
        SCOPED_TRACE(data);
        keys({'S'});
        ASSERT_TRUE(BKMANUAL(2, copies, data)) << term->all_snapshots();
        const std::string list = "7z l -ba '" + common::fs_path(copies + "IMPZIP12.zip").string() + "'";
        EXPECT_EQ(std::system(("test $(" + list + " | grep -c ' IMP[0-9][0-9]12.dbf$') = 20 && test $(" + list +
                               " | wc -l) = 20").c_str()), 0);
        for (const auto& e : fs::directory_iterator(common::fs_path(data))) fs::remove_all(e.path());
        keys({'S'});
        ASSERT_TRUE(VOMANUAL(2, data, copies));
        for (int code = 1; code <= 20; ++code) {
            EXPECT_EQ(count(data, code, "11111111111"), 1) << code;
            EXPECT_EQ(count(data, code, "22222222222"), code % 2 == 0 ? 1 : 0) << code;
            EXPECT_FALSE(fs::exists(common::fs_path(data + table_name(code) + ".cdx"))) << "rebuilt at the next opening";
        }
        // The restored tables open and find their rows by key.
        ASSERT_TRUE(open_folder_table(data, 4, 4, false));
        EXPECT_TRUE(tables::ws().current(4).seek(rt::Value("22222222222")));
        tables::ws().close_all();
    }
}

TEST_F(BackupTest, AFailingArchiverIsReportedAndLeavesTheOldArchive) {
    std::ofstream(archive()) << "older backup";
    struct Case {
        std::string command;
        std::string message;
    };
    const Case cases[] = {
        {script("exit 2"), "Erro ao criar o arquivo"},
        {script("exit 0"), "Erro ao criar o arquivo"},   // ran, wrote nothing
        {root + "/no-such-archiver", "Erro! Arquivo"},
    };
    for (const Case& c : cases) {
        term->snapshots.clear();
        set_archiver_command(c.command);
        keys({'S'});
        EXPECT_FALSE(BKMANUAL(2, backup, client)) << c.command;
        EXPECT_TRUE(screen_showed(c.message)) << term->all_snapshots();
        std::ifstream in(archive());
        std::string kept;
        std::getline(in, kept);
        EXPECT_EQ(kept, "older backup");
        EXPECT_FALSE(exists(archive() + ".new"));
    }
}

TEST_F(BackupTest, RefusedOrIdleCasesWriteNothing) {
    // The same folder on both sides.
    EXPECT_FALSE(BKMANUAL(2, client, client));
    EXPECT_TRUE(screen_showed("ATENÇÃO! O drive não pode ser o mesmo"));
    // The other archiver has no program here.
    rt::variables().set("PROGCOMP", rt::Value("N"));
    keys({'S'});
    EXPECT_FALSE(BKMANUAL(2, backup, client));
    EXPECT_TRUE(screen_showed("O programa ICE não existe neste sistema."));
    // A folder without the register has nothing to pack.
    rt::variables().set("PROGCOMP", rt::Value("S"));
    EXPECT_TRUE(BKMANUAL(2, backup, other));
    EXPECT_TRUE(screen_showed("não tem dados do QV2012!"));
    // Nothing to restore from.
    EXPECT_FALSE(VOMANUAL(2, client, other));
    EXPECT_TRUE(screen_showed("Não existe o arquivo compactado em"));
    EXPECT_TRUE(fs::is_empty(backup));
}

TEST_F(BackupTest, ARestoreOverATableInUseElsewhereIsRefused) {
    std::ofstream(archive()) << "archive";
    set_archiver_command(script("touch " + root + "/ran"));
    OtherTerminal holder(path_of(client, 6));
    keys({'S'});
    EXPECT_FALSE(VOMANUAL(2, client, backup));
    EXPECT_TRUE(screen_showed("O arquivo IMP0612.DBF está sendo usado em algum terminal.")) << term->all_snapshots();
    EXPECT_FALSE(exists(root + "/ran"));
    EXPECT_EQ(count(client, 6, "22222222222"), 1);
}

// The letter of the mirrored backups follows a backup folder named by its
// drive; a backup folder named by its path leaves the letter as it was.
TEST_F(BackupTest, ManualBackupKeepsTheDriveLetterOfTheMirrors) {
    common::set_drive_root('E', backup);
    struct Case {
        std::string backup_folder;
        const char* letter;
    };
    const Case cases[] = {{backup, "B"}, {"E:\\", "E"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.backup_folder);
        rt::variables().set("XDRIVE", rt::Value("B"));
        rt::variables().set("ROTABACK", rt::Value(c.backup_folder));
        keys({rt::key::ENTER, rt::key::ENTER, 'N'});   // both folders as proposed; no packing
        EXPECT_TRUE(BKMANUAL(1));
        EXPECT_TRUE(screen_showed("Compacta os dados da pasta ")) << term->all_snapshots();
        EXPECT_EQ(rt::variables().get("XDRIVE").as_string(), c.letter);
    }
    common::set_drive_root('E', "");
}

TEST_F(BackupTest, MirrorFoldersLieOnTheChosenDrive) {
    common::set_drive_root('X', root + "/mirror");
    EXPECT_EQ(mirror_folder("/srv/escritorio/dados/", 'X'), root + "/mirror/srv/escritorio/dados/");
    EXPECT_EQ(mirror_folder("C:\\QV2012\\DADOS", 'X'), root + "/mirror/QV2012/DADOS/");
}

TEST_F(BackupTest, AllFoldersOfTheListGoToTheirMirrorsAndBack) {
    if (!seven_zip_installed()) GTEST_SKIP() << "7z is not installed";
    common::set_drive_root('X', root + "/mirror");
    rt::variables().set("XDRIVE", rt::Value("X"));
    ASSERT_TRUE(tables::ABERTURA(50));
    tb::Table& list = tables::ws().current(50);
    for (const std::string& f : {tables::without_separator(client), root + "/gone", tables::without_separator(other)}) {
        ASSERT_TRUE(list.append_blank());
        list.put("DIRETOR", rt::Value(f));
        list.unlock();
    }
    tables::ws().close_all();
    keys({'S'});
    ASSERT_TRUE(BKAUTOMA());
    const std::string mirror = mirror_folder(client, 'X');
    EXPECT_TRUE(exists(mirror + "IMPZIP12.zip"));
    EXPECT_FALSE(exists(mirror_folder(root + "/gone", 'X')));

    empty_folder(client);
    fs::remove_all(mirror_folder(other, 'X'));
    term->snapshots.clear();
    keys({'S'});
    ASSERT_TRUE(VOAUTOMA());
    EXPECT_EQ(count(client, 7, "11111111111"), 1);
    EXPECT_TRUE(screen_showed("Cópia dela cancelada")) << term->all_snapshots();
}

// A restore would replace the tables under a declaration open on another
// terminal, whose save would then write its rows back over them: refused,
// naming the taxpayer and the terminal, until that terminal lets go.
TEST_F(BackupTest, ARestoreOverAFolderWithATaxpayerOpenElsewhereIsRefusedNamingIt) {
    std::ofstream(archive()) << "archive";
    set_archiver_command(script("touch " + root + "/ran"));
    auto holder = std::make_unique<test_support::TaxpayerHolder>(client, "22222222222", "05");
    keys({'S'});
    EXPECT_FALSE(VOMANUAL(2, client, backup));
    EXPECT_TRUE(screen_showed("Contribuinte 222.222.222-22 em uso no terminal 05.")) << term->all_snapshots();
    EXPECT_FALSE(exists(root + "/ran"));
    holder.reset();
    keys({'S'});
    VOMANUAL(2, client, backup);
    EXPECT_TRUE(exists(root + "/ran"));
}

}  // namespace
}  // namespace qv::office::testing
