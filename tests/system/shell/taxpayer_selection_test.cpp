// GET_CODIGO: the taxpayer chosen by CPF in the register, in the other
// folders of the terminal's list, or registered anew.
#include "common/windows.hpp"
#include "shell/taxpayer_selection.hpp"
#include "shell_fixture.hpp"
#include "tables/pick_lists.hpp"
#include "tables/register_views.hpp"

namespace qv::shell::testing {
namespace {

using namespace rt::literals;
namespace fs = std::filesystem;

// Valid CPFs (published check digits) in CPF order.
constexpr const char* kFirst = "11144477735";
constexpr const char* kSecond = "12345678909";
constexpr const char* kThird = "52998224725";

class TaxpayerTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        other = root + "/outra/";
        fs::create_directories(other);
        auto& v = rt::variables();
        v.set("CPF", rt::Value(rt::SPACE(11)));
        v.set("NOMECONTR", rt::Value(rt::SPACE(53)));
        v.set("OPCAO_1", rt::Value(11));
        v.set("LRECUPERA", rt::Value(false));
        v.set("RESP", rt::Value("N"));
        v.set("PVEZ", rt::Value(false));
        make_settings_records();
        // The folder list: the current folder, selected, and another one.
        ASSERT_TRUE(tables::ABERTURA(50));
        rt::table::Table& list = *tables::ws().table(50);
        list.go_top();
        if (list.eof()) {
            ASSERT_TRUE(tables::ADD_REC(1));
        } else {
            ASSERT_TRUE(tables::REC_LOCK(1));
        }
        list.put("DIRETOR", rt::Value(tables::without_separator(client)));
        list.put("SELEC", rt::Value("S"));
        list.unlock();
        ASSERT_TRUE(tables::ADD_REC(1));
        list.put("DIRETOR", rt::Value(tables::without_separator(other)));
        list.put("SELEC", rt::Value("N"));
        list.unlock();
        // The taxpayer box.
        common::DEFINEJAN(3, 30, 31, 63, 16, 1, 21, 78, 2);
        common::ABREJAN(3);
        // The look-up lists' taxpayer line, in place of any stand-in left by
        // other tests.
        rt::register_function("MOSTR_PAG", [](std::span<const rt::Value> a) {
            tables::MOSTR_PAG(a.empty() ? 2 : static_cast<int>(a[0].as_number()));
            return rt::Value();
        });
        register_fake("INIC_VAR", &FakeRoutines::inic_var);
        register_fake("FAZIMP", &FakeRoutines::fazimp);
        fakes().inic_var = [this](std::span<const rt::Value> args) {
            loads.push_back({static_cast<int>(args[0].as_number()), static_cast<int>(args[1].as_number())});
            return rt::Value(load_result);
        };
        fakes().fazimp = [this](std::span<const rt::Value>) {
            ++prints;
            return rt::Value();
        };
    }
    void open_register() {
        ASSERT_TRUE(tables::ABERTURA(9));
        tables::ws().table(9)->set_order(1);
        tables::ws().table(9)->go_top();
    }
    bool get_codigo() { return GET_CODIGO("M->CPF", "@r 999.999.999-99", 1, 2, 1, 1); }

    std::string other;
    std::vector<std::pair<int, int>> loads;
    int prints = 0;
    bool load_result = true;
};

TEST_F(TaxpayerTest, FindsARegisteredTaxpayer) {
    add_taxpayer(client, kSecond, "MARIA DA SILVA");
    open_register();
    type(kSecond);
    EXPECT_TRUE(get_codigo());
    EXPECT_EQ(var_text("RESP"), "N");
    EXPECT_FALSE(rt::variables().get("PVEZ").as_bool());
    EXPECT_EQ(rt::TRIM(var_text("NOMECONTR")), "MARIA DA SILVA");
    EXPECT_EQ(loads, (std::vector<std::pair<int, int>>{{1, 1}}));
    EXPECT_EQ(var_number("NT"), 3);
    // The taxpayer line of the box: the formatted CPF and the name.
    EXPECT_NE(term->text(17).find("123.456.789-09"), std::string::npos) << term->dump();
    EXPECT_NE(term->text(17).find("MARIA DA SILVA"), std::string::npos);
}

TEST_F(TaxpayerTest, TheFieldLiesAtTheOffsetPosition) {
    add_taxpayer(client, kSecond, "MARIA DA SILVA");
    open_register();
    type("123");
    keys({rt::key::ESC});
    EXPECT_FALSE(get_codigo());
    // Row 17 + 1, column 4 + 2 held the field, its typed digits under the mask.
    EXPECT_TRUE(term->showed("123.   .   -"));
    EXPECT_EQ(rt::row_text(18).substr(6, 12), "   .   .   -");
    EXPECT_NE(rt::cell_at(18, 6).attr, rt::cell_at(18, 5).attr);
    EXPECT_TRUE(loads.empty());
}

TEST_F(TaxpayerTest, WrongCpfIsRefusedWithTheCheckDigitAlert) {
    open_register();
    type("12345678900");
    keys({rt::key::ENTER, rt::key::ESC});
    EXPECT_FALSE(get_codigo());
    EXPECT_TRUE(term->showed("CPF está incorreto"));
    EXPECT_TRUE(term->showed("O dígito correto deve ser:09"));
    EXPECT_TRUE(loads.empty());
}

TEST_F(TaxpayerTest, NewTaxpayerIsIncludedOnYes) {
    open_register();
    type(kThird);
    keys({'S'});
    EXPECT_TRUE(get_codigo());
    EXPECT_TRUE(term->showed("Esse Contribuinte não está cadastrado"));
    EXPECT_EQ(var_text("RESP"), "S");
    EXPECT_TRUE(rt::variables().get("PVEZ").as_bool());
    EXPECT_EQ(loads, (std::vector<std::pair<int, int>>{{1, 0}}));
    // The register record is written only when the declaration is saved.
    EXPECT_FALSE(tables::ws().table(9)->seek(rt::Value(kThird)));
}

// The taxpayer of the last declaration stands on the line; a new CPF typed
// over it is asked about without that name beside it.
TEST_F(TaxpayerTest, ANewCpfIsAskedAboutWithoutTheLastTaxpayersName) {
    add_taxpayer(client, kSecond, "MARIA DA SILVA");
    open_register();
    rt::variables().set("CPF", rt::Value(kSecond));
    rt::variables().set("NOMECONTR", rt::Value(rt::PADR("MARIA DA SILVA", 53)));
    type(kThird);
    keys({'N'});
    EXPECT_FALSE(get_codigo());
    bool asked = false;
    for (const std::string& shot : term->snapshots) {
        if (shot.find("Inclui?") == std::string::npos) continue;
        asked = true;
        EXPECT_EQ(shot.find("MARIA DA SILVA"), std::string::npos) << shot;
    }
    EXPECT_TRUE(asked);
}

TEST_F(TaxpayerTest, NoToInclusionReturnsWithoutChange) {
    open_register();
    type(kThird);
    keys({'N'});
    EXPECT_FALSE(get_codigo());
    EXPECT_EQ(var_text("RESP"), "N");
    EXPECT_FALSE(rt::variables().get("PVEZ").as_bool());
    EXPECT_TRUE(loads.empty());
    EXPECT_EQ(tables::ws().table(9)->lastrec(), 0u);
}

TEST_F(TaxpayerTest, CheckAndPrintNeverOfferInclusion) {
    open_register();
    for (int id : {13, 51}) {
        rt::variables().set("OPCAO_1", rt::Value(id));
        term->snapshots.clear();
        type(kThird);
        keys({rt::key::ENTER});
        EXPECT_FALSE(get_codigo()) << id;
        EXPECT_TRUE(term->showed("O contribuinte não foi localizado em nenhum dos diretórios")) << id;
        EXPECT_FALSE(term->showed("Inclui?")) << id;
    }
    EXPECT_TRUE(loads.empty());
    EXPECT_EQ(prints, 0);
}

TEST_F(TaxpayerTest, PrintingAFoundTaxpayerPrintsWithoutLoading) {
    add_taxpayer(client, kFirst, "JOSE");
    open_register();
    rt::variables().set("OPCAO_1", rt::Value(51));
    type(kFirst);
    EXPECT_TRUE(get_codigo());
    EXPECT_EQ(prints, 1);
    EXPECT_TRUE(loads.empty());
}

TEST_F(TaxpayerTest, FailedLoadGivesUp) {
    add_taxpayer(client, kFirst, "JOSE");
    open_register();
    load_result = false;
    type(kFirst);
    EXPECT_FALSE(get_codigo());
}

TEST_F(TaxpayerTest, TaxpayerOfAnotherFolderIsOpenedThereWithoutAQuestion) {
    add_taxpayer(other, kSecond, "ANA EM OUTRA PASTA");
    open_register();
    type(kSecond);
    EXPECT_TRUE(get_codigo());
    EXPECT_FALSE(term->showed("Inclui?"));
    EXPECT_EQ(tables::with_separator(tables::client_folder()), tables::with_separator(other));
    EXPECT_EQ(rt::TRIM(var_text("NOMECONTR")), "ANA EM OUTRA PASTA");
    EXPECT_EQ(loads, (std::vector<std::pair<int, int>>{{1, 1}}));
}

TEST_F(TaxpayerTest, PgDnAndPgUpWalkTheRegister) {
    add_taxpayer(client, kFirst, "PRIMEIRO");
    add_taxpayer(client, kSecond, "SEGUNDO");
    add_taxpayer(client, kThird, "TERCEIRO");
    open_register();
    rt::variables().set("CPF", rt::Value(kFirst));
    // Down to the second, the third, past the end (stays), back to the second.
    keys({rt::key::PGDN, rt::key::PGDN, rt::key::PGDN, rt::key::PGUP, rt::key::ENTER});
    EXPECT_TRUE(get_codigo());
    EXPECT_EQ(var_text("CPF"), kSecond);
    EXPECT_EQ(rt::TRIM(var_text("NOMECONTR")), "SEGUNDO");
    EXPECT_TRUE(term->showed("TERCEIRO"));
    EXPECT_EQ(loads.size(), 1u);
}

TEST_F(TaxpayerTest, PgDnOnTheLastRecordKeepsIt) {
    add_taxpayer(client, kFirst, "PRIMEIRO");
    add_taxpayer(client, kSecond, "SEGUNDO");
    open_register();
    tables::ws().table(9)->go_bottom();
    rt::variables().set("CPF", rt::Value(kSecond));
    keys({rt::key::PGDN, rt::key::PGDN, rt::key::ENTER});
    EXPECT_TRUE(get_codigo());
    EXPECT_EQ(var_text("CPF"), kSecond);
    EXPECT_EQ(rt::TRIM(var_text("NOMECONTR")), "SEGUNDO");
}

TEST_F(TaxpayerTest, PgUpOnTheFirstRecordKeepsIt) {
    add_taxpayer(client, kFirst, "PRIMEIRO");
    add_taxpayer(client, kSecond, "SEGUNDO");
    open_register();
    rt::variables().set("CPF", rt::Value(kFirst));
    keys({rt::key::PGUP, rt::key::ENTER});
    EXPECT_TRUE(get_codigo());
    EXPECT_EQ(var_text("CPF"), kFirst);
    EXPECT_EQ(rt::TRIM(var_text("NOMECONTR")), "PRIMEIRO");
}

TEST_F(TaxpayerTest, RecoveryModeGoesOnWithoutTheRegister) {
    open_register();
    rt::variables().set("LRECUPERA", rt::Value(true));
    type(kThird);
    EXPECT_TRUE(get_codigo());
    EXPECT_EQ(var_text("CPF"), kThird);
    EXPECT_FALSE(term->showed("Inclui?"));
    EXPECT_EQ(loads, (std::vector<std::pair<int, int>>{{1, 1}}));
}

// The name search of an empty CPF reads the name on the taxpayer line of
// the box (window 3 at rows 16-21, columns 1-78: the name at row 17,
// column 19), in an empty field.
TEST_F(TaxpayerTest, NameSearchReadsTheNameOnTheTaxpayerLineAfresh) {
    add_taxpayer(client, kFirst, "JOSE ALVES");
    add_taxpayer(client, kSecond, "MARIA DA SILVA");
    open_register();
    rt::variables().set("NOMECONTR", rt::Value(rt::PADR("MARIA DA SILVA", 53)));
    keys({rt::key::ENTER});   // an empty CPF: the search by name
    type("JOSE");
    keys({rt::key::ENTER, rt::key::ESC});
    get_codigo();
    std::string asked;
    for (const std::string& shot : term->snapshots)
        if (shot.find("JOSE ") != std::string::npos) asked = shot;
    ASSERT_FALSE(asked.empty()) << term->all_snapshots();
    const std::string row17 = asked.substr(asked.find("\n17 |"), 100);
    EXPECT_NE(row17.find("JOSE                "), std::string::npos) << row17;
    EXPECT_EQ(row17.find("JOSEA"), std::string::npos) << row17;
    EXPECT_EQ(asked.find("\n01 |                  JOSE"), std::string::npos) << asked;
    EXPECT_EQ(var_text("CPF"), kFirst);
}

TEST_F(TaxpayerTest, EscInTheNameSearchChoosesNobody) {
    add_taxpayer(client, kFirst, "JOSE ALVES");
    open_register();
    keys({rt::key::ENTER});
    type("JO");
    keys({rt::key::ESC, rt::key::ESC});
    EXPECT_FALSE(get_codigo());
    EXPECT_TRUE(loads.empty());
    EXPECT_EQ(rt::TRIM(var_text("CPF")), "");
}

// The prompt opens on a blank CPF with a name some other option left
// behind: the line shows no name without its CPF.
TEST_F(TaxpayerTest, ANameWithoutItsCpfIsNotShown) {
    add_taxpayer(client, kFirst, "JOSE ALVES");
    open_register();
    rt::variables().set("NOMECONTR", rt::Value(rt::PADR("JOSE ALVES", 53)));
    keys({rt::key::ESC});
    EXPECT_FALSE(get_codigo());
    ASSERT_FALSE(term->snapshots.empty());
    EXPECT_EQ(term->snapshots.front().find("JOSE"), std::string::npos) << term->snapshots.front();
}

// A taxpayer shown with PgDn, another chosen in the register list (F1):
// the line and the field show the chosen one, CPF and name together.
TEST_F(TaxpayerTest, TaxpayerChosenInTheListIsShownWhole) {
    add_taxpayer(client, kFirst, "JOSE ALVES");
    add_taxpayer(client, kSecond, "MARIA DA SILVA");
    open_register();
    tables::ws().table(9)->set_order(2);
    tables::ws().table(9)->go_top();
    rt::register_function("MOSTR_PAG", [](std::span<const rt::Value> a) {
        tables::MOSTR_PAG(a.empty() ? 1 : static_cast<int>(a[0].as_number()));
        return rt::Value();
    });
    rt::SETKEY(rt::key::F1, [] { tables::GERAL5(); });
    rt::variables().set("CPF", rt::Value(kFirst));
    // PgDn shows MARIA; in the list (by name) Up goes to JOSE, Enter takes him.
    keys({rt::key::PGDN, rt::key::F1, rt::key::END, rt::key::UP, rt::key::ENTER, rt::key::ESC});
    get_codigo();
    rt::SETKEY(rt::key::F1, {});
    EXPECT_EQ(var_text("CPF"), kFirst);
    const std::string& last = term->snapshots.back();
    const std::string row17 = last.substr(last.find("\n17 |"), 90);
    EXPECT_NE(row17.find("111.444.777-35"), std::string::npos) << last;
    EXPECT_NE(row17.find("JOSE ALVES"), std::string::npos) << last;
    EXPECT_EQ(last.find("MARIA"), std::string::npos) << last;
}

// The register cut short while the prompt stands on it: the file is named,
// nobody is chosen, and the file is kept for repair.
TEST_F(TaxpayerTest, ARegisterCutUnderThePromptIsNamedAndNobodyChosen) {
    add_taxpayer(client, kFirst, "JOSE ALVES");
    add_taxpayer(client, kSecond, "MARIA DA SILVA");
    open_register();
    const rt::table::Table& reg = *tables::ws().table(9);
    const auto cut = static_cast<std::uintmax_t>(reg.header_len() + reg.record_len() + reg.record_len() / 2);
    fs::resize_file(client + "IMP0912.dbf", cut);
    type(kSecond);
    EXPECT_FALSE(get_codigo());
    EXPECT_TRUE(term->showed("IMP0912.dbf danificado")) << term->all_snapshots();
    EXPECT_EQ(fs::file_size(client + "IMP0912.dbf"), cut);
    EXPECT_TRUE(loads.empty());
}

}  // namespace
}  // namespace qv::shell::testing
