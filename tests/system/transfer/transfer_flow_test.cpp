// Sending a declaration to the tax program's folder: the file in its CPF
// folder, the index item, a busy index and a failed copy.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>

#include "common/avisosn.hpp"
#include "common/windows.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/table/table.hpp"
#include "system/system_fixture.hpp"
#include "tables/schemas.hpp"
#include "transfer/index_recovery.hpp"
#include "transfer/index_text.hpp"
#include "transfer/shared_file.hpp"
#include "transfer/transfer_flow.hpp"

namespace qv::transfer {
namespace {

namespace fs = std::filesystem;
using rt::operator""_cp;

class TransferFlowTest : public test_support::ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        fs::create_directories(work);
        auto& v = rt::variables();
        v.set("LOCTRAB", rt::Value(work));
        v.set("LOCIRPF", rt::Value(irpf));
        v.set("NUSU", rt::Value("01"));
        v.set("CPF", rt::Value("11144477735"));
        v.set("NOMECONTR", rt::Value("MARIA DA SILVA"));
        v.set("OPCAO_1", rt::Value(63));
    }
    void TearDown() override {
        set_busy_pause({});
        ScreenTest::TearDown();
    }
    std::string read(const std::string& path) { return read_whole_file(path).value_or("<missing>"); }
    int items_of(const std::string& cpf) {
        int n = 0;
        for (const auto& tag : index_tags(read(index)))
            if (item_cpf(tag) == cpf) ++n;
        return n;
    }

    test_support::TempFolder folder{"qvtransfer"};
    std::string work = folder.path() + "/work/";
    std::string irpf = folder.path() + "/irpf/";
    std::string index = irpf + "iddeclaracoes.xml";
    std::string placed = irpf + "11144477735/11144477735.XML";
};

TEST_F(TransferFlowTest, FirstTransferPlacesTheFileAndStartsTheIndex) {
    ASSERT_EQ(transfer_declaration(), TransferOutcome::Sent);
    EXPECT_EQ(read(placed), read(work + "Decla01.XML"));
    const std::string text = read(index);
    EXPECT_TRUE(text.starts_with(R"(<?xml version="1.0" encoding="UTF-8"?><classe xmlns=")")) << text;
    EXPECT_TRUE(text.ends_with("/></classe>")) << text;
    EXPECT_EQ(items_of("111.444.777-35"), 1);
}

TEST_F(TransferFlowTest, SecondTransferKeepsOneItemAtTheEnd) {
    fs::create_directories(irpf);
    std::ofstream(index) << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<classe xmlns=\"x\">\n"
                            "  <item cpf=\"111.444.777-35\" nome=\"ANTIGO NOME MAIS LONGO\"/>\n"
                            "  <item cpf=\"222.333.444-05\" nome=\"OUTRO\"/>\n</classe>\n";
    ASSERT_EQ(transfer_declaration(), TransferOutcome::Sent);
    EXPECT_EQ(items_of("111.444.777-35"), 1);
    EXPECT_EQ(items_of("222.333.444-05"), 1);
    const auto tags = index_tags(read(index));
    ASSERT_GE(tags.size(), 3u);
    EXPECT_EQ(item_cpf(tags[tags.size() - 2]), "111.444.777-35");
    EXPECT_TRUE(read(index).ends_with("</classe>"));
}

TEST_F(TransferFlowTest, BusyIndexLeavesEverythingAsItWas) {
    fs::create_directories(irpf);
    std::ofstream(index) << "<classe xmlns=\"x\"></classe>";
    int error = 0;
    auto other = HeldFile::try_hold(index, false, error);
    ASSERT_TRUE(other);
    set_busy_pause([] {});
    EXPECT_EQ(transfer_declaration(), TransferOutcome::NotGenerated);
    EXPECT_FALSE(fs::exists(placed));
    EXPECT_EQ(read(index), "<classe xmlns=\"x\"></classe>");
    EXPECT_TRUE(term->showed("Registro não disponível"));
}

TEST_F(TransferFlowTest, FailedCopyLeavesTheOldFileAndTheOldIndex) {
    fs::create_directories(irpf + "11144477735");
    std::ofstream(placed) << "old declaration";
    std::ofstream(index) << "<classe xmlns=\"x\"></classe>";
    // The copy's temporary name is taken by a folder: the copy cannot be written.
    fs::create_directories(placed + ".tmp01");
    keys({rt::key::ENTER});
    EXPECT_EQ(transfer_declaration(), TransferOutcome::NotPlaced);
    EXPECT_EQ(read(placed), "old declaration");
    EXPECT_EQ(read(index), "<classe xmlns=\"x\"></classe>");
}

// A declaration whose statement cannot be stored back (its work copy is
// read-only) cannot be computed: nothing is generated or placed, and a walk
// names it in its notices.
TEST_F(TransferFlowTest, DeclarationThatCannotBeComputedIsNotSent) {
    const std::string copy = work + "TMP_27.DBF";
    rt::table::create_table(copy, *tables::schema_of(27), rt::table::MemoKind::None);
    {
        rt::table::OpenOptions write;
        write.exclusive = true;
        tables::ws().use_in(27, copy, write);
        rt::table::Table& t = *tables::ws().table(27);
        ASSERT_TRUE(t.append_blank());
        t.put("CPF", rt::Value("11144477735"));
        t.put("TIPO_BEM", rt::Value(4.0));
        t.put("DAY_TRADE", rt::Value("1"));
        t.put("RVAR_NRO", rt::Value(1.0));
        t.put("REC_MES04", rt::Value(150.0));
        t.commit();
        tables::ws().close(27);
    }
    rt::table::OpenOptions read_only;
    read_only.read_only = true;
    tables::ws().use_in(27, copy, read_only);
    std::vector<std::string> notices;
    {
        common::NoticesKept kept(notices);
        kept.about("111.444.777-35 MARIA DA SILVA");
        EXPECT_EQ(transfer_declaration(), TransferOutcome::NotGenerated);
    }
    EXPECT_FALSE(fs::exists(placed));
    EXPECT_FALSE(fs::exists(index));
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].rfind("111.444.777-35 MARIA DA SILVA: Não foi possível calcular a declaração:"_cp, 0), 0u)
        << notices[0];
}

TEST_F(TransferFlowTest, RecoveryTakesEveryCpfFolderWithItsIdentifier) {
    ASSERT_EQ(transfer_declaration(), TransferOutcome::Sent);
    // A second taxpayer whose file is named in lower case, an empty CPF
    // folder and folders that are no CPF.
    fs::create_directories(irpf + "22233344405");
    std::ofstream(irpf + "22233344405/22233344405.xml")
        << "<classe><copiaIdentificador cpf=\"222.333.444-05\" nome=\"OUTRO\"/></classe>";
    fs::create_directories(irpf + "33344455566");
    fs::create_directories(irpf + "backup");
    fs::create_directories(irpf + "1234567890");
    fs::remove(index);
    keys({rt::key::ENTER});   // "Sim"
    RECUP_INDICE();
    EXPECT_EQ(items_of("111.444.777-35"), 1);
    EXPECT_EQ(items_of("222.333.444-05"), 1);
    EXPECT_FALSE(fs::exists(irpf + "33344455566"));
    EXPECT_TRUE(fs::exists(irpf + "backup"));
    EXPECT_TRUE(read(index).starts_with("<classe xmlns="));
    EXPECT_TRUE(read(index).ends_with("</classe>"));
}

}  // namespace
}  // namespace qv::transfer

#include "runtime/table/table.hpp"
#include "runtime/table/workspace.hpp"
#include "tables/opening.hpp"
#include "runtime/core/functions.hpp"
#include "transfer/transfer_routines.hpp"

namespace qv::transfer {
namespace {

class PreparaTest : public test_support::FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        auto& v = rt::variables();
        v.set("LOCTRAB", rt::Value(root + "/work/"));
        v.set("LOCIRPF", rt::Value(root + "/irpf/"));
        v.set("CPF", rt::Value("11144477735"));
        v.set("NOMECONTR", rt::Value("MARIA DA SILVA"));
        v.set("OPCAO_1", rt::Value(63));
        v.set("ENV_STAT", rt::Value(1));
        v.set("OPC_TRAN", rt::Value(7));
        std::filesystem::create_directories(root + "/work");
        ASSERT_TRUE(tables::ABERTURA(9));
        rt::table::Table& reg = *tables::ws().table(9);
        ASSERT_TRUE(reg.append_blank());
        reg.put("CPF", rt::Value("11144477735"));
        reg.put("ESTATUS", rt::Value(2));
        reg.commit();
        reg.unlock();
    }
    double status() {
        rt::table::Table& reg = *tables::ws().table(9);
        reg.go_top();
        return reg.get("ESTATUS").as_number();
    }
    std::string placed() const { return root + "/irpf/11144477735/11144477735.XML"; }
};

// Other expenses of 10,00 and no resources: the cash balance, computed
// before the question, is negative.
TEST_F(PreparaTest, NegativeCashIsSentOnlyWhenTheUserConfirms) {
    rt::variables().set("OUTRDES", rt::Value(10.0));
    keys({rt::key::RIGHT, rt::key::ENTER});   // "Não"
    EXPECT_FALSE(PREPARA());
    EXPECT_FALSE(exists(placed()));
    EXPECT_EQ(status(), 2);
    keys({rt::key::ENTER, rt::key::ENTER});   // "Sim", then the notice
    EXPECT_TRUE(PREPARA());
    EXPECT_TRUE(exists(placed()));
    EXPECT_TRUE(term->showed("A declaração foi transferida para o programa da receita!"));
    EXPECT_EQ(status(), 7);
}

TEST_F(PreparaTest, BlankTaxProgramFolderSendsNothing) {
    rt::variables().set("LOCIRPF", rt::Value(""));
    keys({rt::key::ENTER});
    EXPECT_TRUE(PREPARA());
    EXPECT_TRUE(term->showed("Preencha em Env Receita o Local onde está o programa")) << term->all_snapshots();
    EXPECT_EQ(status(), 2);
}

TEST_F(PreparaTest, WorkFileThatCannotBeCreatedShowsWhyAndSendsNothing) {
    rt::variables().set("LOCTRAB", rt::Value(root + "/missing/"));
    keys({rt::key::ENTER, rt::key::ENTER});
    EXPECT_TRUE(PREPARA());
    EXPECT_TRUE(term->showed("Erro! Caminho não encontrado")) << term->all_snapshots();
    EXPECT_TRUE(term->showed("Os dados não foram transferidos para o programa da receita!"));
    EXPECT_FALSE(exists(placed()));
    EXPECT_FALSE(exists(root + "/irpf/iddeclaracoes.xml"));
    EXPECT_EQ(status(), 2);
}

TEST_F(PreparaTest, WindowsFolderOfAnOlderVersionCountsAsBlank) {
    rt::variables().set("LOCIRPF", rt::Value("C:\\Arquivos de programas\\IRPF2012\\"));
    EXPECT_EQ(tax_program_folder(), "");
}

TEST_F(PreparaTest, RecoveryTakesTheIdentifierOfAFileWithoutOneFromTheRegister) {
    {
        rt::table::Table& reg = *tables::ws().table(9);
        reg.go_top();
        ASSERT_TRUE(reg.rlock());
        reg.put("NOMECONTR", rt::Value("JOSE DO REGISTRO"));
        reg.put("RETIFICA", rt::Value("S"));
        reg.commit();
        reg.unlock();
    }
    const std::string folder = root + "/irpf/11144477735/";
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "11144477735.XML") << "<classe><contribuinte a=\"1\"/></classe>";
    keys({rt::key::ENTER});
    RECUP_INDICE();
    const std::string index = read_whole_file(root + "/irpf/iddeclaracoes.xml").value_or("");
    EXPECT_NE(index.find(R"(<item cpf="111.444.777-35")"), std::string::npos) << index;
    EXPECT_NE(index.find(R"(declaracaoRetificadora="1")"), std::string::npos) << index;
    EXPECT_NE(index.find(R"(nome="JOSE DO REGISTRO")"), std::string::npos) << index;
    const std::string repaired = read_whole_file(folder + "11144477735.XML").value_or("");
    EXPECT_TRUE(repaired.starts_with(R"(<classe><contribuinte a="1"/><copiaIdentificador cpf="111.444.777-35")")) << repaired;
    EXPECT_TRUE(repaired.ends_with("/></classe>")) << repaired;
}

// The copy's folder goes on the box's progress line, over the load's: the
// box's heading and the taxpayer stay as the clerk chose them.
TEST_F(PreparaTest, TheTaxpayerBoxKeepsItsRowsWhileTheFileIsCopied) {
    rt::call_routine("MTELA3", {rt::Value(3)});
    rt::call_routine("MOSTR_PAG", {rt::Value(2)});
    common::ESCRLCOL(3, 5, 2, "Reprocessando os dados.." + std::string(45, '\xB0'));
    keys({rt::key::ENTER});   // the notice
    EXPECT_TRUE(PREPARA());
    const auto& shots = term->snapshots;
    const auto notice = std::find_if(shots.begin(), shots.end(), [](const std::string& shot) {
        return shot.find("A declaração foi transferida para o programa da receita!") != std::string::npos;
    });
    ASSERT_NE(notice, shots.end()) << term->all_snapshots();
    for (const std::string& text : {std::string("CPF              Nome"), std::string("111.444.777-35"),
                                    "Pasta " + root + "/irpf/"})
        EXPECT_NE(notice->find(text), std::string::npos) << text << "\n" << *notice;
    EXPECT_EQ(notice->find("Reprocessando"), std::string::npos) << *notice;
    EXPECT_EQ(notice->find("░"), std::string::npos) << *notice;
}

TEST_F(PreparaTest, RoutinesAnswerByName) {
    register_transfer_routines();
    for (const char* name : {"PREPARA", "GERAR", "DISQUETE", "RECUP_INDICE", "VEJAERRO"})
        EXPECT_TRUE(rt::has_function(name)) << name;
}

}  // namespace
}  // namespace qv::transfer
