// Folder names: Windows names converted on use, trailing separators, tests
// of existence.
#include "common/paths.hpp"

#include <cstdlib>
#include <filesystem>

#include "common_fixture.hpp"

namespace qv::common::testing {
namespace {

class CommonPathsTest : public CommonTest {
protected:
    void TearDown() override {
        set_drive_root('C', "");
        set_drive_root('D', "");
        ::unsetenv("QV_DRIVE_Q");
        CommonTest::TearDown();
    }
    TempFolder folder;
};

TEST_F(CommonPathsTest, WindowsNamesBecomeLinuxNames) {
    EXPECT_EQ(to_local_path("C:\\QV2011"), "/QV2011");
    EXPECT_EQ(to_local_path("A:"), "/mnt/a/");
    EXPECT_EQ(to_local_path("e:\\backup\\"), "/mnt/e/backup/");
    EXPECT_EQ(to_local_path("/srv/dados/"), "/srv/dados/");
    EXPECT_EQ(to_local_path("  DADOS\\2012  "), "DADOS/2012");
    EXPECT_EQ(to_local_path("C:\\\\A\\\\B"), "/A/B");
    EXPECT_EQ(to_local_path(""), "");
}

TEST_F(CommonPathsTest, DriveRootsCanBeSet) {
    set_drive_root('c', folder.path());
    EXPECT_EQ(drive_root('C'), folder.path() + "/");
    EXPECT_EQ(to_local_path("C:\\QV2012\\"), folder.path() + "/QV2012/");
    ::setenv("QV_DRIVE_Q", "/srv/rede", 1);
    EXPECT_EQ(to_local_path("Q:\\clientes"), "/srv/rede/clientes");
    set_drive_root('c', "");
    EXPECT_EQ(drive_root('C'), "/");
}

TEST_F(CommonPathsTest, ExistingSpellingIsFoundIgnoringCase) {
    std::filesystem::create_directories(folder.path() + "/Dados/Clientes");
    set_drive_root('D', folder.path());
    EXPECT_EQ(to_local_path("D:\\DADOS\\CLIENTES\\"), folder.path() + "/Dados/Clientes/");
    EXPECT_EQ(to_local_path(folder.path() + "/dados/NOVA"), folder.path() + "/Dados/NOVA");
    EXPECT_TRUE(VERDIR("D:\\dados\\clientes"));
}

TEST_F(CommonPathsTest, TrailingSeparators) {
    EXPECT_EQ(BAR_DIR("/srv/dados"), "/srv/dados/");
    EXPECT_EQ(BAR_DIR("/srv/dados/"), "/srv/dados/");
    EXPECT_EQ(BAR_DIR("C:\\QV2012"), "/QV2012/");
    EXPECT_EQ(BAR_DIR(""), "");
    EXPECT_EQ(BAR_FORA("/srv/dados/"), "/srv/dados");
    EXPECT_EQ(BAR_FORA("C:\\QV2012\\"), "/QV2012");
    EXPECT_EQ(BAR_FORA("/"), "/");
    EXPECT_EQ(TIRA_DIR("C:\\QV2012\\IMP0912.DBF"), "IMP0912.DBF");
    EXPECT_EQ(TIRA_DIR("/srv/dados/"), "");
    EXPECT_EQ(TIRA_DIR("arquivo.txt"), "arquivo.txt");
}

TEST_F(CommonPathsTest, FolderChecks) {
    EXPECT_TRUE(VERDIR(folder.path()));
    EXPECT_TRUE(VERDIR(folder.path() + "/"));
    EXPECT_FALSE(VERDIR(folder.path() + "/falta"));
    EXPECT_FALSE(VERDIR(""));
    EXPECT_TRUE(CONFER_DIR(folder.path()));
    EXPECT_EQ(row(24), std::string(80, ' '));
    EXPECT_FALSE(CONFER_DIR("/nao/existe"));
    EXPECT_EQ(term->text(24).find(" <Dir> /nao/existenão encontrado. Assumindo o padrão! "), 0u) << term->text(24);
}

TEST_F(CommonPathsTest, EspcifWantsADriveOrAnAbsoluteName) {
    EXPECT_TRUE(ESPCIF("A:"));
    EXPECT_TRUE(ESPCIF(" c:\\backup"));
    EXPECT_TRUE(ESPCIF("/mnt/backup"));
    EXPECT_TRUE(term->snapshots.empty());
    EXPECT_FALSE(ESPCIF("backup"));
    EXPECT_TRUE(term->showed("Especifique o drive com ':' após a letra"));
}

}  // namespace
}  // namespace qv::common::testing
