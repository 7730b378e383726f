// CPF change, work files of the terminals, taxpayer deletion and copying
// parts of a declaration: all of a table's rows change or none.
#include <fstream>
#include <functional>

#include "office/cpf_change.hpp"
#include "office/part_copy.hpp"
#include "office/reorganise.hpp"
#include "office/taxpayer_deletion.hpp"
#include "declaration/entry/dialog_painters.hpp"
#include "office_fixture.hpp"
#include "tables/declaration_protection.hpp"
#include "system/taxpayer_holder.hpp"

namespace qv::office::testing {
namespace {

constexpr const char* kA = "11111111111";
constexpr const char* kB = "22222222222";
constexpr const char* kNew = "33333333333";

class MaintenanceTest : public OfficeTest {
protected:
    void SetUp() override {
        OfficeTest::SetUp();
        make_tables(client);
        add_taxpayer(client, kA, "ANA", "S");
        add_taxpayer(client, kB, "BRUNO");
        for (int code : {1, 4, 4, 16, 19}) add_row(client, code, {{"CPF", rt::Value(kA)}});
        add_row(client, 2, {{"CPF", rt::Value(kA)}, {"I1_1", rt::Value("J")}});
        add_row(client, 2, {{"CPF", rt::Value(kA)}, {"I1_1", rt::Value("L")}});
        add_row(client, 2, {{"CPF", rt::Value(kB)}, {"I1_1", rt::Value("L")}, {"I1_2", rt::Value("OWN")}});
        add_row(client, 16, {{"CPF", rt::Value(kA)}, {"ATV_BRASIL", rt::Value("1")}});
    }
};

TEST_F(MaintenanceTest, CpfChangeWithATableHeldElsewhereChangesNothing) {
    {
        OtherTerminal holder(path_of(client, 4));
        int busy = 0;
        EXPECT_EQ(change_cpf(client, kA, kNew, &busy), CpfChange::Busy);
        EXPECT_EQ(busy, 4);
    }
    for (int code : {1, 2, 4, 9}) {
        EXPECT_EQ(count(client, code, kNew), 0) << code;
        EXPECT_GT(count(client, code, kA), 0) << code;
    }
    EXPECT_EQ(change_cpf(client, kA, kB), CpfChange::NewExists);
    EXPECT_EQ(change_cpf(client, kNew, "44444444444"), CpfChange::OldMissing);
    ASSERT_EQ(change_cpf(client, kA, kNew), CpfChange::Done);
    for (int code : {1, 2, 4, 9, 16, 19}) {
        EXPECT_EQ(count(client, code, kA), 0) << code;
        EXPECT_GT(count(client, code, kNew), 0) << code;
    }
    EXPECT_EQ(count(client, 4, kNew), 2);
}

TEST_F(MaintenanceTest, TheCpfOptionSaysWhichTableIsInUse) {
    tables::set_client_folder(client);
    OtherTerminal holder(path_of(client, 2));
    term->feed_text("11111111111");
    term->feed_text("12345678909");
    keys({rt::key::ENTER, rt::key::ESC});
    MUDA_CPF();
    EXPECT_TRUE(screen_showed("O arquivo IMP0212.DBF está sendo usado em algum terminal.")) << term->all_snapshots();
    EXPECT_TRUE(screen_showed("Nenhum CPF foi trocado."));
    EXPECT_EQ(count(client, 9, "12345678909"), 0);
    EXPECT_EQ(count(client, 9, kA), 1);
}

TEST_F(MaintenanceTest, WorkFilesOfARunningTerminalStay) {
    rt::variables().set("NUSU", rt::Value("01"));
    for (const char* t : {"01", "02", "03"}) {
        ASSERT_TRUE(tb::find_in_folder(prog, std::string("DIRET") + t + ".dbf").empty());
        tb::create_table(prog + "DIRET" + t + ".dbf", {{"DIRETOR", 'C', 80, 0}, {"SELEC", 'C', 1, 0}});
        for (const char* ext : {".dbf", ".cdx"}) std::ofstream(root + "/TMP_04" + t + ext) << "x";
    }
    {
        OtherTerminal running(prog + "DIRET02.dbf");
        EXPECT_TRUE(terminal_running("02"));
        EXPECT_FALSE(terminal_running("03"));
        EXPECT_EQ(remove_idle_work_files(root + "/"), 4);
        EXPECT_TRUE(exists(root + "/TMP_0402.dbf"));
        EXPECT_TRUE(exists(root + "/TMP_0402.cdx"));
        EXPECT_FALSE(exists(root + "/TMP_0401.dbf"));
        EXPECT_FALSE(exists(root + "/TMP_0403.cdx"));
    }
    EXPECT_EQ(remove_idle_work_files(root + "/"), 2);
}

TEST_F(MaintenanceTest, ReorganisingAFolderBuildsItsIndexFilesAgain) {
    ASSERT_TRUE(REORG(client, 3));
    for (int code = 1; code <= 20; ++code)
        EXPECT_FALSE(tb::find_in_folder(client, table_name(code) + ".cdx").empty()) << code;
    EXPECT_FALSE(tb::find_in_folder(client, "IMP0912B.cdx").empty());
    EXPECT_EQ(tables::ws().table(4), nullptr) << "everything closed";
    ASSERT_TRUE(open_folder_table(client, 4, 4, false));
    EXPECT_TRUE(tables::ws().current(4).seek(rt::Value(kA)));
    // A table in use elsewhere keeps its index files: nothing is deleted.
    tables::ws().close_all();
    OtherTerminal holder(path_of(client, 7));
    EXPECT_FALSE(REORG(client, 3));
    for (const char* index : {"IMP0712.cdx", "IMP0412.cdx"}) EXPECT_FALSE(tb::find_in_folder(client, index).empty());
}

// The program folder's index files are open in every terminal that runs
// the program: while another one runs, its files are not rebuilt, and the
// rebuild says so instead of passing for done.
TEST_F(MaintenanceTest, TheProgramFolderIsNotReorganisedUnderAnotherTerminal) {
    rt::variables().set("NUSU", rt::Value("01"));
    tb::create_table(prog + "DIRET02.dbf", {{"DIRETOR", 'C', 80, 0}, {"SELEC", 'C', 1, 0}});
    {
        OtherTerminal running(prog + "DIRET02.dbf");
        EXPECT_FALSE(REORG(prog, 4));
        EXPECT_EQ(rt::cp850_to_utf8(reorganise_failure()), "O programa QV2012 no terminal 02 está em uso");
    }
    EXPECT_TRUE(REORG(prog, 3));
}

TEST_F(MaintenanceTest, DeletionTakesEveryRowOrNone) {
    {
        OtherTerminal holder(path_of(client, 19));
        int busy = 0;
        EXPECT_FALSE(delete_declarations(client, {kA}, false, &busy));
        EXPECT_EQ(busy, 19);
        EXPECT_EQ(count(client, 1, kA), 1);
    }
    ASSERT_TRUE(delete_declarations(client, {kA}, true));
    EXPECT_EQ(count(client, 16, kA), 0);
    EXPECT_EQ(count(client, 19, kA), 0);
    EXPECT_EQ(count(client, 4, kA), 2) << "a rural deletion keeps the rest";
    ASSERT_TRUE(delete_declarations(client, {kA}, false));
    EXPECT_EQ(count(client, 4, kA), 0);
    EXPECT_EQ(count(client, 2, kB), 1);
}

TEST_F(MaintenanceTest, DeletingOneMarkedTaxpayerFromTheMenu) {
    tables::set_client_folder(client);
    // The taxpayer box of a declaration opened before, closed since.
    declaration::MTELA3(3);
    common::FECHAJAN(3);
    // Whole declaration; "S" typed in the first row's mark of the list (by
    // CPF: the one-letter cell takes it at once) and Esc leaves the list;
    // one taxpayer is confirmed without the plural.
    keys({'S', 'S', rt::key::ESC, 'S'});
    EXCLUI();
    EXPECT_TRUE(screen_showed("Confirma a Exclusão de 1 contribuinte?")) << term->all_snapshots();
    EXPECT_EQ(count(client, 9, kA), 0);
    EXPECT_EQ(count(client, 4, kA), 0);
    EXPECT_EQ(count(client, 9, kB), 1);
    // The progress bar stood in the taxpayer box and went with it.
    for (int row = 0; row < 24; ++row) EXPECT_EQ(term->text(row).find("\u2591"), std::string::npos) << row;
}

TEST_F(MaintenanceTest, CopyingPartsOfADeclaration) {
    PartCopy c{client, kA, kB, Part::CashBook, true};
    ASSERT_EQ(copy_part(c), PartCopyResult::Done);
    EXPECT_EQ(count(client, 2, kB), 2) << "added to the destination's own rows";
    c.add = false;
    ASSERT_EQ(copy_part(c), PartCopyResult::Done);
    EXPECT_EQ(count(client, 2, "OWN", "I1_2"), 0) << "its own cash book replaced";
    EXPECT_EQ(count(client, 2, kB), 1);
    std::string message;
    c.part = Part::Payments;
    EXPECT_EQ(copy_part(c, &message), PartCopyResult::Nothing);
    EXPECT_EQ(message, rt::utf8_to_cp850("Sem pagamentos para copiar!"));
    // Everything: the copy stops at the rural tables the original lacks.
    c = PartCopy{client, kB, kA, Part::All, true};
    ASSERT_EQ(copy_part(c), PartCopyResult::Done);
    EXPECT_EQ(count(client, 2, kA), 3);
    EXPECT_EQ(count(client, 16, kA), 2);
    c = PartCopy{client, kA, kB, Part::Rural, true};
    ASSERT_EQ(copy_part(c), PartCopyResult::Done);
    EXPECT_EQ(count(client, 16, kB), 1) << "only the rows of the original's activity";
    ASSERT_TRUE(open_folder_table(client, 9, 9, false));
    ASSERT_TRUE(tables::ws().current(9).seek(rt::Value(kB)));
    EXPECT_EQ(tables::ws().current(9).get("TEMRURAL").as_string(), "S");
}

// Another terminal has the taxpayer open: whatever would change its rows
// under that terminal is refused with its number, and nothing changes.
TEST_F(MaintenanceTest, ATaxpayerOpenOnAnotherTerminalIsNeitherDeletedRenumberedNorCopiedInto) {
    struct Case {
        const char* what;
        std::function<bool(std::string&)> refused;   // true when refused; the message
    };
    const Case cases[] = {
        {"deletion", [](std::string& m) { return !delete_declarations(tables::client_folder(), {kA}, false, nullptr, &m); }},
        {"CPF change",
         [](std::string& m) { return change_cpf(tables::client_folder(), kA, kNew, nullptr, &m) == CpfChange::InUse; }},
        {"part copy into it",
         [](std::string& m) {
             return copy_part(PartCopy{tables::client_folder(), kB, kA, Part::CashBook, false}, &m) == PartCopyResult::InUse;
         }},
        {"part copy from it",
         [](std::string& m) {
             return copy_part(PartCopy{tables::client_folder(), kA, kB, Part::All, true}, &m) == PartCopyResult::InUse;
         }},
    };
    tables::set_client_folder(client);
    test_support::TaxpayerHolder other(client, kA, "05");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string message;
        EXPECT_TRUE(c.refused(message));
        EXPECT_EQ(rt::cp850_to_utf8(message), "Contribuinte 111.111.111-11 em uso no terminal 05.");
        for (int code : {1, 2, 4, 9, 16}) EXPECT_EQ(count(client, code, kNew), 0) << code;
        EXPECT_EQ(count(client, 4, kA), 2);
        EXPECT_EQ(count(client, 2, kA), 2);
        EXPECT_EQ(count(client, 2, kB), 1);
    }
    other.kill();
    EXPECT_EQ(change_cpf(client, kA, kNew), CpfChange::Done);
}

TEST_F(MaintenanceTest, ADeclarationProtectedAgainstChangeReceivesNoCopy) {
    rt::variables().set("STATRAVA", rt::Value(9));
    add_row(client, 9, {{"CPF", rt::Value(kNew)}, {"ESTATUS", rt::Value(9)}});
    std::string message;
    EXPECT_EQ(copy_part(PartCopy{client, kA, kNew, Part::All, true}, &message), PartCopyResult::Protected);
    EXPECT_EQ(message, tables::protection_text());
    for (int code : {1, 2, 4, 16}) EXPECT_EQ(count(client, code, kNew), 0) << code;
}

TEST_F(MaintenanceTest, CopyingEverythingTwiceKeepsOneRecordWhereATaxpayerHasOne) {
    add_row(client, 12, {{"CPF", rt::Value(kA)}});
    add_row(client, 1, {{"CPF", rt::Value(kB)}});
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(copy_part(PartCopy{client, kA, kB, Part::All, true}), PartCopyResult::Done);
        EXPECT_EQ(count(client, 1, kB), 1) << "the declaration record, round " << round;
        EXPECT_EQ(count(client, 12, kB), 1) << "the monthly record, round " << round;
    }
    EXPECT_EQ(count(client, 4, kB), 4) << "lists are added to";
}

TEST_F(MaintenanceTest, EscAtTheQuestionOfThePartCopyLeavesTheDestinationAsItWas) {
    tables::set_client_folder(client);
    term->feed_text("11111111111");
    term->feed_text("22222222222");
    keys({'L', rt::key::ESC});
    TRANF_PARTE();
    EXPECT_TRUE(screen_showed("Encontrando Dados na declaração?")) << term->all_snapshots();
    EXPECT_EQ(count(client, 2, "OWN", "I1_2"), 1) << "its own cash book kept";
    EXPECT_EQ(count(client, 2, kB), 1) << "nothing added";
}

TEST_F(MaintenanceTest, ADeletionDeclinedLeavesNoTaxpayerMarked) {
    tables::set_client_folder(client);
    keys({'S', 'S', rt::key::ESC, 'N'});
    EXCLUI();
    EXPECT_TRUE(screen_showed("Confirma a Exclusão de 1 contribuinte?")) << term->all_snapshots();
    EXPECT_EQ(count(client, 9, kA), 1);
    EXPECT_EQ(count(client, 9, "S", "IMPRE"), 0);
}

TEST_F(MaintenanceTest, ReorganisingBuildsIndexFilesDeletedBeforeAndNamesWhatItCannotDo) {
    for (const auto& e : std::filesystem::directory_iterator(client))
        if (rt::UPPER(e.path().extension().string()) == ".CDX") std::filesystem::remove(e.path());
    ASSERT_TRUE(REORG(client, 3));
    for (int code = 1; code <= 20; ++code)
        EXPECT_FALSE(tb::find_in_folder(client, table_name(code) + ".cdx").empty()) << code;
    EXPECT_FALSE(tb::find_in_folder(client, "IMP0912C.cdx").empty());
    std::filesystem::resize_file(client + "IMP0612.dbf", 40);
    std::filesystem::remove(client + "IMP0412.cdx");
    EXPECT_FALSE(REORG(client, 3));
    const std::string why = rt::cp850_to_utf8(reorganise_failure());
    EXPECT_NE(why.find("IMP0612"), std::string::npos) << why;
    EXPECT_NE(why.find("danificado"), std::string::npos) << why;
}

// The rebuild walks every listed folder; the clerk goes on in the folder
// that was current, not in the last one walked.
TEST_F(MaintenanceTest, ReindexingLeavesTheCurrentFolderCurrent) {
    tables::set_client_folder(client);
    ASSERT_TRUE(tables::ABERTURA(50));   // the program folder, listed after the client folder
    tb::Table& list = tables::ws().current(50);
    ASSERT_TRUE(tables::ADD_REC(5));
    list.put("DIRETOR", rt::Value(tables::without_separator(client)));
    list.put("SELEC", rt::Value("S"));
    list.unlock();
    keys({'S'});
    REINDEXA();
    EXPECT_EQ(tables::client_folder(), client);
    ASSERT_NE(tables::ws().table(9), nullptr);
    tables::ws().current(9).set_order(1);
    EXPECT_TRUE(tables::ws().current(9).seek(rt::Value(kB))) << "the register open is the current folder's";
    EXPECT_FALSE(tb::find_in_folder(client, "IMP0412.cdx").empty());
}

}  // namespace
}  // namespace qv::office::testing
