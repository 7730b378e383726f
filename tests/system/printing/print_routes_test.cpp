// The routes a print run takes from the terminal's settings: the shipped
// printer types, the output file kept in the work folder, ports that must
// exist, printer queues through a recording lp, and the "NAO DOS" file
// handed to the companion print program.
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "../system_fixture.hpp"
#include "common/globals.hpp"
#include "printing/nao_dos_job.hpp"
#include "printing/print_target.hpp"
#include "printing/printer_dialog.hpp"
#include "printing/printer_record.hpp"
#include "runtime/core/text.hpp"
#include "runtime/os/print_device.hpp"
#include "runtime/os/text_print.hpp"
#include "runtime/table/table.hpp"
#include "shell/routine_registry.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::printing {
namespace {

using common::Global;
namespace fs = std::filesystem;

std::string read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The recording lp of the repository first on the search path, its log in
// the test's folder, for the life of the object.
class RecordingLp {
public:
    RecordingLp(const std::string& folder, int status) : log_(folder + "/lp.log") {
        const char* path = std::getenv("PATH");
        old_path_ = path ? path : "";
        ::setenv("PATH", (std::string(QV_SOURCE_DIR) + "/tests/tools:" + old_path_).c_str(), 1);
        ::setenv("QV_LP_LOG", log_.c_str(), 1);
        ::setenv("QV_LP_STATUS", std::to_string(status).c_str(), 1);
    }
    ~RecordingLp() {
        ::setenv("PATH", old_path_.c_str(), 1);
        ::unsetenv("QV_LP_LOG");
        ::unsetenv("QV_LP_STATUS");
    }
    std::string arguments() const { return read_all(log_); }
    std::string job(int n) const { return read_all(log_ + "." + std::to_string(n)); }

private:
    std::string log_, old_path_;
};

class PrintRoutes : public test_support::FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        work = root + "/work/";
        fs::create_directories(work);
        Global{"LOCTRAB"}.set(rt::Value(work));
        Global{"NUSU"}.set(rt::Value("03"));
        Global{"ARQ_IMP"}.set(rt::Value(" "));
        for (const char* name : {"STRING0", "STRING1", "NOMEREDE"}) Global{name}.set(rt::Value(""));
    }
    void TearDown() override {
        rt::os::printer().close();
        rt::os::set_port_folder({});
        set_device(Device::Screen);
        FoldersTest::TearDown();
    }
    void settings(const char* type, int lpt, int com, const char* file, const char* where = "L") {
        Global{"NOMEIMP"}.set(rt::Value(type));
        Global{"NROLPT"}.set(rt::Value(lpt));
        Global{"NROCOM"}.set(rt::Value(com));
        Global{"SAIDAPR"}.set(rt::Value(file));
        Global{"LOCIMPR"}.set(rt::Value(where));
    }
    std::string work;
};

TEST_F(PrintRoutes, TheShippedPrinterTypesAreChosenInTheirGrid) {
    shell::register_system_routines();
    ASSERT_TRUE(tables::ABERTURA(41));
    rt::table::Table& types = tables::ws().current(41);
    const std::pair<const char*, const char*> shipped[] = {
        {"NAO DOS", ""}, {"TEXTO SIMPLES", ""}, {"MATRICIAL ESCP", "<015>"}, {"LASER PCL", "<ESC>(s16.67H"}};
    ASSERT_EQ(types.lastrec(), 4u);
    for (std::uint32_t r = 1; r <= 4; ++r) {
        types.go_to(r);
        EXPECT_EQ(rt::TRIM(types.get("NOMEIMP").as_string()), shipped[r - 1].first);
        EXPECT_EQ(rt::TRIM(types.get("SEQ1").as_string()), shipped[r - 1].second);
        EXPECT_EQ(types.get("CONFIM").as_string(), r == 1 ? "S" : "N");
    }
    Global{"NOMEIMP"}.set(rt::Value("NAO DOS"));
    CRIA_SEQ();
    // "Impressora", Enter in its field opens the grid: the mark moves from
    // the first row to the dot-matrix printer, Esc leaves grid and dialog.
    keys({rt::key::ENTER, rt::key::ENTER, 'N', rt::key::LEFT, rt::key::DOWN, rt::key::DOWN, 'S', rt::key::ESC,
          rt::key::ESC});
    CONFIMP();
    EXPECT_TRUE(term->showed("Nome Impressora"));
    EXPECT_TRUE(term->showed("LASER PCL"));
    EXPECT_EQ(Global{"NOMEIMP"}.text(), "MATRICIAL ESCP");
    EXPECT_EQ(Global{"STRING1"}.text(), "\x0F");
    EXPECT_EQ(Global{"STRING0"}.text(), "\x12");
    ASSERT_TRUE(tables::ABERTURA(57));
    rt::table::Table& record = tables::ws().current(57);
    ASSERT_TRUE(record.seek(rt::Value("03")));
    EXPECT_EQ(rt::TRIM(record.get("NOMEIMP").as_string()), "MATRICIAL ESCP");
    EXPECT_EQ(rt::TRIM(record.get("SEQ3").as_string()), "<014>//<020>");
}

// A clerk types one key at a time: a look for a key already typed finds none.
class OneKeyAtATime : public test_support::RecordingBackend {
public:
    int read_key(int timeout_ms) override { return timeout_ms == 0 ? 0 : RecordingBackend::read_key(timeout_ms); }
};

TEST_F(PrintRoutes, TheDialogsHelpLineFollowsItsBar) {
    auto typing = std::make_unique<OneKeyAtATime>();
    term = typing.get();
    rt::set_backend(std::move(typing));
    keys({rt::key::DOWN, rt::key::ESC});
    CONFIMP();
    ASSERT_EQ(term->snapshots.size(), 2u);
    EXPECT_NE(term->snapshots[0].find("Informa ou modifica o nome e tipo da impressora"), std::string::npos);
    EXPECT_NE(term->snapshots[1].find("Informa ou modifica a porta de comunicação da impressora"), std::string::npos)
        << term->snapshots[1];
    EXPECT_EQ(status_line().find_first_not_of(' '), std::string::npos) << "the help goes with the dialog";
}

TEST_F(PrintRoutes, TheOutputFileStaysTheClerksAndInTheWorkFolder) {
    struct Case {
        const char* type;
        const char* file;
        std::string target;
    } cases[] = {
        {"NAO DOS", "meuarq  ", "NAO-DOS.TXT"},
        {"MATRICIAL ESCP", "meuarq  ", "meuarq.TXT"},
        {"MATRICIAL ESCP", "../EVIL", "EVIL.TXT"},
        {"MATRICIAL ESCP", "..", "RELATOR.TXT"},
        {"MATRICIAL ESCP", "c:\\x\\LISTA", "LISTA.TXT"},
    };
    for (const auto& c : cases) {
        settings(c.type, 0, 0, c.file);
        EXPECT_EQ(print_target_name(), work + c.target) << c.file;
        EXPECT_EQ(Global{"SAIDAPR"}.text(), c.file) << "the setting is the clerk's";
    }
    EXPECT_FALSE(valid_output_file_name("../EVIL"));
    EXPECT_FALSE(valid_output_file_name("a\\b"));
    EXPECT_FALSE(valid_output_file_name(".."));
    EXPECT_TRUE(valid_output_file_name("LISTA   "));

    settings("MATRICIAL ESCP", 0, 0, "../EVIL");
    ASSERT_TRUE(PREP_IMP());
    rt::os::printer().say(0, 0, "x");
    ASSERT_TRUE(close_print_target());
    EXPECT_EQ(read_all(work + "EVIL.TXT"), "x");
    EXPECT_FALSE(exists(root + "/EVIL.TXT"));
}

TEST_F(PrintRoutes, APortIsOnlyTheDeviceThatIsThere) {
    rt::os::set_port_folder(root);
    Global{"NOMEREDE"}.set(rt::Value(""));   // no printer to ask: the port counts as ready
    settings("MATRICIAL ESCP", 1, 0, "");
    keys({rt::key::ENTER});
    EXPECT_FALSE(PREP_IMP());
    EXPECT_TRUE(term->showed("Não foi possível abrir a saída da impressão: LPT1"));
    EXPECT_FALSE(exists(root + "/lp0"));
    EXPECT_EQ(device(), Device::Screen);

    std::ofstream(root + "/lp0").close();   // the device is there
    ASSERT_TRUE(PREP_IMP());
    rt::os::printer().say(0, 0, "linha");
    ASSERT_TRUE(close_print_target());
    EXPECT_EQ(read_all(root + "/lp0"), "linha");
}

TEST_F(PrintRoutes, AQueueTakesTheJobRawAndARefusedJobIsKept) {
    const std::string job = "\x12" "Nome: Fulano\r\n\x0F" + std::string(100, '-') + "\f";
    for (const int status : {0, 1}) {
        RecordingLp lp(root, status);
        settings("MATRICIAL ESCP", 1, 0, "", "R");
        Global{"NROLPT"}.set(rt::Value(0));
        Global{"NROCOM"}.set(rt::Value(1));
        Global{"NOMEREDE"}.set(rt::Value("FILA1"));
        ASSERT_TRUE(PREP_IMP());
        EXPECT_EQ(Global{"ARQ_IMP"}.text(), "FILA1");
        rt::os::printer().write_raw(job);
        keys({rt::key::ENTER});
        EXPECT_EQ(close_print_target(), status == 0);
        const std::string args = lp.arguments();
        EXPECT_NE(args.find("-o\nraw\n-d\nFILA1\n"), std::string::npos) << args;
        EXPECT_EQ(lp.job(status + 1), job) << "byte for byte";
        std::vector<fs::path> kept;
        for (const auto& e : fs::directory_iterator(work))
            if (e.path().filename().string().rfind("FILA-", 0) == 0) kept.push_back(e.path());
        if (status == 0) {
            EXPECT_TRUE(kept.empty());
            continue;
        }
        EXPECT_TRUE(term->showed("A impressora FILA1 não aceitou a impressão:"));
        EXPECT_TRUE(term->showed("lp: Error - The printer or class does not exist."));
        ASSERT_EQ(kept.size(), 1u);
        EXPECT_TRUE(term->showed("O texto ficou guardado em"));
        EXPECT_TRUE(term->showed(kept[0].string()));
        EXPECT_EQ(read_all(kept[0].string()), job);
    }
}

TEST_F(PrintRoutes, TheNaoDosFileGoesToThePrintProgramAndIsReprinted) {
    fs::copy_file(std::string(QV_BINARY_DIR) + "/qvprint", prog + "qvprint");
    Global{"ARQDEF"}.set(rt::Value(prog));
    Global{"MOSTEL"}.set(rt::Value("S"));
    Global{"MOSIMP"}.set(rt::Value("N"));
    Global{"NOMEREDE"}.set(rt::Value("SALA2"));
    settings("NAO DOS", 0, 0, "meuarq");
    for (const int status : {0, 1}) {
        RecordingLp lp(root, status);
        Global{"ARQ_IMP"}.set(rt::Value(" "));
        ASSERT_TRUE(PREP_IMP());
        rt::os::printer().say(0, 0, "Declara\x87\xC6o");   // CP850
        rt::os::printer().say(1, 0, std::string(120, '='));
        rt::os::printer().eject();
        rt::os::printer().say(0, 0, "fim");
        keys({rt::key::ENTER});
        IMP_TXT(1);
        const std::string args = lp.arguments();
        EXPECT_NE(args.find("-d\nSALA2\n-t\nNAO-DOS.TXT\n"), std::string::npos) << args;
        // A line of 120 columns puts the whole job at the condensed pitch.
        EXPECT_NE(args.find("-o\ncpi=17\n"), std::string::npos) << args;
        EXPECT_EQ(lp.job(1), "Declaração\n" + std::string(120, '=') + "\ffim");
        EXPECT_EQ(status == 1, term->showed("qvprint: a impressora SALA2 não aceitou a impressão:"));
        EXPECT_EQ(Global{"SAIDAPR"}.text(), "meuarq");
        fs::remove(root + "/lp.log");
        fs::remove(root + "/lp.log.1");
    }
    // The reprint item, after the run's end blanked the target.
    RecordingLp again(root, 0);
    Global{"ARQ_IMP"}.set(rt::Value(" "));
    IMP_TXT(2);
    EXPECT_EQ(again.job(1), "Declaração\n" + std::string(120, '=') + "\ffim");

    // Without the print program the clerk is told where the text is.
    fs::remove(prog + "qvprint");
    const char* path = std::getenv("PATH");
    const std::string old_path = path ? path : "";
    ::setenv("PATH", "/nowhere", 1);
    keys({rt::key::ENTER});
    IMP_TXT(2);
    ::setenv("PATH", old_path.c_str(), 1);
    EXPECT_TRUE(term->showed("O programa de impressão qvprint não foi encontrado."));
    EXPECT_TRUE(term->showed("O texto ficou em " + work + "NAO-DOS.TXT"));
}

TEST(PrintProgram, TheCommandLineAndTheTextItPrints) {
    std::string error;
    const auto job = rt::os::parse_text_job({"/tmp/NAO-DOS.TXT", "80", "pre/sel", "-d", "SALA2"}, error);
    ASSERT_TRUE(job);
    EXPECT_EQ(job->file, "/tmp/NAO-DOS.TXT");
    EXPECT_EQ(job->columns, 80);
    EXPECT_EQ(job->queue, "SALA2");
    EXPECT_EQ(rt::os::parse_text_job({"/tmp/a.txt", "132", "sel"}, error)->columns, 132);
    EXPECT_FALSE(rt::os::parse_text_job({}, error));
    EXPECT_FALSE(rt::os::parse_text_job({"/tmp/a.txt", "-x"}, error));
    EXPECT_FALSE(rt::os::parse_text_job({"/tmp/a.txt", "-d"}, error));

    struct Case {
        std::string in, out;
    } cases[] = {
        {"a\r\nb\f", "a\nb\f"},
        {"\x12" "normal\x0F" "condensado\x0E" "largo\x14", "normalcondensadolargo"},
        {"\x1B" "&l0E\x1B" "&l74P" "topo\x1B(s16.67H" "x\x1B" "2y", "topoxy"},
        {"\x87\xC6o \xA0", "ção á"},
    };
    for (const auto& c : cases) EXPECT_EQ(rt::os::printable_text(c.in), c.out) << c.in;
    EXPECT_EQ(rt::os::widest_line("ção\nabcde\f12"), 5);
    EXPECT_EQ(rt::os::widest_line("\tx"), 9);
    const std::pair<int, int> pitches[] = {{80, 10}, {81, 12}, {96, 12}, {97, 17}, {136, 17}};
    for (const auto& [columns, cpi] : pitches) EXPECT_EQ(rt::os::pitch_for(columns), cpi) << columns;
}

}  // namespace
}  // namespace qv::printing
