// Opening and saving a declaration when things go wrong: another terminal
// has the taxpayer, a table is damaged, the folder may not be written, the
// disk fills up during the save, the program is killed, the program folder
// has accents. Nothing is lost, nothing waits for ever.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "declaration/loop/declaration_load.hpp"
#include "declaration/loop/declaration_save.hpp"
#include "declaration_io_fixture.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/screen/screen.hpp"
#include "system/other_terminal.hpp"
#include "system/taxpayer_holder.hpp"

namespace qv::declaration::testing {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::string>;
const std::vector<std::string> kIncomeFields{"I1_2", "I1_4"};

class DeclarationSafety : public DeclarationIoTest {
protected:
    void SetUp() override {
        DeclarationIoTest::SetUp();
        // A wait would never end here: it is a failure at once.
        set_exclusive_wait([](std::string_view m) { throw std::runtime_error("waited: " + std::string(m)); });
    }
    void seed() {
        for (const auto& cpf : {kCpfA, kCpfB}) {
            add_row(9, cpf, {{"NOMECONTR", rt::Value("Contribuinte " + cpf)}});
            add_row(1, cpf, {});
            add_row(2, cpf, {{"I1_2", rt::Value("Fonte " + cpf)}, {"I1_4", rt::Value(1000.0)}});
            add_row(4, cpf, {{"I7_0", rt::Value(10)}, {"I7_2", rt::Value("Casa")}});
        }
    }
    // The table cut short inside its records.
    static void cut(int table, const std::string& file) {
        ASSERT_TRUE(tables::ABERTURA(table));
        const auto& t = tables::ws().current(table);
        const auto at = static_cast<std::uintmax_t>(t.header_len() + t.record_len() + t.record_len() / 2);
        tables::ws().close(table);
        fs::resize_file(file, at);
    }
    bool showed(const std::string& utf8) const { return term->showed(utf8); }
    static void new_income(const std::string& source) {
        tb::Table& income = tables::ws().current(22);
        ASSERT_TRUE(income.append_blank());
        income.put("CPF", rt::Value(kCpfA));
        income.put("I1_2", rt::Value(source));
        income.put("I1_4", rt::Value(5.0));
        income.commit();
    }
};

TEST_F(DeclarationSafety, ATaxpayerOpenOnAnotherTerminalIsRefusedWithItsNumberUntilThatOneIsKilled) {
    seed();
    test_support::TaxpayerHolder other(client, kCpfA, "05");
    choose(kCpfA);
    {
        rt::DeclarationScope scope;
        EXPECT_FALSE(INIC_VAR(1, 1)) << "given up: the test's keys ran out";
        EXPECT_TRUE(taxpayer_refused());
        EXPECT_EQ(tables::ws().table(22), nullptr);
    }
    EXPECT_TRUE(showed("Contribuinte 111.111.111-11 em uso no terminal 05.")) << term->all_snapshots();
    other.kill();
    choose(kCpfA);
    rt::DeclarationScope scope;
    EXPECT_TRUE(INIC_VAR(1, 1));
    EXPECT_FALSE(taxpayer_refused());
}

// Each damage is named at once, nothing waits and the file stays as it was.
TEST_F(DeclarationSafety, DamagedTablesAreNamedWithoutAWait) {
    struct Case {
        const char* what;
        std::function<void()> damage;
        const char* named;
    };
    const Case cases[] = {
        {"a client table cut short", [this] { cut(2, client + "IMP0212.dbf"); }, "IMP0212"},
        {"a register cut mid-record", [this] { cut(9, client + "IMP0912.dbf"); }, "IMP0912"},
        {"a register emptied", [this] { fs::resize_file(client + "IMP0912.dbf", 0); }, "IMP0912"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tables::ws().close_all();
        fs::remove_all(client);
        fs::create_directories(client);
        seed();
        c.damage();
        const auto size = fs::file_size(client + std::string(c.named) + ".dbf");
        term->snapshots.clear();
        rt::variables().set("CPF", rt::Value(kCpfA));
        rt::DeclarationScope scope;
        EXPECT_FALSE(INIC_VAR(1, 1));
        EXPECT_TRUE(showed(std::string(c.named)) && showed("danificado")) << term->all_snapshots();
        EXPECT_EQ(fs::file_size(client + std::string(c.named) + ".dbf"), size) << "kept for repair";
        EXPECT_EQ(tables::ws().table(22), nullptr);
    }
}

TEST_F(DeclarationSafety, AClientFolderThatMayNotBeWrittenIsNamedWithoutAWait) {
    seed();
    tables::ws().close_all();
    // Root writes anywhere: the load runs as an ordinary user.
    fs::permissions(root, fs::perms::all);
    fs::permissions(work, fs::perms::all);
    for (const auto& e : fs::directory_iterator(client)) fs::permissions(e.path(), fs::perms::owner_read | fs::perms::others_read);
    fs::permissions(client, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(prog, fs::perms::all);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::getuid() == 0 && ::setuid(65534) != 0) ::_exit(2);
        try {
            rt::variables().set("CPF", rt::Value(kCpfA));
            rt::DeclarationScope scope;
            const bool loaded = INIC_VAR(1, 1);
            // the box wraps the folder's name and the text at its words
            const bool said = term->showed("permite") && term->showed("gravação");
            ::_exit(!loaded && said ? 0 : 1);
        } catch (...) {
            ::_exit(3);
        }
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    fs::permissions(client, fs::perms::all);
}

// The file system fills up during a save: every table stays as it was,
// the declaration stays open, and it is saved whole once there is room.
TEST_F(DeclarationSafety, ASaveOnAFullFileSystemChangesNothingAndKeepsTheDeclaration) {
    seed();
    // Another taxpayer's assets make the asset table too big to write again.
    constexpr rlim_t kLimit = 256 * 1024;
    ASSERT_TRUE(tables::ABERTURA(4));
    tb::Table& assets = tables::ws().current(4);
    const long rows_needed = static_cast<long>(2 * kLimit / static_cast<rlim_t>(assets.record_len()));
    for (long i = 0; i < rows_needed; ++i) {
        ASSERT_TRUE(assets.append_blank());
        assets.put("CPF", rt::Value(kCpfB));
        assets.put("I7_0", rt::Value(static_cast<double>(i % 9000)));
    }
    assets.unlock();
    tables::ws().close(4);
    const Rows income_before = rows(2, kCpfA, kIncomeFields);
    choose(kCpfA);
    rt::DeclarationScope scope;
    ASSERT_TRUE(INIC_VAR(1, 1));
    rt::variables().set("NOMECONTR", rt::Value("Nome novo"));
    new_income("Fonte nova");
    {
        struct sigaction ignore {}, saved {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGXFSZ, &ignore, &saved);
        rlimit before {};
        ::getrlimit(RLIMIT_FSIZE, &before);
        rlimit low = before;
        low.rlim_cur = kLimit;
        ::setrlimit(RLIMIT_FSIZE, &low);
        const bool saved_ok = SALVATUDO(1);
        ::setrlimit(RLIMIT_FSIZE, &before);
        ::sigaction(SIGXFSZ, &saved, nullptr);
        EXPECT_FALSE(saved_ok);
    }
    EXPECT_TRUE(showed("Os dados continuam no terminal. Salve novamente.")) << term->all_snapshots();
    EXPECT_EQ(rows(9, kCpfA, {"NOMECONTR"}), (Rows{"Contribuinte " + kCpfA + "|"})) << "the register as it was";
    EXPECT_EQ(rows(2, kCpfA, kIncomeFields), income_before) << "the income as it was";
    for (const auto& e : fs::directory_iterator(client))
        EXPECT_EQ(e.path().extension().string().find('~'), std::string::npos) << e.path();
    ASSERT_NE(tables::ws().table(22), nullptr) << "the declaration is still open";
    EXPECT_EQ(tables::ws().current(22).lastrec(), 2u);
    ASSERT_TRUE(SALVATUDO(1)) << "saved again once there is room";
    EXPECT_EQ(rows(9, kCpfA, {"NOMECONTR"}), (Rows{"Nome novo|"}));
    EXPECT_EQ(rows(2, kCpfA, kIncomeFields).size(), 2u);
}

// A fault while the register's and the declaration's records are filled in
// (here the usage row refuses an operator's name that is not text): the
// save says so, writes neither record, leaves no record it appended, frees
// the register's record and the declaration table, and saves whole later.
TEST_F(DeclarationSafety, AFaultWhileTheRecordsAreFilledInWritesNeitherAndHoldsNothing) {
    seed();
    for (const std::string& cpf : {kCpfA, std::string("33333333333")}) {
        SCOPED_TRACE(cpf);
        const bool existing = cpf == kCpfA;
        choose(cpf);
        rt::DeclarationScope scope;
        ASSERT_TRUE(INIC_VAR(1, existing ? 1 : 0));
        rt::variables().set("NOMECONTR", rt::Value("Nome novo"));
        rt::variables().set("NOMEAG", rt::Value(42.0));
        EXPECT_FALSE(SALVATUDO(1));
        EXPECT_TRUE(showed("Os dados continuam no terminal. Salve novamente."));
        EXPECT_EQ(tables::ws().table(1), nullptr) << "the declaration table is let go";
        {
            tb::Workspace other;
            tb::Table& reg = other.use_in(1, client + "IMP0912.dbf", {});
            for (reg.go_top(); !reg.eof(); reg.skip(1)) EXPECT_TRUE(reg.rlock()) << "record " << reg.recno();
        }
        EXPECT_EQ(rows(9, cpf, {"NOMECONTR"}), existing ? Rows{"Contribuinte " + cpf + "|"} : Rows{});
        EXPECT_EQ(rows(1, cpf, {"CPF"}).size(), existing ? 1u : 0u);
        EXPECT_EQ(rows(9, "", {"CPF"}), Rows{}) << "no blank record left in the register";
        rt::variables().set("NOMEAG", rt::Value(std::string(10, ' ')));
        ASSERT_TRUE(SALVATUDO(1));
        EXPECT_EQ(rows(9, cpf, {"NOMECONTR"}), Rows{"Nome novo|"});
        EXPECT_EQ(rows(1, cpf, {"CPF"}).size(), 1u);
    }
}

TEST_F(DeclarationSafety, F4AfterAKillReopensATaxpayerRegisteredInThatSession) {
    seed();
    const std::string cpf = "33333333333";
    tables::ws().close_all();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        try {
            choose(cpf);
            rt::DeclarationScope scope;
            if (!INIC_VAR(1, 0)) ::_exit(2);
            ::kill(::getpid(), SIGKILL);
        } catch (...) {
        }
        ::_exit(3);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    rt::variables().set("CPF", rt::Value(kCpfB));
    ASSERT_TRUE(tables::ABERTURA(9));
    ASSERT_TRUE(DIRETO()) << term->all_snapshots();
    EXPECT_EQ(rt::variables().get("CPF").as_string(), cpf);
    rt::DeclarationScope scope;
    ASSERT_TRUE(INIC_VAR(1, 1));
    EXPECT_EQ(rt::variables().get("ESTATUS").as_number(), 2) << "a new declaration's defaults";
    rt::variables().set("NOMECONTR", rt::Value("Novo"));
    ASSERT_TRUE(SALVATUDO(1));
    EXPECT_EQ(rows(9, cpf, {"NOMECONTR"}), (Rows{"Novo|"}));
}

// The wait for another terminal's table goes on by itself once the table
// is free: no key is needed.
TEST_F(DeclarationSafety, TheWaitForAnotherTerminalGoesOnByItselfWhenTheTableIsFree) {
    seed();
    set_exclusive_wait({});
    tables::ws().close_all();
    auto other = std::make_unique<test_support::OtherTerminal>(client + "IMP0212.dbf", [](tb::Table&) { return true; });
    auto backend = std::make_unique<test_support::FreeingBackend>();
    test_support::FreeingBackend* screen = backend.get();
    screen->on_wait = [&] { other.reset(); };
    rt::set_backend(std::move(backend));
    choose(kCpfA);
    rt::DeclarationScope scope;
    EXPECT_TRUE(INIC_VAR(1, 1));
    EXPECT_TRUE(screen->showed("Aguardando outro Terminal carregar dados...")) << screen->all_snapshots();
    EXPECT_EQ(screen->starved_reads(), 0) << "no key was asked for";
}

TEST_F(DeclarationSafety, ADeclarationOpensAndSavesWithAccentedFolders) {
    const std::string base = root + "/ação/";
    for (const char* f : {"prog/", "dados/", "trabalho/"}) fs::create_directories(base + f);
    const std::string cp = rt::utf8_to_cp850(base);
    rt::variables().set("ARQDEF", rt::Value(cp + "prog/"));
    rt::variables().set("LOCARQ", rt::Value(cp + "dados/"));
    rt::variables().set("LOCTRAB", rt::Value(cp + "trabalho/"));
    add_row(9, kCpfA, {{"NOMECONTR", rt::Value("Ana")}});
    add_row(2, kCpfA, {{"I1_2", rt::Value("Fonte")}, {"I1_4", rt::Value(10.0)}});
    choose(kCpfA);
    {
        rt::DeclarationScope scope;
        ASSERT_TRUE(INIC_VAR(1, 1));
        EXPECT_TRUE(fs::exists(base + "trabalho/TMP_0200.dbf"));
        new_income("Outra");
        ASSERT_TRUE(SALVATUDO(1));
    }
    EXPECT_EQ(rows(2, kCpfA, kIncomeFields).size(), 2u);
    EXPECT_TRUE(fs::exists(base + "dados/IMP0212.dbf"));
    EXPECT_TRUE(fs::exists(base + "dados/CPFUSO.LCK"));
}

}  // namespace
}  // namespace qv::declaration::testing
