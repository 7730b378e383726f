// The main program's start-up, its settings variables and its way out.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <span>
#include <stdexcept>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/colours.hpp"
#include "common/fault_report.hpp"
#include "common/globals.hpp"
#include "common/startup.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "shell/main_program.hpp"
#include "shell/startup_steps.hpp"
#include "system/startup/startup_fixture.hpp"
#include "tables/opening.hpp"
#include "tables/schemas.hpp"
#include "runtime/table/table.hpp"
#include "runtime/table/workspace.hpp"
#include "tables/settings_records.hpp"

namespace qv::shell {
namespace {

using common::Global;
using rt::operator""_cp;
namespace tb = rt::table;

class StartupMain : public startup_testing::StartupTest {
protected:
    // The state of the start-up just before the terminal's settings are read.
    void configured(const std::string& terminal) {
        startup::create_program_variables();
        Global{"NUSU"}.set(rt::Value(common::INICIOSIS(terminal)));
        Global{"MOS_MENS"}.set(rt::Value(false));
        ASSERT_TRUE(tables::CONFIGURA(terminal));
    }
    void put_config(const common::FieldValues& values) {
        tb::Table& t = tables::ws().current(42);
        tables::ws().select(42);
        ASSERT_TRUE(tables::REC_LOCK(5));
        for (const auto& [name, value] : values) t.put(name, value);
        t.commit();
        t.unlock();
    }
    rt::Value config_field(const std::string& terminal, const std::string& name) {
        tb::Workspace local;
        tb::Table& t = local.use_in(1, prog + "CONFIG.dbf");
        t.go_top();
        while (!t.eof() && rt::ALLTRIM(t.get("NRO_TERM").as_string()) != terminal) t.skip(1);
        return t.eof() ? rt::Value{} : t.get(name);
    }
    std::string text(const char* name) { return Global{name}.text(); }
};

TEST_F(StartupMain, BlankAgendaUserNamesTheTerminal) {
    configured("00");
    startup::load_config_variables();
    EXPECT_EQ(text("NOMEAG"), "USUARIO DO TERMINAL 00");
}

TEST_F(StartupMain, SettingsComeFromTheTerminalsRecord) {
    configured("03");
    put_config({{"ULT_CPF", "12345678909"}, {"SOESTE", 5}, {"NOMEAG", "ANA"}});
    startup::load_config_variables();
    EXPECT_EQ(text("ULT_CPF"), "12345678909");
    EXPECT_EQ(text("CPF"), "12345678909");
    EXPECT_EQ(Global{"SOESTE"}.number(), 5);
    EXPECT_EQ(rt::ALLTRIM(text("NOMEAG")), "ANA");
    EXPECT_EQ(text("LOCIRPF"), home + "/ProgramasRFB/IRPF2012/aplicacao/dados/");
}

TEST_F(StartupMain, BlankTaxProgramFolderLeavesLocirpfEmpty) {
    configured("01");
    put_config({{"ROTARECEI", ""}, {"ROTAJAVA", "/opt/irpf"}});
    startup::load_config_variables();
    EXPECT_EQ(text("LOCIRPF"), "");
}

TEST_F(StartupMain, LocirpfIsTakenFromRotajava) {
    configured("01");
    put_config({{"ROTARECEI", "/x"}, {"ROTAJAVA", root}});
    startup::load_config_variables();
    EXPECT_EQ(text("LOCIRPF"), root + "/");
}

TEST_F(StartupMain, OfficeSettingsComeFromDefine) {
    configured("01");
    startup::load_define_variables();
    EXPECT_EQ(Global{"BOL_BANCO"}.number(), 341);
    EXPECT_TRUE(Global{"DAT_VENC"}.value().is_array());
    EXPECT_EQ(Global{"DAT_VENC"}.value().len(), 8u);
    EXPECT_EQ(text("CVALDOLAR").size(), 6u);
    EXPECT_TRUE(Global{"MOS_MENS"}.value().as_bool());
    EXPECT_TRUE(exists(prog + "DEFINE.dbf"));
}

TEST_F(StartupMain, ColourStringsJoinTheColourVariables) {
    startup::create_program_variables();
    common::build_colour_strings();
    EXPECT_EQ(text("CORNORM"), "N/W+,W/N,\"N/N\",\"N/N\",N/W+");
    EXPECT_EQ(text("CORLIMP"), "GR+/B,W/N,\"N/N\",\"N/N\",N/W+");
    EXPECT_EQ(text("CORSELE"), "N/W,W/N,\"N/N\",\"N/N\",N/W+");
    EXPECT_EQ(text("CORMENU"), "GR+/B,W/R+,W+/B,W+/B,W+/B,W+/B");
}

TEST_F(StartupMain, CalendarOfToday) {
    startup::create_program_variables();
    startup::build_calendar();
    EXPECT_EQ(text("CARDIA"), "10");
    EXPECT_EQ(text("CARMES"), "04");
    EXPECT_EQ(text("CARANO"), "2012");
    EXPECT_EQ(text("POSCALEN"), "01/04/2012");
    EXPECT_EQ(Global{"DIAINIC"}.number(), 1) << "1 April 2012 was a Sunday";
    EXPECT_EQ(Global{"HOJE"}.value().as_date(), rt::Date::from_ymd(2012, 4, 10));
}

// The printer module's CRIA_SEQ leaves the terminal's printer record current;
// the start-up copies it into the printer variables, names trimmed.
TEST_F(StartupMain, PrinterVariablesComeFromTheTerminalsRecord) {
    configured("01");
    ASSERT_TRUE(tables::ABERTURA(57));
    tb::Table& t = tables::ws().current(57);
    t.append_blank();
    t.put("NRO_TERM", rt::Value("01"));
    t.put("NROLPT", rt::Value(2));
    t.put("LOCIMPR", rt::Value("R"));
    t.put("NOMEIMP", rt::Value("HP LASER"));
    t.put("NOMEREDE", rt::Value("  SALA2"));
    t.put("SEQ1", rt::Value("<015>"));
    t.commit();
    startup::printer_variables();
    EXPECT_EQ(Global{"NROLPT"}.number(), 2);
    EXPECT_EQ(text("LOCIMPR"), "R");
    EXPECT_EQ(text("NOMEIMP"), "HP LASER");
    EXPECT_EQ(text("NOMEREDE"), "SALA2");
    EXPECT_EQ(text("STRING1"), "\x0f");
    EXPECT_EQ(text("LIN72"), "\x1b&l74P");
}

// The spooler is asked for its default printer only when the terminal's
// record is made: a stored record's name wins at once.
TEST_F(StartupMain, TheSpoolerIsAskedForItsPrinterOnlyForANewRecord) {
    const std::string bin = root + "/bin";
    std::filesystem::create_directories(bin);
    {
        std::ofstream f(bin + "/lpstat");
        f << "#!/bin/sh\necho asked >> " << root << "/asked\necho 'system default destination: FILA9'\n";
    }
    std::filesystem::permissions(bin + "/lpstat", std::filesystem::perms::owner_all);
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (bin + ":" + path).c_str(), 1);
    configured("01");
    startup::printer_variables();
    EXPECT_EQ(text("NOMEREDE"), "FILA9");
    EXPECT_EQ(text("NOMEIMP"), "NAO DOS");
    startup::printer_variables();
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(text("NOMEREDE"), "FILA9");
    std::ifstream asked(root + "/asked");
    std::string line;
    int times = 0;
    while (std::getline(asked, line)) ++times;
    EXPECT_EQ(times, 1);
}

TEST_F(StartupMain, MissingDataFolderAskedAndRefused) {
    configured("01");
    put_config({{"ROTADOANO", root + "/gone"}});
    startup::load_config_variables();
    keys({'N'});
    EXPECT_FALSE(startup::check_data_folder());
    EXPECT_TRUE(term->showed("A Pasta " + root + "/gone não foi encontrada!"));
    EXPECT_TRUE(term->showed("Sim - Assume: " + prog.substr(0, prog.size() - 1)));
    EXPECT_TRUE(term->showed("Não - Sai do programa!"));
}

TEST_F(StartupMain, MissingDataFolderReplacedByTheProgramFolder) {
    configured("01");
    put_config({{"ROTADOANO", root + "/gone"}});
    startup::load_config_variables();
    keys({'S'});
    EXPECT_TRUE(startup::check_data_folder());
    const std::string without = prog.substr(0, prog.size() - 1);
    EXPECT_EQ(text("ROTADOANO"), without);
    EXPECT_EQ(rt::ALLTRIM(config_field("01", "ROTADOANO").as_string()), without);
}

// A work folder gone, or one where nothing can be written (a read-only
// mount), gives way to the data folder; so does one removed while the
// program runs, at the next menu choice.
TEST_F(StartupMain, AMissingOrReadOnlyWorkFolderTakesTheDataFolderSilently) {
    for (const std::string& work : {root + "/nowork", std::string("/proc")}) {
        SCOPED_TRACE(work);
        configured("01");
        put_config({{"DIRTRAB", work}, {"ROTADOANO", home}});
        startup::load_config_variables();
        ASSERT_TRUE(startup::check_data_folder());
        startup::settle_folders();
        EXPECT_EQ(text("LOCARQ"), home + "/");
        EXPECT_EQ(text("LOCTRAB"), home + "/");
        EXPECT_EQ(text("DIRORIG"), home + "/");
        EXPECT_EQ(rt::ALLTRIM(config_field("01", "DIRTRAB").as_string()), work) << "in memory only";
        EXPECT_TRUE(term->snapshots.empty());
    }
    std::filesystem::create_directories(root + "/work");
    Global{"DIRTRAB"}.set(rt::Value(root + "/work"));
    startup::settle_work_folder();
    EXPECT_EQ(text("LOCTRAB"), root + "/work/");
    std::filesystem::remove_all(root + "/work");
    startup::settle_work_folder();
    EXPECT_EQ(text("LOCTRAB"), home + "/");
}

TEST_F(StartupMain, CurrentFolderMissingFromTheListIsAddedSelected) {
    configured("01");
    put_config({{"ROTADOANO", home}});
    startup::load_config_variables();
    ASSERT_TRUE(startup::check_data_folder());
    startup::settle_folders();
    ASSERT_TRUE(tables::ABERTURA(0));   // the list starts with the program folder, selected
    startup::mark_current_folder();
    tb::Table& list = tables::ws().current(50);
    int selected = 0;
    std::string chosen;
    for (list.go_top(); !list.eof(); list.skip(1)) {
        if (list.get("SELEC").as_string() == "S") {
            ++selected;
            chosen = rt::ALLTRIM(list.get("DIRETOR").as_string());
        }
    }
    EXPECT_EQ(selected, 1);
    EXPECT_EQ(chosen, home);
    EXPECT_EQ(list.lastrec(), 2u);
    EXPECT_EQ(text("LOCARQ"), home + "/");
}

TEST_F(StartupMain, ListedCurrentFolderIsNotAddedAgain) {
    configured("01");
    startup::load_config_variables();
    ASSERT_TRUE(startup::check_data_folder());
    startup::settle_folders();
    ASSERT_TRUE(tables::ABERTURA(0));
    startup::mark_current_folder();
    EXPECT_EQ(tables::ws().current(50).lastrec(), 1u);
}

TEST_F(StartupMain, LeavingWritesTheSettingsBack) {
    configured("02");
    startup::load_config_variables();
    tables::ws().close_all();
    Global{"ULT_CPF"}.set(rt::Value("98765432100"));
    Global{"SOESTE"}.set(rt::Value(4));
    Global{"XDRIVE"}.set(rt::Value("D"));
    EXPECT_TRUE(ROTSAIDA(18));
    EXPECT_TRUE(leaving_requested());
    EXPECT_TRUE(term->snapshots.empty()) << "Terminar asks nothing";
    EXPECT_EQ(config_field("02", "ULT_CPF").as_string(), "98765432100");
    EXPECT_EQ(config_field("02", "SOESTE").as_number(), 4);
    EXPECT_EQ(config_field("02", "XDRIVE").as_string(), "D");
    EXPECT_EQ(rt::ALLTRIM(config_field("02", "NOMEAG").as_string()), "USUARIO DO TERMINAL 02");
    EXPECT_EQ(tables::ws().table(42), nullptr) << "every table is closed";
}

TEST_F(StartupMain, SairAnsweredNoStays) {
    configured("02");
    startup::load_config_variables();
    Global{"ULT_CPF"}.set(rt::Value("98765432100"));
    keys({'N'});
    EXPECT_FALSE(ROTSAIDA(91));
    EXPECT_TRUE(term->showed("Confirma saída do programa?"));
    EXPECT_EQ(config_field("02", "ULT_CPF").as_string(), "           ");
}

TEST_F(StartupMain, AgendaRemindersOfTodayStillAhead) {
    configured("01");
    Global{"NOMEAG"}.set(rt::Value("ANA"));
    ASSERT_TRUE(tables::ABERTURA(72));
    tb::Table& t = tables::ws().current(72);
    struct Row { const char* user; const char* hour; int day; bool warn; const char* note; };
    const Row rows[] = {{"ANA", "1130", 10, true, "later today"},
                        {"ANA", "0930", 10, true, "earlier today"},
                        {"ANA", "1200", 11, true, "tomorrow"},
                        {"ANA", "1500", 10, false, "no warning"},
                        {"BETO", "1600", 10, true, "another user"},
                        {"ANA", "1001", 10, true, "a minute ahead"}};
    tables::ws().select(72);
    for (const Row& r : rows) {
        ASSERT_TRUE(tables::ADD_REC(5));
        t.put("NOMEAG", rt::Value(r.user));
        t.put("HORAG", rt::Value(r.hour));
        t.put("DATAG", rt::Value(rt::Date::from_ymd(2012, 4, r.day)));
        t.put("AVISAG", rt::Value(r.warn));
        t.put("ANOTAG", rt::Value(r.note));
        t.commit();
        t.unlock();
    }
    t.set_order(0);
    t.go_top();
    Global{"AAGEN"}.set(rt::Value::array());
    EXPECT_EQ(ENCHEAG(), 2);
    const rt::Value list = Global{"AAGEN"}.value();
    ASSERT_EQ(list.len(), 2u);
    EXPECT_EQ(rt::ALLTRIM(list.at(1).at(1).as_string()), "1130");
    EXPECT_EQ(rt::ALLTRIM(list.at(1).at(2).as_string()), "later today");
    EXPECT_EQ(rt::ALLTRIM(list.at(2).at(2).as_string()), "a minute ahead");
}

TEST_F(StartupMain, FaultsAreLoggedInTheProgramFolder) {
    Global{"ARQDEF"}.set(rt::Value(prog));
    Global{"NUSU"}.set(rt::Value("01"));
    const common::ErrorLog log = common::write_error_log("table CONFIG.dbf: corrupt header");
    EXPECT_TRUE(log.written);
    const std::string name = log.name;
    EXPECT_EQ(name, prog + "Error.log");
    std::ifstream in(name);
    std::stringstream all;
    all << in.rdbuf();
    EXPECT_NE(all.str().find("table CONFIG.dbf: corrupt header"), std::string::npos);
    EXPECT_NE(all.str().find("10/04/2012"), std::string::npos);
}

// The box of a fault no routine handles shows the whole cause, wrapped to
// the box, and the whole name of the log.
TEST_F(StartupMain, FaultBoxShowsTheWholeCause) {
    const std::string log = "/srv/escritorio/qv2012/Error.log";
    const std::vector<std::string> lines = common::fault_box_lines(
        log, "table IMP0912.dbf in /srv/escritorio/dados/clientes: cannot write the record: no space left on device");
    const std::vector<std::string> expected{"Erro interno do programa:",
                                            "table IMP0912.dbf in /srv/escritorio/dados/clientes: cannot",
                                            "write the record: no space left on device",
                                            "Detalhes em /srv/escritorio/qv2012/Error.log"};
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(common::fault_box_lines(log, "x", false).back(), "Não foi possível gravar /srv/escritorio/qv2012/Error.log"_cp);
}

TEST_F(StartupMain, WholeRunFromAnEmptyFolderToSair) {
    ::setenv("TERMINAL", "01", 1);
    // On the first bar: Left goes round to "Sair", Enter chooses its item,
    // Enter confirms "Sim".
    keys({rt::key::LEFT, rt::key::ENTER, rt::key::ENTER});
    EXPECT_EQ(MAIN(std::nullopt), 0) << term->dump();
    for (const char* file : {"CONFIG.dbf", "CORES.dbf", "DEFINE.dbf", "DIRET01.dbf", "IMP0912.dbf", "AGENDA.dbf"})
        EXPECT_TRUE(exists(prog + file)) << file;
    EXPECT_TRUE(term->showed("Declaração")) << "the main menu was shown";
    EXPECT_TRUE(term->showed("Confirma saída do programa?"));
    EXPECT_EQ(rt::ALLTRIM(config_field("01", "NOMEAG").as_string()), "USUARIO DO TERMINAL 01");
    EXPECT_FALSE(exists(prog + "Error.log"));
}

// The first start of a program folder that holds tables of an older
// layout upgrades them at once, and installs the help texts.
TEST_F(StartupMain, FirstStartUpgradesOldTablesAndInstallsTheHelp) {
    ::setenv("TERMINAL", "01", 1);
    tables::Structure old = *tables::schema_of(9);
    old.erase(std::remove_if(old.begin(), old.end(), [](const tables::FieldSpec& f) { return f.name == "SOMAG"; }),
              old.end());
    tb::create_table(prog + "IMP0912.dbf", old);
    {
        tb::Workspace w;
        tb::Table& t = w.use_in(1, prog + "IMP0912.dbf", {});
        ASSERT_TRUE(t.append_blank());
        t.put("CPF", rt::Value("11144477735"));
        t.put("NOMECONTR", rt::Value("JOSE ALVES"));
        t.commit();
    }
    keys({rt::key::LEFT, rt::key::ENTER, rt::key::ENTER});
    EXPECT_EQ(MAIN(std::nullopt), 0) << term->dump();
    tb::Workspace w;
    tb::Table& t = w.use_in(1, prog + "IMP0912.dbf", {});
    EXPECT_GE(t.field_index("SOMAG"), 0) << "upgraded at the first start";
    t.go_top();
    EXPECT_EQ(rt::TRIM(t.get("NOMECONTR").as_string()), "JOSE ALVES");
    EXPECT_TRUE(exists(prog + "HELPTXT.dbf"));
    EXPECT_TRUE(exists(prog + "HELPTXT.dbt"));
}

TEST_F(StartupMain, UnreadableConfigEndsTheProgram) {
    ::setenv("TERMINAL", "01", 1);
    {
        std::ofstream bad(prog + "CONFIG.dbf", std::ios::binary);
        bad << std::string(40, '\x03');
    }
    EXPECT_EQ(MAIN(std::nullopt), 1);
    // A damaged table is named; "in use" is said only of another copy.
    EXPECT_TRUE(term->showed("CONFIG.dbf danificado")) << term->all_snapshots();
    EXPECT_FALSE(term->showed("sendo usado"));
    EXPECT_FALSE(exists(prog + "DIRET01.dbf")) << "nothing after the settings is done";
}

TEST_F(StartupMain, AFaultNoRoutineHandlesEndsInErrorLog) {
    ::setenv("TERMINAL", "01", 1);
    // No keys at all: the headless keyboard gives up waiting with a fault
    // that no routine handles.
    EXPECT_EQ(MAIN(std::nullopt), 1);
    ASSERT_TRUE(exists(prog + "Error.log"));
    std::ifstream in(prog + "Error.log");
    std::stringstream all;
    all << in.rdbuf();
    EXPECT_NE(all.str().find("Terminal 01"), std::string::npos) << all.str();
    EXPECT_NE(all.str().find("the test's keys ran out and the program keeps waiting for more"), std::string::npos);
    EXPECT_TRUE(term->showed("Erro interno do programa"));
    EXPECT_EQ(tables::ws().table(42), nullptr) << "tables are closed";
}

// A fault of too many open files: the tables give their descriptors back
// before the log is written, so that the log says what happened.
TEST_F(StartupMain, AFaultOfTooManyOpenFilesIsLoggedAll) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizers' own checks need descriptors of their own";
#endif
    ::setenv("TERMINAL", "01", 1);
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    rt::register_function("DECLARA", [](std::span<const rt::Value>) -> rt::Value {
        // No descriptor is left: the limit stands at the lowest free one.
        int lowest = 0;
        while (::fcntl(lowest, F_GETFD) != -1) ++lowest;
        rlimit none{};
        ::getrlimit(RLIMIT_NOFILE, &none);
        none.rlim_cur = static_cast<rlim_t>(lowest);
        ::setrlimit(RLIMIT_NOFILE, &none);
        throw std::runtime_error("IMP0412.dbf: Too many open files");
    });
    keys({rt::key::ENTER});
    const int code = MAIN(std::nullopt);
    ::setrlimit(RLIMIT_NOFILE, &limit);
    EXPECT_EQ(code, 1);
    std::ifstream in(prog + "Error.log");
    std::stringstream all;
    all << in.rdbuf();
    EXPECT_NE(all.str().find("IMP0412.dbf: Too many open files"), std::string::npos) << all.str();
    EXPECT_TRUE(term->showed("Detalhes em")) << term->all_snapshots();
}

}  // namespace
}  // namespace qv::shell
