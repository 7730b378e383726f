// The tax program's folder of the transfer options: typed as the folder is
// named, Alt+P giving the folder the tax program installs, and kept with
// one "/" at its end.
#include <cstdlib>

#include "office/folder_options.hpp"
#include "office_fixture.hpp"

namespace qv::office::testing {
namespace {

class TaxProgramFolderTest : public OfficeTest {
protected:
    void SetUp() override {
        OfficeTest::SetUp();
        const char* home = std::getenv("HOME");
        saved_home_ = home ? home : "";
        ::setenv("HOME", (root + "/casa").c_str(), 1);
        rt::variables().set("ROTAJAVA", rt::Value(rt::PADR(root + "/Antiga/", 80)));
        std::filesystem::create_directories(root + "/Antiga");
        std::filesystem::create_directories(root + "/Receita/Dados");
    }
    void TearDown() override {
        ::setenv("HOME", saved_home_.c_str(), 1);
        OfficeTest::TearDown();
    }
    std::string locirpf() const { return rt::variables().get("LOCIRPF").as_string(); }

private:
    std::string saved_home_;
};

TEST_F(TaxProgramFolderTest, FolderAsTypedAltPDefaultAndEsc) {
    const std::string installed = root + "/casa/ProgramasRFB/IRPF2012/aplicacao/dados/";
    struct Case {
        const char* name;
        std::vector<int> keys;
        std::string typed;       // typed after the keys, then Enter
        bool make_default;       // the tax program's folder exists
        std::string folder;      // LOCIRPF afterwards
        bool asked;              // the question to create the folder
    };
    const std::vector<Case> cases{
        {"typed with small letters", {rt::key::CTRL_Y}, root + "/Receita/Dados", false, root + "/Receita/Dados/", false},
        {"Alt+P, installed", {rt::key::alt_letter('P')}, "", true, installed, false},
        {"Alt+P, not installed yet", {rt::key::alt_letter('P')}, "", false, installed, true},
        {"Esc keeps the folder", {rt::key::ESC}, "", false, root + "/Antiga/", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(root + "/casa");
        if (c.make_default) std::filesystem::create_directories(installed);
        rt::variables().set("ROTAJAVA", rt::Value(rt::PADR(root + "/Antiga/", 80)));
        term->snapshots.clear();
        for (const int k : c.keys) term->feed(k);
        term->feed_text(c.typed);
        if (c.keys.front() != rt::key::ESC) term->feed(rt::key::ENTER);
        if (c.asked) term->feed(rt::key::ENTER);   // Sim
        SELAREA(2);
        EXPECT_EQ(locirpf(), c.folder) << term->all_snapshots();
        EXPECT_EQ(term->showed("Diretório novo para  IRPF2012? Cria-o ?"), c.asked);
        EXPECT_FALSE(term->showed("IRPF10"));
        if (c.asked) {
            EXPECT_TRUE(exists(installed));
        }
    }
}

}  // namespace
}  // namespace qv::office::testing
