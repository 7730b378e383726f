// The folder form of the converter: last year's tables required, the
// folders kept for the rest of the run; and the converter's windows drawn
// inside their frames.
#include <filesystem>
#include <fstream>

#include "common/globals.hpp"
#include "common/paths.hpp"
#include "common/windows.hpp"
#include "common/startup.hpp"
#include "converter/converter_program.hpp"
#include "converter/converter_screens.hpp"
#include "converter/folder_form.hpp"
#include "converter/last_year_import.hpp"
#include "converter/payroll_posting.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "system/system_fixture.hpp"
#include "tables/folders.hpp"
#include "tables/opening.hpp"
#include "tables/schemas.hpp"
#include "tables/state.hpp"
#include "tables/settings_records.hpp"

namespace qv::test_support {
namespace {

namespace fs = std::filesystem;
using rt::Value;

class FolderForm : public FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        converter::create_converter_variables();
        ASSERT_TRUE(tables::CONFIGURA("01"));
        source = root + "/qv2011/";
        fs::create_directories(source);
        auto& v = rt::variables();
        v.set("OPCAO_1", Value(1));
        v.set("ROTAANTER", Value(source));
        v.set("DIRINST", Value(prog));
    }
    void touch(const std::string& folder, const std::string& name) { std::ofstream(folder + name) << ""; }
    // An auxiliary list of assets with one description.
    void tb_aux(const std::string& path) {
        rt::table::create_table(path, *tables::schema_of(52));
        rt::table::OpenOptions o;
        o.exclusive = true;
        auto& t = tables::ws().use_in(60, path, o);
        t.append_blank();
        t.put("DESCRICAO", Value("CASA"));
        t.commit();
        tables::ws().close(60);
    }
    std::string config(const char* field) {
        EXPECT_TRUE(tables::ABERTURA(42));
        auto& c = tables::ws().current(42);
        EXPECT_TRUE(c.seek(Value(std::string("01"))));
        return rt::ALLTRIM(c.get(field).as_string());
    }
    std::string source;
};

TEST_F(FolderForm, SourceWithoutLastYearsTablesIsRefused) {
    struct Case {
        std::vector<const char*> files;
        const char* said;
    };
    const Case cases[] = {
        {{"IMP0110.DBF", "IMP0210.DBF", "IMP0310.DBF", "IMP0410.DBF", "IMP0510.DBF"}, "Não encontrado o Arquivo IMP0111.DBF"},
        {{"IMP0111.DBF", "imp0211.dbf", "IMP0311.DBF", "IMP0411.DBF"}, "Não encontrado o Arquivo IMP0511.DBF"},
    };
    const std::string before = config("ROTAANTER");
    const std::string destination = root + "/novo/";
    for (const Case& c : cases) {
        fs::remove_all(source);
        fs::create_directories(source);
        for (const char* f : c.files) touch(source, f);
        rt::variables().set("LOCARQ", Value(destination));
        // The form as proposed; the message; "Não" to looking further.
        keys({rt::key::ENTER, rt::key::ENTER, rt::key::ENTER, rt::key::ENTER, 'N'});
        EXPECT_FALSE(converter::PEGAOSDIR(1)) << c.said;
        EXPECT_TRUE(term->showed(c.said)) << c.said;
        EXPECT_TRUE(term->showed("Continua procurando?")) << c.said;
        EXPECT_FALSE(exists(destination)) << c.said;
        EXPECT_EQ(config("ROTAANTER"), before) << c.said;
    }
}

TEST_F(FolderForm, FoldersStoredAreProposedAgainAndUsedForTheLists) {
    for (const char* f : {"IMP0111.DBF", "IMP0211.DBF", "IMP0311.DBF", "IMP0411.DBF", "IMP0511.DBF"}) touch(source, f);
    const std::string installation = root + "/instalado";
    fs::create_directories(installation);
    tb_aux(installation + "/auxbens.dbf");
    // The installation line typed over; the form read again, left with Esc.
    keys({rt::key::ENTER, rt::key::ENTER, rt::key::CTRL_Y});
    term->feed_text(installation);
    keys({rt::key::ENTER, rt::key::ESC});
    ASSERT_TRUE(converter::PEGAOSDIR(1));
    EXPECT_EQ(config("DIRINST"), installation);
    EXPECT_EQ(config("ROTADOANO"), rt::ALLTRIM(common::BAR_FORA(client)));
    // The next form of the run proposes them.
    keys({rt::key::ESC});
    converter::PEGAOSDIR(1);
    EXPECT_EQ(rt::ALLTRIM(common::Global("DIRINSTA").text()), installation + "/");
    EXPECT_EQ(rt::ALLTRIM(common::Global("ORIGEM").text()), source);
    // The auxiliary lists come from the folder just given.
    converter::CONVAUX();
    ASSERT_TRUE(tables::ABERTURA(52));
    EXPECT_EQ(tables::ws().current(52).lastrec(), 1u);
}

TEST_F(FolderForm, MissingFolderListIsSaidOnlyWhileTheFormIsOpen) {
    const std::string installation = root + "/sem_lista/";
    fs::create_directories(installation);
    rt::variables().set("DIRINST", Value(installation));
    keys({rt::key::ESC});
    EXPECT_FALSE(converter::PEGAOSDIR(1));
    EXPECT_TRUE(term->showed("Não encontrado o arquivo com as pastas do ano anterior"));
    EXPECT_EQ(rt::ALLTRIM(status_line()), "") << term->dump();
}

TEST_F(FolderForm, WindowsAreDrawnInsideTheirFrames) {
    struct Case {
        const char* what;
        void (*paint)();
        int last_row;        // the last row written inside the frame
        const char* text;    // on that row
        int frame_row;       // the frame's bottom row
    };
    const Case cases[] = {
        {"counters", [] { converter::MTELA1(4); }, 7, "Faltam", 8},
        {"folder form", [] { converter::MTELA1(2); }, 20, "│", 21},
        {"taxpayer",
         [] {
             converter::MTELA3(3);
             common::Global("TAM_CALC").set(Value(""));
             tables::MOSTRADOR(3, 1);
         },
         21, "░░░", 22},
        {"taxpayer's folder", [] { converter::MTELA3(3); }, 20, "Diretório atual:", 22},
    };
    for (const Case& c : cases) {
        common::reset_windows();
        rt::CLS();
        c.paint();
        EXPECT_NE(term->text(c.last_row).find(c.text), std::string::npos) << c.what << "\n" << term->dump();
        EXPECT_EQ(term->text(c.last_row).find("└"), std::string::npos) << c.what << "\n" << term->dump();
        EXPECT_NE(term->text(c.frame_row).find("└"), std::string::npos) << c.what << "\n" << term->dump();
    }
    // The counters over the start screen: each label on a row of its own,
    // inside the frame, with nothing of the start screen showing through.
    common::reset_windows();
    rt::CLS();
    converter::MTELA1(9);
    converter::MTELA1(4);
    EXPECT_NE(term->text(6).find("│Não converter        │"), std::string::npos) << term->dump();
    EXPECT_NE(term->text(4).find("│Convertidos          │"), std::string::npos) << term->dump();
}

TEST_F(FolderForm, PayrollFolderLeavesTheStartScreenWhole) {
    converter::MTELA1(9);
    const std::string logo_bottom = term->text(12);
    keys({rt::key::ESC});
    EXPECT_FALSE(converter::IMPORTA());
    ASSERT_FALSE(term->snapshots.empty());
    EXPECT_TRUE(term->showed("Drive e pasta do Arquivo FOLHA.TXT"));
    EXPECT_NE(term->snapshots.back().find(logo_bottom), std::string::npos) << term->snapshots.back();
}

}  // namespace
}  // namespace qv::test_support
