// The features the dispatcher runs itself: transfer and backup options, the
// agenda's deletion of old events, the converter start and "imp Não Dos".
#include <fstream>

#include "common/frame_boxes.hpp"
#include "declaration/grids/grid_catalogue.hpp"
#include "runtime/core/clock.hpp"
#include "shell/converter_launch.hpp"
#include "shell/main_program.hpp"
#include "shell/menu_features.hpp"
#include "tables/folders.hpp"
#include "tables/terminal_mark.hpp"
#include "common/messages.hpp"
#include "common/paths.hpp"
#include "shell_fixture.hpp"

namespace qv::shell::testing {
namespace {

using namespace rt::literals;
namespace fs = std::filesystem;

class MenuOptionsTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        make_settings_records();
        auto& v = rt::variables();
        v.set("OPTTRAN", rt::Value(0));
        v.set("LOCIRPF", rt::Value(""));
        v.set("XDRIVE", rt::Value("E"));
        v.set("PROGCOMP", rt::Value("S"));
        v.set("PROCESSA", rt::Value("S"));
        menu = CREATEMAINMENU("W+/B,W/R+,W+/B,W+/B,GR+/B,GR+/B");
    }
    void TearDown() override {
        set_converter_runner({});
        ShellTest::TearDown();
    }
    rt::Value define_field(const char* name) {
        tables::ABERTURA(43);
        rt::table::Table& define = *tables::ws().table(43);
        define.go_top();
        rt::Value v = define.get(name);
        tables::ws().close(43);
        return v;
    }
    std::shared_ptr<rt::TopBarMenu> menu;
};

TEST_F(MenuOptionsTest, AutomaticTransferOnSave) {
    keys({'S'});
    MENUSELECT(61);
    EXPECT_EQ(var_number("OPTTRAN"), 1);
    EXPECT_TRUE(term->showed("para o programa da receita ao salvar a declaração?"));
    keys({rt::key::ESC});
    MENUSELECT(61);
    EXPECT_EQ(var_number("OPTTRAN"), 0);
}

TEST_F(MenuOptionsTest, TransferOnlyWithAStatus) {
    rt::variables().set("SOESTE", rt::Value(0));
    type("5");
    keys({rt::key::ENTER, 'S'});
    MENUSELECT(62);
    EXPECT_EQ(var_number("SOESTE"), 5);
    EXPECT_EQ(var_number("OPTTRAN"), 2);
    EXPECT_EQ(menu->find(62)->caption, "apenas as com &Estatus 05");
    EXPECT_TRUE(term->showed("Estatus:  5")) << "the field has its label";
    EXPECT_TRUE(term->showed("Estatus 05"));
    EXPECT_TRUE(term->showed("o programa da receita ao sair da declaração?"));
    type("7");
    keys({rt::key::ENTER, 'N'});
    MENUSELECT(62);
    EXPECT_EQ(var_number("OPTTRAN"), 0);
    EXPECT_EQ(menu->find(62)->caption, "apenas as com &Estatus 07");   // a typed digit replaces the number
    // The field goes with the question: row 3 is as it was.
    EXPECT_EQ(rt::row_text(3).find("Estatus"), std::string::npos) << rt::row_text(3);
}

TEST_F(MenuOptionsTest, StatusAfterSendingAsksTheCodeOnYes) {
    rt::variables().set("ENV_STAT", rt::Value(0));
    rt::variables().set("OPC_TRAN", rt::Value(0));
    keys({'S'});
    type("07");
    MENUSELECT(66);
    EXPECT_EQ(var_number("ENV_STAT"), 1);
    EXPECT_EQ(var_number("OPC_TRAN"), 7);
    EXPECT_TRUE(term->showed("Informe o código do Estatus de declaração transferida!"));
    term->snapshots.clear();
    keys({'N'});
    MENUSELECT(66);
    EXPECT_EQ(var_number("ENV_STAT"), 2) << "the answer is kept: 2 is no, as in a new terminal's record";
    EXPECT_FALSE(term->showed("Informe o código do Estatus"));
    keys({rt::key::ESC});
    MENUSELECT(66);
    EXPECT_EQ(var_number("ENV_STAT"), 0);
    EXPECT_FALSE(term->showed("Informe o código do Estatus"));
}

TEST_F(MenuOptionsTest, StatusAfterSendingRefusesAnUnknownStatus) {
    tables::register_folder_routines();
    rt::variables().set("ENV_STAT", rt::Value(0));
    rt::variables().set("OPC_TRAN", rt::Value(9));
    keys({'S'});
    type("77");
    keys({rt::key::ESC});
    MENUSELECT(66);
    EXPECT_EQ(var_number("OPC_TRAN"), 9) << "77 is no status";
    EXPECT_TRUE(term->showed("Estatus 77 não cadastrado"));
    keys({'S'});
    type("04");
    MENUSELECT(66);
    EXPECT_EQ(var_number("OPC_TRAN"), 4);
}

TEST_F(MenuOptionsTest, SendingOneSwitchesTheAutomaticTransferOffOnceSent) {
    int sent = 0;
    rt::register_function("DECLARA", [&](std::span<const rt::Value>) {
        ++sent;
        return rt::Value();
    });
    rt::variables().set("LOCIRPF", rt::Value(root + "/irpf/"));
    rt::variables().set("OPTTRAN", rt::Value(1));
    keys({rt::key::ENTER});
    MENUSELECT(63);
    EXPECT_EQ(sent, 1);
    EXPECT_EQ(var_number("OPTTRAN"), 3);
}

TEST_F(MenuOptionsTest, MissingConverterIsSaidWithItsPath) {
    ASSERT_TRUE(tables::ABERTURA(50));
    set_converter_runner([&](const std::string&, const std::string& t) {
        return run_and_wait(root + "/bin/qvmigrate", t);
    });
    keys({rt::key::ENTER});
    MENUSELECT(17);
    EXPECT_TRUE(term->showed("Não foi possível iniciar o conversor")) << term->all_snapshots();
    EXPECT_NE(tables::ws().table(50), nullptr);
}

TEST_F(MenuOptionsTest, TerminalStaysMarkedWhileTheConverterRuns) {
    ASSERT_TRUE(tables::terminal_mark().take(prog, "01"));   // as MAIN does
    ASSERT_TRUE(tables::ABERTURA(50));
    bool second_copy_started = true;
    set_converter_runner([&](const std::string&, const std::string&) {
        tables::TerminalMark second;
        second_copy_started = second.take(prog, "01");
        return 0;
    });
    MENUSELECT(17);
    tables::terminal_mark().release();
    EXPECT_FALSE(second_copy_started);
    EXPECT_NE(tables::ws().table(50), nullptr);
}

TEST_F(MenuOptionsTest, FolderListThatCannotBeTakenBackEndsTheProgram) {
    ASSERT_TRUE(tables::ABERTURA(50));
    rt::table::Workspace other;
    set_converter_runner([&](const std::string&, const std::string&) {
        rt::table::OpenOptions opt;
        opt.exclusive = true;
        other.use_in(1, prog + "DIRET01", opt);   // someone took it meanwhile
        return 0;
    });
    keys({rt::key::ENTER});
    MENUSELECT(17);
    EXPECT_TRUE(term->showed("não pôde ser reaberta")) << term->all_snapshots();
    EXPECT_TRUE(leaving_requested());
    other.close_all();
}

TEST_F(MenuOptionsTest, SendingOneNeedsTheTaxProgramFolder) {
    int sent = 0;
    fakes().declara = [&](std::span<const rt::Value>) { ++sent; return rt::Value(); };
    register_fake("DECLARA", &FakeRoutines::declara);
    keys({rt::key::ENTER});
    MENUSELECT(63);
    EXPECT_TRUE(term->showed("Preencha abaixo em Pasta do IRPF"));
    EXPECT_EQ(sent, 0);
    EXPECT_EQ(var_number("OPTTRAN"), 0);

    rt::variables().set("LOCIRPF", rt::Value(root + "/irpf/"));
    rt::variables().set("OPTTRAN", rt::Value(1));
    keys({rt::key::ENTER});
    MENUSELECT(63);
    EXPECT_EQ(sent, 1);
    EXPECT_EQ(var_number("OPTTRAN"), 3);   // the automatic transfer is off afterwards
}

TEST_F(MenuOptionsTest, SendingTheSelectedSkipsUnmarkedTaxpayers) {
    add_taxpayer(client, "11144477735", "UM", "S");
    add_taxpayer(client, "12345678909", "DOIS", "N");
    add_taxpayer(client, "52998224725", "TRES", "S");
    ASSERT_TRUE(tables::ABERTURA(9));
    rt::variables().set("LOCIRPF", rt::Value(root + "/irpf/"));
    std::vector<std::string> sent;
    fakes().declara = [&](std::span<const rt::Value>) {
        sent.push_back(var_text("CPF"));
        EXPECT_EQ(var_number("OPCAO_1"), 64);
        tables::ws().close(9);   // as the declaration's load and save do
        return rt::Value();
    };
    register_fake("DECLARA", &FakeRoutines::declara);
    keys({rt::key::ENTER});
    MENUSELECT(64);
    EXPECT_EQ(sent, (std::vector<std::string>{"11144477735", "52998224725"}));
    ASSERT_NE(tables::ws().table(9), nullptr);
    EXPECT_EQ(tables::ws().table(9)->recno(), 1u);   // back at the top
}

// Each declaration sent says so on the status line; the walk takes the
// last one's line away when it ends.
TEST_F(MenuOptionsTest, SendingAllLeavesNoStatusText) {
    add_taxpayer(client, "11144477735", "UM");
    ASSERT_TRUE(tables::ABERTURA(9));
    rt::variables().set("LOCIRPF", rt::Value(root + "/irpf/"));
    fakes().declara = [](std::span<const rt::Value>) {
        common::MENS(0, "Declaração de UM transferida !"_cp);
        return rt::Value();
    };
    register_fake("DECLARA", &FakeRoutines::declara);
    keys({rt::key::ENTER});
    MENUSELECT(65);
    EXPECT_EQ(rt::row_text(24).find("transferida"), std::string::npos) << rt::row_text(24);
}

TEST_F(MenuOptionsTest, SendingAllStopsOnEscAfterConfirmation) {
    add_taxpayer(client, "11144477735", "UM");
    add_taxpayer(client, "12345678909", "DOIS");
    ASSERT_TRUE(tables::ABERTURA(9));
    rt::variables().set("LOCIRPF", rt::Value(root + "/irpf/"));
    int sent = 0;
    fakes().declara = [&](std::span<const rt::Value>) {
        ++sent;
        keys({rt::key::ESC, 'S'});   // Esc while the first one is sent, then "Sim"
        return rt::Value();
    };
    register_fake("DECLARA", &FakeRoutines::declara);
    keys({rt::key::ENTER});
    MENUSELECT(65);
    EXPECT_EQ(sent, 1);
    EXPECT_TRUE(term->showed("Abandona a transferência dos dados?"));
}

TEST_F(MenuOptionsTest, BlankDriveLetterStoresAAndStartsNothing) {
    int archived = 0;
    fakes().bkautoma = [&](std::span<const rt::Value>) { ++archived; return rt::Value(true); };
    register_fake("BKAUTOMA", &FakeRoutines::bkautoma);
    rt::variables().set("XDRIVE", rt::Value(" "));
    ASSERT_TRUE(tables::ABERTURA(9));
    const std::string caption = menu->find(73)->caption;
    keys({rt::key::ENTER});
    MENUSELECT(73);
    EXPECT_EQ(var_text("XDRIVE"), "A");
    EXPECT_EQ(archived, 0);
    EXPECT_EQ(menu->find(73)->caption, caption);
    EXPECT_NE(tables::ws().table(9), nullptr);   // the register was not closed
    EXPECT_TRUE(term->showed("Informe a letra do Drive"));
}

TEST_F(MenuOptionsTest, ArchivingAllFoldersWritesTheBackupSettings) {
    rt::set_clock(rt::Date::from_ymd(2012, 4, 10));
    bool register_closed = false;
    fakes().bkautoma = [&](std::span<const rt::Value>) {
        register_closed = tables::ws().table(9) == nullptr;
        return rt::Value(true);
    };
    register_fake("BKAUTOMA", &FakeRoutines::bkautoma);
    rt::variables().set("ROTABACK", rt::Value("/srv/copias"));
    ASSERT_TRUE(tables::ABERTURA(9));
    type("f");
    keys({rt::key::ENTER});   // Sim to the folder the letter stands for
    MENUSELECT(73);
    rt::reset_clock();
    EXPECT_TRUE(register_closed);
    EXPECT_EQ(var_text("XDRIVE"), "F");
    EXPECT_EQ(menu->find(73)->caption, "&Compacta    todos no F:");
    EXPECT_EQ(config_field("XDRIVE").as_string(), "F");
    EXPECT_EQ(config_field("ULTBACK").as_date(), rt::Date::from_ymd(2012, 4, 14));
    EXPECT_EQ(rt::variables().get("ULTBACK").as_date(), rt::Date::from_ymd(2012, 4, 14))
        << "leaving the program writes the variable back";
    EXPECT_EQ(rt::TRIM(config_field("ROTABACK").as_string()), "/srv/copias");
}

// The folder a drive letter stands for is named before anything is written
// or read there; "Não" starts nothing and the letter stays.
TEST_F(MenuOptionsTest, DriveLetterNamesItsFolderFirst) {
    int runs = 0;
    fakes().bkautoma = [&](std::span<const rt::Value>) { ++runs; return rt::Value(true); };
    register_fake("BKAUTOMA", &FakeRoutines::bkautoma);
    rt::register_function("VOAUTOMA", [&runs](std::span<const rt::Value>) { ++runs; return rt::Value(true); });
    common::set_drive_root('G', root + "/pendrive");
    struct Case {
        int id;
        int answer;   // Sim: Enter; Não: Esc
        const char* question;
        int runs;
    };
    const Case cases[] = {
        {73, rt::key::ESC, "Compacta todas as pastas nela?", 0},
        {74, rt::key::ESC, "Descompacta todas as pastas dela?", 0},
        {73, rt::key::ENTER, "Compacta todas as pastas nela?", 1},
        {74, rt::key::ENTER, "Descompacta todas as pastas dela?", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        runs = 0;
        term->snapshots.clear();
        ASSERT_TRUE(tables::ABERTURA(9));
        type("g");   // the one-letter field ends by itself
        keys({c.answer});
        MENUSELECT(c.id);
        EXPECT_TRUE(term->showed("O drive G: corresponde à pasta")) << term->all_snapshots();
        EXPECT_TRUE(term->showed(root + "/pendrive/"));
        EXPECT_TRUE(term->showed(c.question));
        EXPECT_EQ(runs, c.runs);
        EXPECT_EQ(var_text("XDRIVE"), "G");
        EXPECT_NE(menu->find(c.id)->caption.find("G:"), std::string::npos);
    }
    common::set_drive_root('G', "");
    rt::register_function("VOAUTOMA", [](std::span<const rt::Value>) { return rt::Value(true); });
}

TEST_F(MenuOptionsTest, ArchiverChoiceIsWrittenAtOnce) {
    keys({'S'});
    MENUSELECT(77);
    EXPECT_TRUE(term->showed("o programa 7zip. Troca para o ICE ?"));
    EXPECT_EQ(var_text("PROGCOMP"), "N");
    EXPECT_EQ(define_field("PROGCOMP").as_string(), "N");
    // ICE has no 64-bit choice.
    keys({rt::key::ENTER});
    MENUSELECT(78);
    EXPECT_TRUE(term->showed("O programa ICE não funciona em 64 bits. Troque para o 7Z"));
    EXPECT_EQ(var_text("PROCESSA"), "S");
}

TEST_F(MenuOptionsTest, ProcessorChoiceSwitches) {
    keys({'S'});
    MENUSELECT(78);
    EXPECT_TRUE(term->showed("usado em processador de 32 bits. Troca para 64 bits?"));
    EXPECT_EQ(var_text("PROCESSA"), "N");
    EXPECT_EQ(define_field("PROCESSA").as_string(), "N");
}

TEST_F(MenuOptionsTest, NaoDosReprintNeedsTheFile) {
    keys({rt::key::ENTER});
    MENUSELECT(52);
    EXPECT_TRUE(term->showed("Gere antes o arquivo NAO DOS usando no item acima"));
}

TEST_F(MenuOptionsTest, ConverterGetsTheFolderListAndTheTerminal) {
    ASSERT_TRUE(tables::ABERTURA(50));
    ASSERT_TRUE(tables::ABERTURA(9));
    bool list_released = false, register_closed = false;
    std::string program, terminal;
    set_converter_runner([&](const std::string& p, const std::string& t) {
        list_released = tables::ws().table(50) == nullptr;
        register_closed = tables::ws().table(9) == nullptr;
        program = p;
        terminal = t;
        return 0;
    });
    MENUSELECT(17);
    EXPECT_TRUE(list_released);
    EXPECT_TRUE(register_closed);
    EXPECT_EQ(fs::path(program).filename(), "qvmigrate");
    EXPECT_EQ(fs::path(program).parent_path(), fs::read_symlink("/proc/self/exe").parent_path());
    EXPECT_EQ(terminal, "01");
    ASSERT_NE(tables::ws().table(50), nullptr);   // taken back, exclusively
    EXPECT_TRUE(tables::ws().table(50)->exclusive());
    EXPECT_NE(tables::ws().table(9), nullptr);
}

TEST_F(MenuOptionsTest, ConverterRunsWithTheTerminalInItsEnvironment) {
    const std::string script = root + "/conversor.sh";
    const std::string out = root + "/terminal.txt";
    {
        std::ofstream f(script);
        f << "#!/bin/sh\nprintf '%s' \"$TERMINAL\" > '" << out << "'\nexit 3\n";
    }
    fs::permissions(script, fs::perms::owner_all);
    EXPECT_EQ(run_and_wait(script, "07"), 3);
    std::ifstream in(out);
    std::string got;
    std::getline(in, got);
    EXPECT_EQ(got, "07");
    EXPECT_EQ(run_and_wait(root + "/nao-existe", "07"), -1);
}

class MenuAgendaTest : public MenuOptionsTest {
protected:
    void add_event(const std::string& user, rt::Date day) {
        ASSERT_TRUE(tables::ABERTURA(72));
        rt::table::Table& agenda = *tables::ws().table(72);
        ASSERT_TRUE(tables::ADD_REC(1));
        agenda.put("NOMEAG", rt::Value(user));
        agenda.put("DATAG", rt::Value(day));
        agenda.unlock();
        tables::ws().close(72);
    }
    int events_left() {
        tables::ABERTURA(72);
        rt::table::Table& agenda = *tables::ws().table(72);
        int n = 0;
        for (agenda.go_top(); !agenda.eof(); agenda.skip(1))
            if (!agenda.deleted()) ++n;
        tables::ws().close(72);
        return n;
    }
};

// The hint of F1 and F2 stands where those keys work: under the lists of
// the calendar's day, not under the agenda's choice box.
TEST_F(MenuAgendaTest, HintOfTheDayListsKeysIsShownWithThoseLists) {
    std::vector<std::pair<int, bool>> hinted;
    rt::register_function("EDITA", [&hinted](std::span<const rt::Value> a) {
        hinted.emplace_back(static_cast<int>(a[0].as_number()), rt::row_text(23).find("F1 - mostra calendario") == 0);
        return rt::Value();
    });
    keys({'M', 'A', 'L', rt::key::ESC});
    MENUSELECT(14);
    rt::register_function("EDITA", [](std::span<const rt::Value>) { return rt::Value(); });
    ASSERT_FALSE(term->snapshots.empty());
    EXPECT_EQ(term->snapshots.front().find("F1 - mostra calendario"), std::string::npos) << term->snapshots.front();
    EXPECT_EQ(hinted, (std::vector<std::pair<int, bool>>{{48, true}, {49, true}, {50, false}}));
    EXPECT_EQ(rt::row_text(23).find_first_not_of(' '), std::string::npos) << rt::row_text(23);
}

// The calendar opened from the day's list and left: the list goes with it
// (it leaves on the calendar's key), and the menu leaves the screen whole,
// the background's box too, whose window the calendar takes over.
TEST_F(MenuAgendaTest, TheCalendarOfTheDaysListGivesBackTheScreen) {
    rt::variables().set("DATCALEN", rt::Value(rt::Date::from_ymd(2012, 3, 15)));
    rt::variables().set("NOMEAG", rt::Value("ANA"));
    // The grid engine itself, whatever fake an earlier test left in its place.
    rt::register_function("EDITA", [](std::span<const rt::Value> a) {
        declaration::grids::EDITA(static_cast<int>(a[0].as_number()));
        return rt::Value("");
    });
    for (int row = 0; row < rt::SCREEN_ROWS; ++row) rt::at_say(row, 0, std::string(80, 'X'));
    common::paint_dialog_frame(9);
    std::vector<std::string> before;
    for (int row = 0; row < rt::SCREEN_ROWS; ++row) before.push_back(rt::row_text(row));
    keys({'M', rt::key::F1, rt::key::PGDN, rt::key::ESC, rt::key::ESC});
    MENUSELECT(14);
    EXPECT_TRUE(term->showed("15 de Abril     de 2012")) << term->all_snapshots();
    // The status line is the main menu's to write again.
    for (int row = 0; row < rt::SCREEN_ROWS - 1; ++row)
        EXPECT_EQ(rt::row_text(row), before[static_cast<std::size_t>(row)]) << "row " << row << "\n" << term->dump();
}

TEST_F(MenuAgendaTest, DeletesTheUsersEventsBeforeTheCalendarDay) {
    const rt::Date day = rt::Date::from_ymd(2012, 3, 15);
    rt::variables().set("DATCALEN", rt::Value(day));
    rt::variables().set("NOMEAG", rt::Value("ANA"));
    add_event("ANA", day - 10);
    add_event("ANA", day - 1);
    add_event("ANA", day);
    add_event("BETO", day - 5);
    keys({'X', 'S', rt::key::ENTER, rt::key::ESC});
    MENUSELECT(14);
    EXPECT_TRUE(term->showed("Exclui compromissos anteriores ao dia 15/03/2012?"));
    EXPECT_TRUE(term->showed("ExcluidoS   2 compromissoS"));
    EXPECT_EQ(events_left(), 2);
    EXPECT_EQ(tables::ws().table(72), nullptr);   // closed on the way out
}

TEST_F(MenuAgendaTest, NothingToDeleteSaysSo) {
    const rt::Date day = rt::Date::from_ymd(2012, 3, 15);
    rt::variables().set("DATCALEN", rt::Value(day));
    rt::variables().set("NOMEAG", rt::Value("ANA"));
    add_event("ANA", day + 1);
    keys({'X', 'S', rt::key::ENTER, rt::key::ESC});
    MENUSELECT(14);
    EXPECT_TRUE(term->showed("Sem compromissos anteriores a essa data"));
    EXPECT_EQ(events_left(), 1);
}

TEST_F(MenuAgendaTest, AgendaHeldElsewhereIsNotReportedEmpty) {
    const rt::Date day = rt::Date::from_ymd(2012, 3, 15);
    rt::variables().set("DATCALEN", rt::Value(day));
    rt::variables().set("NOMEAG", rt::Value("ANA"));
    add_event("ANA", day - 3);
    rt::table::Workspace other;
    rt::table::Table& held = other.use_in(1, prog + "AGENDA");
    ASSERT_TRUE(held.flock());
    tables::set_lock_pause([] {});
    keys({'X', 'S', rt::key::ESC, rt::key::ENTER, rt::key::ESC});
    MENUSELECT(14);
    EXPECT_TRUE(term->showed("Agenda em uso") && term->showed("excluído")) << term->all_snapshots();
    EXPECT_FALSE(term->showed("Sem compromissos"));
    held.unlock();
    other.close_all();
    EXPECT_EQ(events_left(), 1);
}

TEST_F(MenuAgendaTest, DamagedAgendaIsSaid) {
    std::ofstream(prog + "AGENDA.dbf", std::ios::binary) << std::string(40, '\x03');
    keys({rt::key::ENTER});
    MENUSELECT(14);
    EXPECT_TRUE(term->showed("AGENDA.dbf") && term->showed("danificado")) << term->all_snapshots();
    EXPECT_FALSE(term->showed("Sem compromissos"));
}

TEST_F(MenuAgendaTest, BlankUserBecomesTheTerminalsUser) {
    rt::variables().set("NOMEAG", rt::Value("ANA"));
    keys({'E', rt::key::CTRL_Y, rt::key::ENTER, rt::key::ESC});
    MENUSELECT(14);
    EXPECT_EQ(var_text("NOMEAG"), "USUARIO DO TERMINAL 01");
    EXPECT_TRUE(term->showed("Informe o nome do Usuario"));
}

// F1 in a day's list shows the calendar; leaving it and the agenda gives
// back the menu's background whole, its logo too.
TEST_F(MenuAgendaTest, CalendarGivesBackTheBackgroundWithItsLogo) {
    repaint_background();
    std::vector<std::string> before;
    for (int r = 0; r < 24; ++r) before.push_back(rt::row_text(r));
    rt::variables().set("NOMEAG", rt::Value("ANA"));
    keys({'M', rt::key::F1, rt::key::ESC, rt::key::ESC});
    MENUSELECT(14);
    EXPECT_TRUE(term->showed("Dom    Seg    Ter")) << "the calendar was shown";
    for (int r = 0; r < 24; ++r) EXPECT_EQ(rt::row_text(r), before[r]) << "row " << r;
}

}  // namespace
}  // namespace qv::shell::testing

