// Client data folders: switching the selection, opening registers,
// creating folders, finding a taxpayer elsewhere, status descriptions.
#include <filesystem>
#include <fstream>

#include "common/windows.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "tables/folders.hpp"
#include "tables/opening.hpp"
#include "tables_fixture.hpp"

namespace qv::tables::testing {
namespace {

namespace fs = std::filesystem;
namespace tb = rt::table;
using namespace rt::literals;

class FolderTest : public TablesTest {
protected:
    void SetUp() override {
        TablesTest::SetUp();
        a = root + "/escritorio/a";
        b = root + "/escritorio/b";
        c = root + "/escritorio/c";
        for (const auto& f : {a, b, c}) fs::create_directories(f);
        set_client_folder(a);
        // The terminal's settings record.
        ASSERT_TRUE(ABERTURA(42));
        tb::Table& config = *ws().table(42);
        ASSERT_TRUE(ADD_REC(1));
        config.put("NRO_TERM", rt::Value("01"));
        config.unlock();
        // The folder list: a selected, b, c.
        ASSERT_TRUE(ABERTURA(50));
        tb::Table& list = *ws().table(50);
        list.go_top();
        ASSERT_TRUE(REC_LOCK(1));
        list.put("DIRETOR", rt::Value(a));
        list.unlock();
        for (const auto& f : {b, c}) {
            ASSERT_TRUE(ADD_REC(1));
            list.put("DIRETOR", rt::Value(f));
            list.put("SELEC", rt::Value("N"));
            list.unlock();
        }
    }
    void register_in(const std::string& folder, const std::string& cpf, const std::string& name) {
        const std::string saved = client_folder();
        set_client_folder(folder);
        ASSERT_TRUE(ABERTURA(9));
        tb::Table& reg = *ws().table(9);
        ASSERT_TRUE(ADD_REC(1));
        reg.put("CPF", rt::Value(cpf));
        reg.put("NOMECONTR", rt::Value(name));
        reg.unlock();
        ws().close(9);
        set_client_folder(saved);
    }
    // The folders marked selected, in list order.
    std::vector<std::string> selected() {
        std::vector<std::string> out;
        tb::Table& list = *ws().table(50);
        const auto here = list.recno();
        for (list.go_top(); !list.eof(); list.skip(1))
            if (list.get("SELEC").as_string() == "S") out.push_back(rt::TRIM(list.get("DIRETOR").as_string()));
        list.go_to(here);
        return out;
    }
    void go_to_folder(const std::string& folder) {
        tb::Table& list = *ws().table(50);
        ws().select(50);
        for (list.go_top(); !list.eof(); list.skip(1))
            if (rt::TRIM(list.get("DIRETOR").as_string()) == folder) return;
        FAIL() << folder << " is not listed";
    }
    std::string var(const char* name) { return rt::variables().get(name).as_string(); }

    std::string a, b, c;
};

TEST_F(FolderTest, SelectingAFolderClearsEveryOtherMark) {
    go_to_folder(b);
    ASSERT_TRUE(TROCASIM(1));
    EXPECT_EQ(selected(), std::vector<std::string>{b});
    EXPECT_EQ(client_folder(), b + "/");
    EXPECT_EQ(var("ROTADOANO"), b);
    EXPECT_EQ(var("ROTA"), b);
    // The register of the new folder is open in area 9, in name order.
    ASSERT_NE(ws().table(9), nullptr);
    EXPECT_TRUE(exists(b + "/IMP0912.dbf"));
    EXPECT_EQ(ws().table(9)->order(), 2);
    EXPECT_EQ(fs::path(ws().table(9)->path()).parent_path(), fs::path(b));
    // ... and remembered in the terminal's settings.
    ASSERT_TRUE(ABERTURA(42));
    ASSERT_TRUE(ws().table(42)->seek(rt::Value("01")));
    EXPECT_EQ(rt::TRIM(ws().table(42)->get("ROTADOANO").as_string()), b);
}

TEST_F(FolderTest, OtherModesOnlyClearTheOtherMarks) {
    go_to_folder(c);
    tb::Table& list = *ws().table(50);
    ASSERT_TRUE(REC_LOCK(1));
    list.put("SELEC", rt::Value("S"));
    list.unlock();
    go_to_folder(b);
    ASSERT_TRUE(TROCASIM(2));
    EXPECT_TRUE(selected().empty());
    EXPECT_EQ(client_folder(), a + "/");
    EXPECT_TRUE(exists(a + "/IMP0912.dbf"));
}

TEST_F(FolderTest, VanishedFolderRefusedLeavesTheSelection) {
    fs::remove_all(c);
    go_to_folder(c);
    term->feed('N');
    EXPECT_FALSE(TROCASIM(1));
    EXPECT_EQ(selected(), std::vector<std::string>{a});
    EXPECT_TRUE(term->showed("Diretório novo para  QV2012? Cria-o ?"));
    EXPECT_FALSE(exists(c));
}

TEST_F(FolderTest, VanishedFolderCreatedOnRequest) {
    fs::remove_all(c);
    go_to_folder(c);
    term->feed('S');
    EXPECT_TRUE(TROCASIM(1));
    EXPECT_TRUE(fs::is_directory(c));
    EXPECT_EQ(selected(), std::vector<std::string>{c});
}

TEST_F(FolderTest, NestedFolderIsCreatedLevelByLevel) {
    const std::string deep = root + "/x/y/z";
    term->feed('S');
    EXPECT_TRUE(CRI_NDIR(deep + "/", " QV2012"));
    EXPECT_TRUE(fs::is_directory(root + "/x"));
    EXPECT_TRUE(fs::is_directory(deep));
    EXPECT_TRUE(CRI_NDIR(deep, " QV2012"));   // exists: no question
    EXPECT_EQ(term->pending(), 0u);
}

TEST_F(FolderTest, MudadirOpensTheRegisterOnTheCurrentTaxpayer) {
    register_in(b, "55555555555", "Maria");
    rt::variables().set("CPF", rt::Value("55555555555"));
    ASSERT_TRUE(MUDADIR(b + "/"));
    EXPECT_EQ(rt::TRIM(var("NOMECONTR")), "Maria");
    EXPECT_EQ(ws().table(9)->order_count(), 3);
    term->feed('N');
    EXPECT_FALSE(MUDADIR(root + "/nowhere/"));
}

// A removable disk holding a folder can be taken out once the clerk has
// gone to another folder: nothing of the folder left stays mapped.
TEST_F(FolderTest, AFolderLeftKeepsNoMappingOfItsRegister) {
    for (int i = 0; i < 100; ++i) register_in(a, std::to_string(10000000000LL + i), "Nome");
    const auto mapped = [&] {
        std::ifstream maps("/proc/self/maps");
        std::string line;
        while (std::getline(maps, line))
            if (line.find(a + "/IMP0912.") != std::string::npos) return true;
        return false;
    };
    ASSERT_TRUE(MUDADIR(a + "/"));
    tb::Table& reg = *ws().table(9);
    for (reg.go_top(); !reg.eof(); reg.skip(1)) {
    }
    ASSERT_TRUE(MUDADIR(a + "/"));   // the same folder: the register's mapping serves again
    EXPECT_TRUE(mapped());
    ASSERT_TRUE(MUDADIR(b + "/"));
    EXPECT_FALSE(mapped());
}

TEST_F(FolderTest, TaxpayerInAnotherFolderSelectsThatFolder) {
    register_in(a, "11111111111", "Ana");
    register_in(c, "99999999999", "Zilda");
    rt::variables().set("CPF", rt::Value("99999999999"));
    ASSERT_TRUE(BUSCA_OUTRO("M->CPF", 1, 1));
    EXPECT_EQ(client_folder(), c + "/");
    EXPECT_EQ(rt::TRIM(var("NOMECONTR")), "Zilda");
    EXPECT_EQ(selected(), std::vector<std::string>{c});
    EXPECT_EQ(ws().selected(), 9);
    EXPECT_EQ(ws().table(9)->get("CPF").as_string(), "99999999999");
    EXPECT_EQ(rt::TRIM(var("DIRORIG")), a + "/");
}

TEST_F(FolderTest, SpouseFoundElsewhereKeepsTheSelection) {
    register_in(a, "11111111111", "Ana");
    register_in(b, "77777777777", "Conjuge");
    rt::variables().set("CPFCONJU", rt::Value("77777777777"));
    ASSERT_TRUE(BUSCA_OUTRO("M->CPFCONJU", 1, 2));
    EXPECT_EQ(selected(), std::vector<std::string>{a});
    EXPECT_EQ(fs::path(ws().table(9)->path()).parent_path(), fs::path(b));
}

TEST_F(FolderTest, NobodyFoundReturnsToTheFirstFolder) {
    register_in(a, "11111111111", "Ana");
    register_in(b, "22222222222", "Bia");
    rt::variables().set("CPF", rt::Value("88888888888"));
    EXPECT_FALSE(BUSCA_OUTRO("M->CPF", 1, 1));
    EXPECT_EQ(client_folder(), a + "/");
    EXPECT_EQ(var("NOMECONTR"), std::string(53, ' '));
    EXPECT_EQ(fs::path(ws().table(9)->path()).parent_path(), fs::path(a));
    EXPECT_EQ(ws().table(9)->order(), 1);
    EXPECT_EQ(selected(), std::vector<std::string>{a});
}

TEST_F(FolderTest, StatusDescriptions) {
    EXPECT_EQ(VE_STAT(rt::Value(2), 3).as_string(), "Em digitação"_cp + " ");
    EXPECT_EQ(ws().selected(), 9);
    EXPECT_EQ(VE_STAT(rt::Value(55), 3).as_string(), std::string(13, ' '));
    EXPECT_EQ(var("DESCRTATUS"), std::string(13, ' '));
    EXPECT_EQ(rt::TRIM(VE_STAT(rt::Value(9), 4).as_string()), "Pronta");
    EXPECT_EQ(ws().selected(), 29);
    int picked = 0;
    set_status_pick_list([&] { ++picked; });
    EXPECT_TRUE(VE_STAT(rt::Value(7), 5).as_bool());
    EXPECT_EQ(picked, 0);
    EXPECT_TRUE(VE_STAT(rt::Value(42), 5).as_bool());
    EXPECT_EQ(picked, 1);
    set_status_pick_list({});
    EXPECT_FALSE(rt::variables().get("MOS_MENS").as_bool());
}

TEST_F(FolderTest, UnknownStatusNeedsThePickListAndShowsTheChosenOne) {
    EXPECT_FALSE(VE_STAT(rt::Value(77), 5).as_bool()) << "no pick list: the code stays refused";
    rt::Value rows = rt::Value::array(3), cols = rt::Value::array(3);
    for (auto& v : *rows.as_array()) v = rt::Value(4);
    for (auto& v : *cols.as_array()) v = rt::Value(10);
    rt::variables().set("ALJ", rows);
    rt::variables().set("ACJ", cols);
    rt::variables().set("NT", rt::Value(3));
    // The pick list leaves the status table on the chosen status.
    set_status_pick_list([] { ws().table(66)->seek(rt::Value(7)); });
    EXPECT_TRUE(VE_STAT(rt::Value(77), 1).as_bool());
    set_status_pick_list({});
    EXPECT_EQ(rt::TRIM(term->text(5).substr(37)), "Transmitida");
}

TEST_F(FolderTest, ProgressBarStopsGrowingAt45) {
    common::DEFINEJAN(3, 7, 7, 7, 2, 2, 20, 78, 2);
    common::ABREJAN(3);
    MOSTRADOR(40, 1);
    EXPECT_EQ(var("TAM_CALC").size(), 40u);
    MOSTRADOR(10, 1);
    EXPECT_EQ(var("TAM_CALC").size(), 50u);
    MOSTRADOR(10, 1);
    EXPECT_EQ(var("TAM_CALC").size(), 50u);
    EXPECT_EQ(rt::cell_at(2 + 5 - 1, 2 + 26 - 1).ch, 0xB0);
}

}  // namespace
}  // namespace qv::tables::testing
