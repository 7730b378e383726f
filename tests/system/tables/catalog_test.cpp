// Opening by code: files, folders, work areas, orders, index files, modes,
// and the start-up pass over the folder list.
#include <filesystem>
#include <fstream>

#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "tables/open_failure.hpp"
#include "tables/opening.hpp"
#include "tables/schema_upgrade.hpp"
#include "tables_fixture.hpp"

namespace qv::tables::testing {
namespace {

namespace fs = std::filesystem;
namespace tb = rt::table;

// Keeps a copy of every screen presented, not only those waited on.
class PresentRecording : public Recording {
public:
    void present(const rt::CellGrid& cells, int row, int col, int shape) override {
        Recording::present(cells, row, col, shape);
        snapshots.push_back(dump());
    }
};

class CatalogTest : public OpenTablesTest {
protected:
    PresentRecording& record_presents() {
        auto b = std::make_unique<PresentRecording>();
        PresentRecording& r = *b;
        rt::set_backend(std::move(b));
        term = &r;
        return r;
    }
    bool screen_has(const std::string& text) const {
        for (int r = 0; r < 25; ++r)
            if (term->text(r).find(text) != std::string::npos) return true;
        return false;
    }
};

TEST_F(CatalogTest, NewClientFolderGetsEveryDeclarationTableWithItsIndex) {
    for (int code = 1; code <= 20; ++code) {
        ASSERT_TRUE(ABERTURA(code)) << code;
        char file[16];
        std::snprintf(file, sizeof file, "IMP%02d12", code);
        EXPECT_TRUE(exists(client + file + ".dbf")) << file;
        EXPECT_TRUE(exists(client + file + ".cdx")) << file;
        EXPECT_EQ(ws().selected(), code);
        EXPECT_EQ(area(code).order(), 1);
    }
    EXPECT_EQ(area(4).order_key(1), "CPF+str(I7_0,4)");
    EXPECT_EQ(area(5).order_key(1), "CPF+STR(I8_0,4)");
    EXPECT_EQ(area(6).order_key(1), "CPF+str(I6_3,2)");
    EXPECT_EQ(area(16).order_key(1), "CPF+ATV_BRASIL");
    EXPECT_EQ(area(19).order_key(1), "CPF+ATV_BRASIL+DTOS(DT_LC)");
    EXPECT_EQ(area(12).order_key(1), "CPF");
    EXPECT_EQ(area(12).alias(), "IMP1212");
    // Nothing landed in the program folder.
    EXPECT_FALSE(exists(prog + "IMP0112.dbf"));
}

TEST_F(CatalogTest, RegisterHasThreeOrdersInThreeFiles) {
    ASSERT_TRUE(ABERTURA(9));
    EXPECT_TRUE(exists(client + "IMP0912.cdx"));
    EXPECT_TRUE(exists(client + "IMP0912B.cdx"));
    EXPECT_TRUE(exists(client + "IMP0912C.cdx"));
    tb::Table& t = area(9);
    ASSERT_EQ(t.order_count(), 3);
    EXPECT_EQ(t.order_key(2), "UPPER(NOMECONTR)");
    EXPECT_EQ(t.order_key(3), "ESTATUS");
    add_register_row("22222222222", "beatriz", 7);
    add_register_row("11111111111", "Carlos", 2);
    add_register_row("33333333333", "Ana", 9);
    t.set_order(2);
    t.go_top();
    EXPECT_EQ(rt::TRIM(t.get("NOMECONTR").as_string()), "Ana");
    t.set_order(3);
    t.go_top();
    EXPECT_EQ(t.get("CPF").as_string(), "11111111111");
    t.set_order(1);
    EXPECT_TRUE(t.seek(rt::Value("22222222222")));
}

TEST_F(CatalogTest, MissingSecondIndexFileIsRebuiltAlone) {
    ASSERT_TRUE(ABERTURA(9));
    add_register_row("11111111111", "Zeca", 1);
    ws().close_all();
    const auto first_before = fs::last_write_time(client + "IMP0912.cdx");
    const auto third_before = fs::last_write_time(client + "IMP0912C.cdx");
    fs::remove(client + "IMP0912B.cdx");
    ASSERT_TRUE(ABERTURA(9));
    EXPECT_TRUE(exists(client + "IMP0912B.cdx"));
    EXPECT_EQ(fs::last_write_time(client + "IMP0912.cdx"), first_before);
    EXPECT_EQ(fs::last_write_time(client + "IMP0912C.cdx"), third_before);
    tb::Table& t = area(9);
    t.set_order(2);
    EXPECT_TRUE(t.seek(rt::Value("ZECA")));
}

TEST_F(CatalogTest, MissingMainIndexPacksAndRebuilds) {
    ASSERT_TRUE(ABERTURA(4));
    tb::Table& t = area(4);
    for (int item : {3, 1, 2}) {
        ASSERT_TRUE(ADD_REC(1));
        t.put("CPF", rt::Value("12345678901"));
        t.put("I7_0", rt::Value(item));
        t.unlock();
    }
    t.set_order(0);
    t.go_to(2);   // item 1
    ASSERT_TRUE(REC_LOCK(1));
    t.delete_record();
    t.unlock();
    ws().close_all();
    fs::remove(client + "IMP0412.cdx");

    ASSERT_TRUE(ABERTURA(4));
    tb::Table& again = area(4);
    EXPECT_EQ(again.lastrec(), 2u);   // the deleted record is gone
    EXPECT_EQ(again.order_key(1), "CPF+str(I7_0,4)");
    EXPECT_TRUE(again.seek(rt::Value("12345678901   2")));
    EXPECT_FALSE(again.seek(rt::Value("12345678901   1")));
}

TEST_F(CatalogTest, RebuildEveryOpeningWhenAsked) {
    ASSERT_TRUE(ABERTURA(3));
    ws().close_all();
    rt::variables().set("REFAZ_IND", rt::Value(true));
    std::ofstream(client + "IMP0312.cdx", std::ios::trunc) << "not an index";
    ASSERT_TRUE(ABERTURA(3));
    EXPECT_EQ(area(3).order_key(1), "CPF");
}

TEST_F(CatalogTest, RebuildOnRequestKeepsDeletedRecords) {
    ASSERT_TRUE(ABERTURA(3));
    tb::Table& t = area(3);
    for (const char* cpf : {"11111111111", "22222222222"}) {
        ASSERT_TRUE(ADD_REC(1));
        t.put("CPF", rt::Value(cpf));
        t.unlock();
    }
    t.set_order(0);
    t.go_to(1);
    ASSERT_TRUE(REC_LOCK(1));
    t.delete_record();
    t.unlock();
    ws().close_all();
    rt::variables().set("REFAZ_IND", rt::Value(true));
    ASSERT_TRUE(ABERTURA(3));
    tb::Table& again = area(3);
    EXPECT_EQ(again.lastrec(), 2u);   // only a missing index file packs
    again.set_order(0);
    again.go_to(1);
    EXPECT_TRUE(again.deleted());
}

TEST_F(CatalogTest, ProgressMessagesNameTheFileWithItsFolder) {
    PresentRecording& shown = record_presents();
    rt::variables().set("MOS_MENS", rt::Value(true));
    ASSERT_TRUE(ABERTURA(9));
    EXPECT_TRUE(shown.showed("Verificando o Arquivo " + client + "IMP0912"));
    EXPECT_TRUE(shown.showed("Criando o índice " + client + "IMP0912C.cdx"));
    EXPECT_FALSE(screen_has("IMP0912")) << "the progress box goes with the opening";
}

TEST_F(CatalogTest, ProgramTablesAndTheirModes) {
    ASSERT_TRUE(ABERTURA(42));
    EXPECT_TRUE(exists(prog + "CONFIG.dbf"));
    EXPECT_TRUE(exists(prog + "CONFIG.cdx"));
    EXPECT_FALSE(area(42).exclusive());
    ASSERT_TRUE(ABERTURA(43));
    EXPECT_FALSE(exists(prog + "DEFINE.cdx"));
    EXPECT_EQ(area(43).lastrec(), 1u);
    ASSERT_TRUE(ABERTURA(44, false));
    EXPECT_TRUE(area(44).exclusive());
    ASSERT_TRUE(ABERTURA(68));
    EXPECT_TRUE(exists(prog + "DETALH01.dbf"));
    EXPECT_TRUE(area(68).exclusive());
    ASSERT_TRUE(ABERTURA(72));
    EXPECT_TRUE(exists(prog + "AGENDAB.cdx"));
    EXPECT_EQ(area(72).order_key(2), "HORAG+DTOC(DATAG)");
    ASSERT_TRUE(ABERTURA(70));
    EXPECT_TRUE(exists(prog + "LISNOMEB.cdx"));
}

TEST_F(CatalogTest, ExclusiveTableHeldElsewhereFailsAtOnce) {
    ASSERT_TRUE(ABERTURA(44));
    // A second opening of the same file, under another alias (another area
    // of this program is as foreign to the lock as another workstation).
    rt::variables().set("APELIDO", rt::Value("OUTRA"));
    EXPECT_FALSE(ABREARQ(80, false, prog + "IMPCORRIG"));
    EXPECT_EQ(ws().table(80), nullptr);
    ws().close(44);
    ASSERT_TRUE(ABREARQ(80, false, prog + "IMPCORRIG"));
    rt::variables().set("APELIDO", rt::Value(""));
    EXPECT_FALSE(ABERTURA(44));
    EXPECT_TRUE(term->snapshots.empty()) << "a failed opening says nothing";
}

TEST_F(CatalogTest, CallerChoosesExclusiveForDeclarationTables) {
    ASSERT_TRUE(ABERTURA(1, true));
    EXPECT_TRUE(area(1).exclusive());
    rt::variables().set("APELIDO", rt::Value("OUTRA"));   // the same table side by side
    EXPECT_FALSE(ABREARQ(81, false, client + "IMP0112", "CPF"));
    ws().close(1);
    rt::variables().set("APELIDO", rt::Value(""));
    ASSERT_TRUE(ABERTURA(1));
    EXPECT_FALSE(area(1).exclusive());
    EXPECT_EQ(area(1).alias(), "IMP0112");
    rt::variables().set("APELIDO", rt::Value("OUTRA"));
    EXPECT_TRUE(ABREARQ(81, false, client + "IMP0112", "CPF"));
    EXPECT_EQ(area(81).alias(), "OUTRA");
}

TEST_F(CatalogTest, EmptyFolderListGetsTheProgramFolderSelected) {
    ASSERT_TRUE(ABERTURA(50));
    tb::Table& list = area(50);
    EXPECT_TRUE(list.exclusive());
    EXPECT_TRUE(exists(prog + "DIRET01.dbf"));
    ASSERT_EQ(list.lastrec(), 1u);
    EXPECT_EQ(rt::TRIM(list.get("DIRETOR").as_string()), without_separator(prog));
    EXPECT_EQ(list.get("SELEC").as_string(), "S");
}

TEST_F(CatalogTest, StartUpPassDropsVanishedFoldersAndOpensProgramTables) {
    const std::string gone = root + "/gone";
    ASSERT_TRUE(ABERTURA(50));
    tb::Table& list = area(50);
    for (const std::string& f : {without_separator(client), gone}) {
        ASSERT_TRUE(ADD_REC(1));
        list.put("DIRETOR", rt::Value(f));
        list.put("SELEC", rt::Value("N"));
        list.unlock();
    }
    ws().close_all();

    ASSERT_TRUE(ABERTURA(0));
    tb::Table& after = area(50);
    std::vector<std::string> left;
    for (after.go_top(); !after.eof(); after.skip(1)) left.push_back(rt::TRIM(after.get("DIRETOR").as_string()));
    EXPECT_EQ(left.size(), 2u);
    EXPECT_EQ(std::count(left.begin(), left.end(), gone), 0);
    for (const char* f : {"PRINTS.dbf", "AUXBENS.dbf", "AUXPAG.dbf", "LISERRO.dbf"})
        EXPECT_TRUE(exists(prog + f)) << f;
    for (const char* f : {"CODBENS.dbf", "CODEPEN.dbf", "CODDIVI.dbf", "DESPESA.dbf", "UFIRM.dbf", "OCUPACAO.dbf",
                          "STATUS.dbf"})
        EXPECT_TRUE(exists(prog + f)) << f;
    // Only the folder list is left open, alone.
    EXPECT_TRUE(after.exclusive());
    EXPECT_EQ(ws().table(41), nullptr);
    EXPECT_TRUE(term->snapshots.empty()) << "an alert was shown";
}

TEST_F(CatalogTest, ListOfVanishedFoldersFallsBackToTheProgramFolder) {
    ASSERT_TRUE(CRIA("50", prog + "DIRET01.dbf"));
    {
        tb::Workspace w;
        tb::Table& t = w.use_in(1, prog + "DIRET01.dbf", {});
        ASSERT_TRUE(t.append_blank());
        t.put("DIRETOR", rt::Value(root + "/gone"));
        t.put("SELEC", rt::Value("S"));
        t.commit();
    }
    ASSERT_TRUE(ABERTURA(0));
    tb::Table& list = area(50);
    std::vector<std::string> left;
    for (list.go_top(); !list.eof(); list.skip(1))
        left.push_back(rt::TRIM(list.get("SELEC").as_string()) + rt::TRIM(list.get("DIRETOR").as_string()));
    EXPECT_EQ(left, std::vector<std::string>{"S" + without_separator(prog)});
}

TEST_F(CatalogTest, SecondCopyOnTheSameTerminalCannotStart) {
    ASSERT_TRUE(ABERTURA(50));
    ws().close_all();
    tb::Workspace other;   // the first copy, holding its folder list
    tb::OpenOptions opt;
    opt.exclusive = true;
    other.use_in(1, prog + "DIRET01", opt);
    EXPECT_FALSE(ABERTURA(0));
    EXPECT_TRUE(failed_in_use());
    other.close_all();
    EXPECT_TRUE(ABERTURA(0));
}

TEST_F(CatalogTest, CloseHelpersLeaveTheRegister) {
    for (int code : {1, 2, 9}) ASSERT_TRUE(ABERTURA(code));
    ASSERT_TRUE(ABREARQ(21, true, client + "TMP_0101", ""));
    ASSERT_TRUE(ABREARQ(40, true, client + "TMP_2001", ""));
    FECHA_PROV();
    EXPECT_EQ(ws().table(21), nullptr);
    EXPECT_EQ(ws().table(40), nullptr);
    EXPECT_NE(ws().table(1), nullptr);
    FECHA_TODO();
    EXPECT_EQ(ws().table(1), nullptr);
    EXPECT_EQ(ws().table(2), nullptr);
    EXPECT_NE(ws().table(9), nullptr);
}

TEST_F(CatalogTest, CdxDeletesOnlyEmptyIndexFiles) {
    rt::variables().set("ROTA", rt::Value(client));
    std::ofstream(client + "EMPTY.CDX").close();
    std::ofstream(client + "lower.cdx").close();
    std::ofstream(client + "FULL.CDX") << "x";
    std::ofstream(client + "EMPTY.DBF").close();
    CDX();
    EXPECT_FALSE(exists(client + "EMPTY.CDX"));
    EXPECT_FALSE(exists(client + "lower.cdx"));
    EXPECT_TRUE(exists(client + "FULL.CDX"));
    EXPECT_TRUE(exists(client + "EMPTY.DBF"));
}

TEST_F(CatalogTest, SkippedCountsWhatItMoved) {
    ASSERT_TRUE(ABERTURA(3));
    EXPECT_EQ(SKIPPED(1, false), 0);   // empty table
    tb::Table& t = area(3);
    for (const char* cpf : {"1", "2", "3"}) {
        ASSERT_TRUE(ADD_REC(1));
        t.put("CPF", rt::Value(cpf));
        t.unlock();
    }
    t.go_top();
    EXPECT_EQ(SKIPPED(0, false), 0);
    EXPECT_EQ(SKIPPED(5, false), 2);
    EXPECT_EQ(rt::TRIM(t.get("CPF").as_string()), "3");
    EXPECT_FALSE(t.eof());
    EXPECT_EQ(SKIPPED(1, true), 1);   // onto the phantom end record
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(SKIPPED(3, true), 0);   // nothing lies beyond it
    EXPECT_TRUE(t.eof());
    t.go_bottom();
    EXPECT_EQ(SKIPPED(-5, false), -2);
    EXPECT_EQ(rt::TRIM(t.get("CPF").as_string()), "1");
}

TEST_F(CatalogTest, ProgressMessagesOnlyWhenAsked) {
    PresentRecording& shown = record_presents();
    ASSERT_TRUE(ABERTURA(14));
    EXPECT_FALSE(shown.showed("Verificando"));
    EXPECT_FALSE(shown.showed("Criando o"));
    rt::variables().set("MOS_MENS", rt::Value(true));
    ASSERT_TRUE(ABERTURA(15));
    // The file is named with its folder, as the opening was given it; the
    // box is cleared when the opening ends.
    EXPECT_TRUE(shown.showed("Criando o indice " + client + "IMP1512.cdx"));
    EXPECT_FALSE(screen_has("Criando"));
    EXPECT_DOUBLE_EQ(rt::variables().get("TAM_OLD").as_number(), 0);
    EXPECT_DOUBLE_EQ(rt::variables().get("COR_PISCA").as_number(), 128);
    ASSERT_TRUE(ABERTURA(56));
    EXPECT_FALSE(screen_has("Criando"));
    EXPECT_TRUE(ws().deleted_hidden());
}

}  // namespace
}  // namespace qv::tables::testing
