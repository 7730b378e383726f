// The source folder's files, the import of a folder, and the receipt-number
// import.
#include <cstdio>
#include <filesystem>

#include "common/globals.hpp"
#include "converter/disk_import.hpp"
#include "runtime/core/text.hpp"
#include "tables/opening.hpp"
#include "system/converter/converter_fixture.hpp"

namespace qv::test_support {
namespace {

class FolderImport : public ConverterTest {
protected:
    void SetUp() override {
        ConverterTest::SetUp();
        auto& v = rt::variables();
        v.set("OPCAO_1", rt::Value(3));
        v.set("ROTAREANT", rt::Value(source));
        v.set("DIRINST", rt::Value(prog));
        v.set("NOVIN", rt::Value(false));
    }
};

TEST_F(FolderImport, FilesAreFoundByExtensionWhateverTheirCase) {
    for (const char* name : {"a.dec", "B.DBK", "c.Bak", "d.txt", "e.DEC"}) write_file(source + name, "x");
    std::vector<std::string> names;
    for (const auto& f : converter::declaration_files(source)) names.push_back(std::filesystem::path(f).filename());
    EXPECT_EQ(names, (std::vector<std::string>{"B.DBK", "a.dec", "e.DEC", "c.Bak"}));
}

TEST_F(FolderImport, AFolderOfOlderDeclarationsImportsNothing) {
    for (const char* name : {"a.DEC", "b.DEC"})
        write_file(source + name, declaration_text({header(2010), identification("11111111111", "ANA")}));
    // The form as proposed, read again, accepted with Esc; then the message.
    keys({rt::key::ENTER, rt::key::ENTER, rt::key::ENTER, rt::key::ESC, rt::key::ENTER});
    converter::CONVDISCO(converter::kFullImport);
    EXPECT_TRUE(term->showed("Na pasta existem 2 declarações, mas não de 2011 ou 2012"));
    EXPECT_TRUE(rows(9, "11111111111").empty());
    EXPECT_FALSE(common::Global("NOVIN").value().as_bool());
}

TEST_F(FolderImport, MarkedTaxpayersAreConverted) {
    write_file(source + "a.DEC", declaration_text({header(2012), identification("11111111111", "ANA")}));
    write_file(source + "b.DEC", declaration_text({header(2012), identification("22222222222", "BRUNO")}));
    // Form, then the pick list: Alt+= marks every row, Esc starts.
    keys({rt::key::ENTER, rt::key::ENTER, rt::key::ENTER, rt::key::ESC, 387, rt::key::ESC});
    converter::CONVDISCO(converter::kFullImport);
    ASSERT_TRUE(converter::CRIA_BASE());
    EXPECT_EQ(rows(9, "11111111111").size(), 1u);
    EXPECT_EQ(rows(9, "22222222222").size(), 1u);
    EXPECT_TRUE(common::Global("NOVIN").value().as_bool());
}

// A file refused (cut short) is counted apart from a file whose taxpayer
// is there already (last year's file of a registered taxpayer).
TEST_F(FolderImport, RefusedFilesAreCountedApartFromExistingTaxpayers) {
    ASSERT_TRUE(convert("base.DEC", declaration_text({header(2012), identification("33333333333", "CARLA")})));
    const std::string whole = declaration_text({header(2012), identification("11111111111", "ANA")});
    write_file(source + "a.DEC", whole);
    write_file(source + "b.DEC", declaration_text({header(2012), identification("22222222222", "BRUNO")}, false));
    write_file(source + "c.DEC", declaration_text({header(2011), identification("33333333333", "CARLA")}));
    std::remove((source + "base.DEC").c_str());
    ASSERT_TRUE(tables::ABERTURA(70));
    auto& list = tables::ws().current(70);
    list.zap();
    ASSERT_EQ(converter::list_taxpayers(converter::declaration_files(source)), 3);
    for (list.go_top(); !list.eof(); list.skip(1)) {
        list.put("IMPRE", rt::Value("S"));
        list.commit();
    }
    report.clear();
    const converter::Counters c = converter::convert_marked(converter::kFullImport, source, report);
    EXPECT_EQ(c.to_convert, 3);
    EXPECT_EQ(c.converted, 1);
    EXPECT_EQ(c.existing, 1);
    EXPECT_EQ(c.refused, 1);
    EXPECT_EQ(c.left, 0);
    ASSERT_EQ(report.size(), 1u);
    EXPECT_EQ(report[0], "b.DEC: arquivo incompleto, nada convertido");
}

TEST_F(FolderImport, NothingMarkedIsSaidAndNothingConverted) {
    write_file(source + "a.DEC", declaration_text({header(2012), identification("11111111111", "ANA")}));
    keys({rt::key::ENTER, rt::key::ENTER, rt::key::ENTER, rt::key::ESC, rt::key::ESC, rt::key::ENTER});
    converter::CONVDISCO(converter::kFullImport);
    EXPECT_TRUE(term->showed("Nenhum contribuinte foi marcado para a conversão."));
    ASSERT_TRUE(converter::CRIA_BASE());
    EXPECT_TRUE(rows(9, "11111111111").empty());
}

TEST_F(FolderImport, ReceiptNumbersOnly) {
    const std::string cpf = "11111111111";
    ASSERT_TRUE(convert("base.DEC", declaration_text({header(2012, "IRPF    ", " "), identification(cpf, "ANA")})));
    const auto reg = rows(9, cpf).at(0);
    struct Case {
        int year;
        const char* receipt;
        const char* current;    // RECIBOATU after the import
        const char* previous;   // RECIBOANT after the import
    };
    // Last year's receipt fills only an empty previous receipt.
    const Case cases[] = {{2011, "1234567890", "", "123456789091"},
                          {2011, "9999999999", "", "123456789091"},
                          {2012, "1234567890", "123456789091", ""}};
    for (const auto& c : cases) {
        ASSERT_TRUE(convert("r.DEC", declaration_text({header(c.year, "IRPF    ", c.receipt), identification(cpf, "ANA")}),
                            converter::kReceiptsOnly))
            << c.year << c.receipt;
        EXPECT_EQ(rt::RTRIM(text(9, reg, "RECIBOATU")), c.current) << c.year << c.receipt;
        EXPECT_EQ(rt::RTRIM(text(9, reg, "RECIBOANT")), c.previous) << c.year << c.receipt;
    }
    // A taxpayer missing from the register is not created.
    keys({rt::key::ENTER});
    EXPECT_FALSE(convert("x.DEC", declaration_text({header(2012), identification("22222222222", "BRUNO")}),
                         converter::kReceiptsOnly));
    EXPECT_TRUE(rows(9, "22222222222").empty());
}

}  // namespace
}  // namespace qv::test_support
