// Windows-style names in any case find the existing files.
#include <filesystem>

#include "table_test_util.hpp"
#include "runtime/table/file_names.hpp"

namespace qv::rt::table::test {
namespace {

TEST(FileNames, ExtensionsAndParts) {
    EXPECT_EQ(with_default_extension("IMP0112", ".dbf"), "IMP0112.dbf");
    EXPECT_EQ(with_default_extension("dir.x\\IMP0112.DBF", ".dbf"), "dir.x/IMP0112.DBF");
    EXPECT_EQ(with_default_extension("a/LisErro", ".dbf"), "a/LisErro.dbf");
    EXPECT_EQ(with_extension("a/b/IMP.DBF", ".cdx"), "a/b/IMP.cdx");
    EXPECT_EQ(stem_of("c:\\x\\tmp_0101.dbf"), "tmp_0101");
    EXPECT_EQ(folder_of("c:\\x\\tmp_0101.dbf"), "c:/x/");
}

TEST(FileNames, ExistingFilesAreFoundIgnoringCaseNewOnesKeepTheCaseGiven) {
    TempDir d;
    std::filesystem::create_directory(d.file("Dados"));
    write_file(d.file("Dados/IMP0112.DBF"), "x");
    write_file(d.file("Dados/lisErro.dbf"), "x");
    EXPECT_EQ(resolve_path(d.file("DADOS/imp0112.dbf")), d.file("Dados/IMP0112.DBF"));
    EXPECT_EQ(resolve_path(d.file("dados\\LisErro.DBF")), d.file("Dados/lisErro.dbf"));
    EXPECT_EQ(resolve_path(d.file("dados/Novo.CDX")), d.file("Dados/Novo.CDX"));
    EXPECT_TRUE(file_exists(d.file("DADOS/IMP0112.dbf")));
    EXPECT_FALSE(file_exists(d.file("DADOS/IMP0212.dbf")));
}

using FileNameTables = WorkspaceTest;

TEST_F(FileNameTables, TablesOpenWhateverTheCaseOfTheirFilesAndIndexes) {
    create_table(dir.file("IMP0912"), {{"CPF", 'C', 11, 0}});
    {
        Table& t = ws.use(dir.file("imp0912"), OpenOptions{"", true, false, true});
        ASSERT_TRUE(t.append_blank());
        t.put("CPF", Value("123"));
        t.index_on("CPF", "CPF");
        ws.close();
    }
    std::filesystem::rename(dir.file("IMP0912.cdx"), dir.file("IMP0912.CDX"));
    Table& t = ws.use(dir.file("Imp0912.Dbf"), {});
    EXPECT_EQ(t.alias(), "IMP0912");
    EXPECT_EQ(t.order_count(), 1);
    ASSERT_TRUE(t.set_order("CPF"));
    EXPECT_TRUE(t.seek(Value("123")));
}

}  // namespace
}  // namespace qv::rt::table::test
