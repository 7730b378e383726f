// Folders typed in the folder options and the folder pair: kept with the
// letters typed, and refused, never cut, when longer than their field.
#include <filesystem>

#include "common/paths.hpp"
#include "office/folder_options.hpp"
#include "office/folder_pair.hpp"
#include "office_fixture.hpp"

namespace qv::office::testing {
namespace {

using FolderFields = OfficeTest;

// A folder name of `size` characters under the test's folder.
std::string long_name(const std::string& root, std::size_t size) {
    std::string name = root + "/";
    while (name.size() < size) name += static_cast<char>('a' + name.size() % 26);
    return name;
}

TEST_F(FolderFields, AFolderLongerThanItsFieldIsRefusedNamingTheLimit) {
    struct Case {
        const char* variable;
        int width;
        std::size_t typed;
        const char* message;
    };
    const Case cases[] = {
        {"M->DIRTRAB", 40, 56, "O nome da pasta passa do limite de 40 caracteres."},
        {"M->ROTAJAVA", 80, 200, "O nome da pasta passa do limite de 80 caracteres."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variable);
        term->snapshots.clear();
        rt::variables().set(std::string(c.variable).substr(3), rt::Value(rt::PADR(root, c.width)));
        const std::string typed = long_name(root, c.typed);
        // the whole name over the one shown, refused, then Esc
        keys({rt::key::CTRL_Y});
        term->feed_text(typed);
        keys({rt::key::ENTER, rt::key::ENTER, rt::key::ESC});
        const std::string result = NOVA_ROTA(c.variable, " QV2012", c.width);
        EXPECT_TRUE(screen_showed(c.message)) << term->all_snapshots();
        EXPECT_EQ(rt::TRIM(result), root) << "the folder as it was";
        EXPECT_FALSE(std::filesystem::exists(typed.substr(0, static_cast<std::size_t>(c.width))));
    }
}

TEST_F(FolderFields, AFolderKeepsTheLettersAndSemicolonsTyped) {
    rt::variables().set("DIRTRAB", rt::Value(rt::PADR(root, 40)));
    const std::string typed = root + "/Pasta;Nova";
    keys({rt::key::CTRL_Y});
    term->feed_text(typed);
    keys({rt::key::ENTER, 'S'});
    EXPECT_EQ(rt::TRIM(NOVA_ROTA("M->DIRTRAB", " QV2012", 40)), typed);
    EXPECT_TRUE(std::filesystem::is_directory(typed));
}

// A work folder must be one the declarations' work copies can be made in:
// a short name says nothing of where it lies, a drive is a folder like any
// other, and a folder that cannot be written is refused.
TEST_F(FolderFields, AWorkFolderThatCannotHoldTheWorkCopiesIsRefused) {
    common::set_drive_root('Q', root + "/unidade_q");
    struct Case {
        std::string typed;
        std::vector<int> answers;   // to the messages and questions, then Esc
        const char* shown;
    };
    const Case cases[] = {
        {"30", {rt::key::ENTER}, "Especifique o drive com ':' após a letra"},
        {"xyz", {rt::key::ENTER}, "Especifique o drive com ':' após a letra"},
        {"Q:", {'N'}, "Diretório novo para  QV2012? Cria-o ?"},
        {"/proc", {rt::key::ENTER}, "Não é possível gravar na pasta /proc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        term->snapshots.clear();
        rt::variables().set("DIRTRAB", rt::Value(rt::PADR(root, 40)));
        keys({rt::key::CTRL_Y});
        term->feed_text(c.typed);
        keys({rt::key::ENTER});
        for (const int k : c.answers) term->feed(k);
        keys({rt::key::ESC});
        EXPECT_EQ(rt::TRIM(NOVA_ROTA("M->DIRTRAB", " QV2012", 40)), root) << term->all_snapshots();
        EXPECT_TRUE(screen_showed(c.shown));
    }
    EXPECT_FALSE(std::filesystem::exists(root + "/unidade_q"));
    common::set_drive_root('Q', "");
}

TEST_F(FolderFields, ARestoreDestinationLongerThanItsFieldIsRefused) {
    rt::variables().set("ROTABACK", rt::Value(backup));
    rt::variables().set("ROTADOANO", rt::Value(client));
    keys({rt::key::ENTER, rt::key::CTRL_Y});
    term->feed_text(long_name(root, 120));
    keys({rt::key::ENTER, rt::key::ENTER, rt::key::ESC});
    EXPECT_FALSE(ask_folder_pair(PairUse::Restore));
    EXPECT_TRUE(screen_showed("O nome da pasta passa do limite de 80 caracteres.")) << term->all_snapshots();
}

}  // namespace
}  // namespace qv::office::testing
