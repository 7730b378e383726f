// The delivered code tables: installed from the shipped lists, readable by
// code, and a missing one behaving as an empty table.
#include <cstdlib>
#include <filesystem>

#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "common/help.hpp"
#include "tables/opening.hpp"
#include "tables/reference_tables.hpp"
#include "tables_fixture.hpp"

namespace qv::tables::testing {
namespace {

namespace fs = std::filesystem;
namespace tb = rt::table;
using namespace rt::literals;

class ReferenceTest : public TablesTest {
protected:
    tb::Table& open(int code) {
        EXPECT_TRUE(ABERTURA(code)) << code;
        tb::Table* t = ws().table(code);
        if (!t) throw std::runtime_error("area " + std::to_string(code) + " closed");
        return *t;
    }
    std::string text(tb::Table& t, const char* field) { return rt::TRIM(t.get(field).as_string()); }
};

TEST_F(ReferenceTest, FreshInstallationOpensEveryReferenceTableSilently) {
    EXPECT_EQ(install_reference_tables(prog), 18);
    for (int code : {41, 45, 46, 47, 48, 49, 51, 55, 58, 59, 60, 61, 62, 64, 65, 66, 69}) {
        EXPECT_TRUE(ABERTURA(code)) << code;
        EXPECT_NE(ws().table(code), nullptr) << code;
    }
    EXPECT_TRUE(term->snapshots.empty()) << "an alert was shown";
    EXPECT_EQ(install_reference_tables(prog), 0);   // nothing missing any more
}

// The help texts shipped: every topic the help menu reaches (the general
// help, the functions and each screen of the declaration) has its text,
// and a topic without one says so.
TEST_F(ReferenceTest, ShippedHelpCoversEveryScreenAndSaysWhenATopicHasNone) {
    ASSERT_TRUE(build_reference_table(45, prog + "HELPTXT.dbf", reference_data_folder()));
    EXPECT_TRUE(exists(prog + "HELPTXT.dbt"));
    rt::variables().set("LTOHELP", rt::Value(false));
    std::vector<std::string> topics{"GERAL", "FUNCOES", "CPF", "TELA22", "TELA23"};
    for (int screen = 1; screen <= 17; ++screen) topics.push_back("TELA" + rt::STRZERO(screen, 2));
    for (const std::string& topic : topics) {
        SCOPED_TRACE(topic);
        term->snapshots.clear();
        keys({rt::key::ESC});
        common::TXT_HELP(topic);
        ASSERT_EQ(term->snapshots.size(), 1u);
        EXPECT_NE(term->snapshots[0].find("A J U D A"), std::string::npos) << term->snapshots[0];
        EXPECT_EQ(term->snapshots[0].find("Sem ajuda"), std::string::npos);
    }
    term->snapshots.clear();
    keys({rt::key::ENTER});
    common::TXT_HELP("NOMEAG");
    EXPECT_TRUE(term->showed("Sem ajuda para este tópico")) << term->all_snapshots();
    // The functions' help names the keys as the pages take them: Alt+S
    // opens the calculator and Alt+F2 the field's help.
    term->snapshots.clear();
    keys({rt::key::ESC});
    common::TXT_HELP("FUNCOES");
    EXPECT_TRUE(term->showed("Alt+S        calculadora")) << term->all_snapshots();
    EXPECT_TRUE(term->showed("Alt+F2 a ajuda do campo")) << term->all_snapshots();
    // The screen of the assets says what the screen is.
    term->snapshots.clear();
    keys({rt::key::ESC});
    common::TXT_HELP("TELA05");
    EXPECT_TRUE(term->showed("Declaração de bens e direitos")) << term->all_snapshots();
}

TEST_F(ReferenceTest, TablesAreBuiltOnFirstOpeningWhenMissing) {
    tb::Table& assets = open(46);
    EXPECT_TRUE(exists(prog + "CODBENS.dbf"));
    EXPECT_TRUE(exists(prog + "CODBENS.cdx"));
    ASSERT_TRUE(assets.seek(rt::Value(11)));
    EXPECT_EQ(text(assets, "DESCBENS"), "Apartamento");
    ASSERT_TRUE(assets.seek(rt::Value(1)));
    EXPECT_EQ(text(assets, "DESCBENS"), "Prédio residencial"_cp);   // CP850 inside
    EXPECT_EQ(assets.lastrec(), 50u);
}

TEST_F(ReferenceTest, CodeListsReadByTheirKeys) {
    tb::Table& payments = open(49);
    ASSERT_TRUE(payments.seek(rt::Value(50)));
    EXPECT_NE(text(payments, "DESCDOA").find("Previdência"_cp), std::string::npos);
    tb::Table& debts = open(48);
    EXPECT_EQ(debts.lastrec(), 6u);
    ASSERT_TRUE(debts.seek(rt::Value(11)));
    EXPECT_EQ(text(debts, "DESCDIV"), "Estabelecimento bancário comercial"_cp);
    tb::Table& dependants = open(47);
    EXPECT_TRUE(dependants.seek(rt::Value(21)));
    tb::Table& countries = open(60);
    ASSERT_TRUE(countries.seek(rt::Value("105")));
    EXPECT_EQ(text(countries, "NOMPAIS"), "Brasil");
}

TEST_F(ReferenceTest, OccupationsFitTheRegisterAndSeekByText) {
    tb::Table& occupations = open(58);
    EXPECT_TRUE(exists(prog + "OCUPACAB.cdx"));
    ASSERT_TRUE(occupations.seek(rt::Value("101")));
    EXPECT_EQ(occupations.get("OCUPACAO").as_string().size(), 69u);
    occupations.set_order(2);
    occupations.go_top();
    EXPECT_FALSE(occupations.eof());
    tb::Table& natures = open(59);
    EXPECT_TRUE(exists(prog + "CODNATB.cdx"));
    ASSERT_TRUE(natures.seek(rt::Value("01")));
    EXPECT_EQ(natures.get("DESCRAT").as_string().size(), 58u);
}

TEST_F(ReferenceTest, MunicipalitiesCarryTaxCodesAndTheStateRows) {
    tb::Table& munis = open(64);
    EXPECT_EQ(munis.lastrec(), 5565u + 28u);
    bool brasilia = false;
    int states = 0;
    for (munis.go_top(); !munis.eof(); munis.skip(1)) {
        const std::string uf = munis.get("UNIFED").as_string();
        const std::string name = text(munis, "NOMEMUNI");
        if (rt::TRIM(uf).empty()) {
            ++states;
            EXPECT_EQ(name.substr(3, 1), "-") << name;   // "SP - São Paulo"
        }
        if (munis.get("NROMUNI").as_string() == "9701") {
            brasilia = true;
            EXPECT_EQ(name, "Brasília"_cp);
            EXPECT_EQ(uf, "DF");
        }
    }
    EXPECT_TRUE(brasilia);
    EXPECT_EQ(states, 28);
}

TEST_F(ReferenceTest, SelicRatesByYearAndMonth) {
    tb::Table& selic = open(51);
    ASSERT_TRUE(selic.seek(rt::Value("201102")));
    EXPECT_DOUBLE_EQ(selic.get("TJM").as_number(), 0.84);
    EXPECT_EQ(selic.get("SIMB_MOED").as_string(), "R$  ");
    ASSERT_TRUE(selic.seek(rt::Value("201103")));
    EXPECT_DOUBLE_EQ(selic.get("TJM").as_number(), 0.92);
}

TEST_F(ReferenceTest, BanksStreetTypesAndStatuses) {
    tb::Table& banks = open(55);
    EXPECT_TRUE(exists(prog + "BANCOSB.cdx"));
    ASSERT_TRUE(banks.seek(rt::Value("001")));
    EXPECT_EQ(text(banks, "NOMEBAN"), "Banco do Brasil S.A.");
    EXPECT_GE(banks.field_index("OK"), 0);
    tb::Table& streets = open(65);
    ASSERT_TRUE(streets.seek(rt::Value("RUA")));
    EXPECT_EQ(text(streets, "NOMELOGRA"), "Rua");
    tb::Table& status = open(66);
    for (int code : {2, 7, 9}) EXPECT_TRUE(status.seek(rt::Value(code))) << code;
}

TEST_F(ReferenceTest, InstalledTablesAreNotOverwritten) {
    tb::Table& status = open(66);
    ASSERT_TRUE(status.seek(rt::Value(2)));
    ASSERT_TRUE(REC_LOCK(1));
    status.put("DESCRICAO", rt::Value("Digitando"));
    status.unlock();
    ws().close_all();
    install_reference_tables(prog);
    tb::Table& again = open(66);
    ASSERT_TRUE(again.seek(rt::Value(2)));
    EXPECT_EQ(text(again, "DESCRICAO"), "Digitando");
}

TEST_F(ReferenceTest, MissingListLeavesAnEmptyTableAfterTheAlert) {
    const std::string empty = root + "/nolists";
    fs::create_directories(empty);
    ::setenv("QV_DATA", empty.c_str(), 1);
    EXPECT_EQ(reference_data_folder(), "");
    EXPECT_TRUE(ABERTURA(46));
    EXPECT_TRUE(term->showed("Arquivo CODBENS.dbf não localizado!"));
    tb::Table* assets = ws().table(46);
    ASSERT_NE(assets, nullptr);
    EXPECT_EQ(assets->lastrec(), 0u);
    EXPECT_FALSE(assets->seek(rt::Value(11)));
    EXPECT_TRUE(assets->eof());
    EXPECT_GE(assets->field_index("DESCBENS"), 0);
    EXPECT_FALSE(exists(prog + "CODBENS.dbf"));
    // A list with a second order behaves the same.
    EXPECT_TRUE(ABERTURA(55));
    ASSERT_NE(ws().table(55), nullptr);
    ws().table(55)->set_order(2);
    ws().table(55)->go_top();
    EXPECT_TRUE(ws().table(55)->eof());
    // The statuses need no list.
    EXPECT_TRUE(ABERTURA(66));
    EXPECT_TRUE(ws().table(66)->seek(rt::Value(9)));
}

}  // namespace
}  // namespace qv::tables::testing
