// After an import: the destination's indexes, the folder list and the
// question whether to stay in the destination folder.
#include <algorithm>
#include <filesystem>

#include "common/globals.hpp"
#include "common/paths.hpp"
#include "common/startup.hpp"
#include "converter/converter_program.hpp"
#include "converter/folder_form.hpp"
#include "runtime/core/text.hpp"
#include "system/system_fixture.hpp"
#include "tables/opening.hpp"
#include "tables/settings_records.hpp"

namespace qv::test_support {
namespace {

class AfterImport : public FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        converter::create_converter_variables();
        auto& v = rt::variables();
        v.set("ARQDEST", rt::Value(client));
        v.set("PATHVEL", rt::Value(prog));
        v.set("ARQDEF", rt::Value(prog));
        v.set("ROTADEF", rt::Value(prog));
    }
    // DIRETOR (without the root's folder) and SELEC of each listed folder.
    std::vector<std::string> folder_list() {
        std::vector<std::string> out;
        tables::ws().close_all();
        EXPECT_TRUE(tables::ABERTURA(50));
        auto& t = tables::ws().current(50);
        for (t.go_top(); !t.eof(); t.skip(1))
            out.push_back(std::filesystem::path(rt::RTRIM(t.get("DIRETOR").as_string())).filename().string() + "=" +
                          t.get("SELEC").as_string());
        return out;
    }
};

TEST_F(AfterImport, NothingConvertedLeavesEverythingAsItWas) {
    rt::variables().set("NOVIN", rt::Value(false));
    converter::AJUST_DIR();
    EXPECT_EQ(folder_list(), std::vector<std::string>{"prog=S"});
    EXPECT_FALSE(exists(client + "IMP0112.cdx"));
}

TEST_F(AfterImport, DestinationIsListedAndTheAnswerPicksTheFolder) {
    struct Case {
        int answer;
        std::string data_folder;
    };
    for (const Case& c : {Case{'N', prog}, Case{'S', client}}) {
        rt::variables().set("NOVIN", rt::Value(true));
        rt::variables().set("LOCARQ", rt::Value(client));
        keys({c.answer});
        converter::AJUST_DIR();
        EXPECT_TRUE(term->showed("Permanece no diretório")) << char(c.answer);
        EXPECT_EQ(common::Global("LOCARQ").text(), c.data_folder) << char(c.answer);
        EXPECT_TRUE(exists(client + "IMP0112.cdx"));
        EXPECT_TRUE(exists(client + "IMP0912B.cdx"));
    }
    const auto list = folder_list();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(std::count(list.begin(), list.end(), "client=S"), 1);
}

TEST_F(AfterImport, NoToStayingPutsTheListAndTheSettingsBack) {
    ASSERT_TRUE(tables::CONFIGURA("01"));
    rt::variables().set("NOVIN", rt::Value(true));
    rt::variables().set("LOCARQ", rt::Value(client));
    keys({'N'});
    converter::AJUST_DIR();
    EXPECT_EQ(folder_list(), (std::vector<std::string>{"client=N", "prog=S"}));
    EXPECT_EQ(common::Global("LOCARQ").text(), prog);
    ASSERT_TRUE(tables::ABERTURA(42));
    auto& config = tables::ws().current(42);
    ASSERT_TRUE(config.seek(rt::Value(std::string("01"))));
    EXPECT_EQ(rt::ALLTRIM(config.get("ROTADOANO").as_string()), common::BAR_FORA(prog));
}

// Imports of one run: stayed in the client folder, a second import there
// asks nothing, and "Não" after a third goes back to it, not to the program's.
TEST_F(AfterImport, NoGoesBackToTheFolderStayedInByTheImportBefore) {
    ASSERT_TRUE(tables::CONFIGURA("01"));
    const std::string other = root + "/outra/";
    std::filesystem::create_directories(other);
    for (const auto& [destination, answer] : {std::pair{client, 'S'}, {client, '\0'}, {other, 'N'}}) {
        term->snapshots.clear();
        for (const char* f : {"ARQDEST", "LOCARQ"}) rt::variables().set(f, rt::Value(destination));
        rt::variables().set("NOVIN", rt::Value(true));
        if (answer) keys({answer});
        converter::AJUST_DIR();
        EXPECT_EQ(term->showed("Permanece no diretório"), answer != 0) << destination;
        EXPECT_EQ(common::Global("LOCARQ").text(), client) << destination;
        EXPECT_EQ(folder_list()[0], "client=S") << destination;
    }
}

}  // namespace
}  // namespace qv::test_support
