// Help texts from HELPTXT: no files, no help; a found text in window 8.
#include "common/help.hpp"

#include <filesystem>

#include "common/globals.hpp"
#include "common/windows.hpp"
#include "common_fixture.hpp"
#include "runtime/table/table.hpp"
#include "runtime/table/workspace.hpp"

namespace qv::common::testing {
namespace {

namespace tb = rt::table;

class CommonHelpTest : public CommonTest {
protected:
    void SetUp() override {
        CommonTest::SetUp();
        Global("ARQDEF").set(rt::Value(folder.path() + "/"));
        Global("LTOHELP").set(rt::Value(false));
    }
    void TearDown() override {
        tb::workspace().close_all();
        tb::workspace().select(1);
        CommonTest::TearDown();
    }
    void make_help(std::initializer_list<std::pair<std::string, std::string>> texts, bool indexed) {
        const std::string path = folder.path() + "/HELPTXT.DBF";
        tb::create_table(path, {{"NOME", 'C', 10, 0}, {"TEXTO", 'M', 10, 0}}, tb::MemoKind::Dbt);
        auto& ws = tb::workspace();
        tb::OpenOptions alone;
        alone.exclusive = true;   // the index is built with the table alone
        tb::Table& t = ws.use_in(60, path, alone);
        for (const auto& [key, text] : texts) {
            ASSERT_TRUE(t.append_blank());
            t.put("NOME", rt::Value(key));
            t.put("TEXTO", rt::Value(text));
        }
        if (indexed) t.index_on("UPPER(NOME)", "NOME");
        t.unlock();
        ws.close(60);
    }
    TempFolder folder;
};

std::string numbered_lines(int n) {
    std::string text;
    for (int i = 1; i <= n; ++i) text += "linha " + std::to_string(i) + "\r\n";
    return text;
}

TEST_F(CommonHelpTest, NoFilesNoHelp) {
    const std::string before = rt::SAVESCREEN();
    TXT_HELP("GERAL");
    EXPECT_TRUE(term->snapshots.empty());
    EXPECT_EQ(rt::SAVESCREEN(), before);
}

TEST_F(CommonHelpTest, MissingMemoFileMeansNoHelp) {
    make_help({{"GERAL", "texto"}}, false);
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        if (entry.path().extension() == ".dbt" || entry.path().extension() == ".DBT")
            std::filesystem::remove(entry.path());
    TXT_HELP("GERAL");
    EXPECT_TRUE(term->snapshots.empty());
}

TEST_F(CommonHelpTest, LongTextShowsInThirteenLinesAndScrolls) {
    make_help({{"FUNCOES", "funcoes"}, {"GERAL", numbered_lines(40)}}, true);
    tb::workspace().select(7);
    const std::string before = rt::SAVESCREEN();
    keys({rt::key::PGDN, rt::key::ESC});
    TXT_HELP("geral");
    ASSERT_GE(term->snapshots.size(), 2u);
    const std::string& first = term->snapshots[0];
    EXPECT_NE(first.find("01 |┌"), std::string::npos) << first;
    EXPECT_NE(first.find("A J U D A"), std::string::npos);
    EXPECT_NE(first.find("02 |│linha 1 "), std::string::npos) << first;
    EXPECT_NE(first.find("14 |│linha 13 "), std::string::npos) << first;
    EXPECT_NE(first.find("15 |└"), std::string::npos) << first;
    EXPECT_NE(first.find("Alt+P"), std::string::npos);
    EXPECT_EQ(term->snapshots[1].find("02 |│linha 1 "), std::string::npos) << term->snapshots[1];
    EXPECT_EQ(rt::SAVESCREEN(), before);
    EXPECT_EQ(tb::workspace().selected(), 7);
    EXPECT_EQ(tb::workspace().table(kHelpArea), nullptr);
    EXPECT_FALSE(Global("LTOHELP").value().as_bool());
}

TEST_F(CommonHelpTest, EmptyTextGetsThirteenLinesWithoutIndex) {
    make_help({{"TELA11", "tela onze"}, {"FUNCOES", ""}}, false);
    keys({rt::key::ESC});
    TXT_HELP("FUNCOES");
    ASSERT_EQ(term->snapshots.size(), 1u);
    EXPECT_NE(term->snapshots[0].find("15 |└"), std::string::npos) << term->snapshots[0];
}

TEST_F(CommonHelpTest, ScreenTopicByTelaAndAltPIsTaken) {
    make_help({{"TELA06", "ajuda da tela seis"}}, false);
    Global("TELA").set(rt::Value(6));
    keys({rt::key::alt_letter('P'), rt::key::ESC});
    MOSTRA_HELP(2);
    ASSERT_EQ(term->snapshots.size(), 2u);
    EXPECT_NE(term->snapshots[1].find("ajuda da tela seis"), std::string::npos);
}

TEST_F(CommonHelpTest, UnknownTopicIsReported) {
    make_help({{"GERAL", "geral"}}, true);
    keys({rt::key::ESC});
    TXT_HELP("NAOEXISTE");
    EXPECT_TRUE(term->showed("Sem ajuda para este tópico"));
}

TEST_F(CommonHelpTest, NoReentryWhileShown) {
    make_help({{"GERAL", "geral"}}, true);
    Global("LTOHELP").set(rt::Value(true));
    TXT_HELP("GERAL");
    EXPECT_TRUE(term->snapshots.empty());
}

TEST_F(CommonHelpTest, ChoosingTheTopicInWindowSix) {
    make_help({{"FUNCOES", "teclas de funcao"}}, true);
    keys({'f', rt::key::ESC});
    MOSTRA_HELP(0);
    ASSERT_EQ(term->snapshots.size(), 2u);
    EXPECT_NE(term->snapshots[0].find("Geral"), std::string::npos);
    EXPECT_NE(term->snapshots[0].find("Funções"), std::string::npos);
    EXPECT_NE(term->snapshots[1].find("teclas de funcao"), std::string::npos);
    EXPECT_EQ(term->snapshots[1].find("Geral"), std::string::npos);
}

TEST(CommonHelpKeys, Keys) {
    rt::variables().clear();
    Global("TELA").set(rt::Value(11));
    EXPECT_EQ(help_key(1), "GERAL");
    EXPECT_EQ(help_key(2), "TELA11");
    EXPECT_EQ(help_key(3), "");   // no field being edited
    EXPECT_EQ(help_key(4), "FUNCOES");
    rt::variables().clear();
}

}  // namespace
}  // namespace qv::common::testing
