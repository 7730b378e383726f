// Loads and saves run by other processes: two terminals saving different
// taxpayers of one folder at once, and saves cut short by a kill. The kills
// are spread over the length of a whole run; whatever moment they hit, each
// table must hold the taxpayer's rows as before or as after the save.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include "declaration/loop/declaration_load.hpp"
#include "declaration/loop/declaration_save.hpp"
#include "declaration_io_fixture.hpp"
#include "tables/folders.hpp"
#include "tables/locks.hpp"

namespace qv::declaration::testing {
namespace {

using Rows = std::vector<std::string>;
const std::vector<std::string> kIncomeFields{"I1_2", "I1_4"};
const std::vector<std::string> kHeirFields{"NOMEDEPEN"};

class DeclarationProcesses : public DeclarationIoTest {
protected:
    void seed() {
        for (const auto& cpf : {kCpfA, kCpfB}) {
            add_row(9, cpf, {{"NOMECONTR", rt::Value("Contribuinte " + cpf)}});
            add_row(1, cpf, {});
            add_row(2, cpf, {{"I1_2", rt::Value("Fonte " + cpf)}, {"I1_4", rt::Value(1000.0)}});
            add_row(4, cpf, {{"I7_0", rt::Value(10)}, {"I7_2", rt::Value("Casa")}});
            add_row(20, cpf, {{"NOMEDEPEN", rt::Value("Herdeiro")}});
        }
    }

    // One declaration opened, given a new income row and heir name, saved.
    static void edit_and_save(const std::string& cpf, const std::string& round) {
        choose(cpf);
        rt::DeclarationScope scope;
        if (!INIC_VAR(1, 1)) ::_exit(2);
        tb::Table& income = tables::ws().current(22);
        if (!income.append_blank()) ::_exit(3);
        income.put("CPF", rt::Value(cpf));
        income.put("I1_2", rt::Value(round));
        income.put("I1_4", rt::Value(1.0));
        tables::ws().current(40).go_top();
        tables::ws().current(40).put("NOMEDEPEN", rt::Value("Herdeiro " + round));
        if (!SALVATUDO(1)) ::_exit(4);
    }

    // The declaration opened and its heir renamed in its work copy, and
    // then the program ends without a save.
    static void crash_while_editing(const std::string& cpf) {
        choose(cpf);
        rt::DeclarationScope scope;
        if (!INIC_VAR(1, 1)) ::_exit(2);
        tables::ws().current(40).go_top();
        tables::ws().current(40).put("NOMEDEPEN", rt::Value("Herdeiro Recuperado"));
        tables::ws().current(40).commit();
    }

    // Runs `work` in a child process as terminal `terminal`.
    static pid_t start(const std::string& terminal, const std::function<void()>& work) {
        tables::ws().close_all();   // the child must share no open table
        const pid_t pid = ::fork();
        if (pid != 0) return pid;
        try {
            rt::variables().set("NUSU", rt::Value(terminal));
            // A user waits a varying while; two processes retrying in step
            // could keep taking each other's files for a long time.
            set_exclusive_wait([](std::string_view) {
                static unsigned seed = static_cast<unsigned>(::getpid());
                seed = seed * 1103515245u + 12345u;
                std::this_thread::sleep_for(std::chrono::microseconds(200 + (seed >> 8) % 3000));
            });
            work();
        } catch (...) {
            ::_exit(5);
        }
        ::_exit(0);
    }

    static int finish(pid_t pid) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST_F(DeclarationProcesses, TwoTerminalsSavingDifferentTaxpayersLoseNothing) {
    seed();
    constexpr int kRounds = 4;
    auto rounds_of = [](const std::string& cpf) {
        return [cpf] {
            for (int k = 1; k <= kRounds; ++k) edit_and_save(cpf, "Rodada " + std::to_string(k));
        };
    };
    const pid_t a = start("00", rounds_of(kCpfA));
    const pid_t b = start("01", rounds_of(kCpfB));
    EXPECT_EQ(finish(a), 0);
    EXPECT_EQ(finish(b), 0);
    for (const auto& cpf : {kCpfA, kCpfB}) {
        Rows expected{"Fonte " + cpf + "|1000.00|"};
        for (int k = 1; k <= kRounds; ++k) expected.push_back("Rodada " + std::to_string(k) + "|1.00|");
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(rows(2, cpf, kIncomeFields), expected) << cpf;
        EXPECT_EQ(rows(20, cpf, kHeirFields), (Rows{"Herdeiro Rodada " + std::to_string(kRounds) + "|"})) << cpf;
        EXPECT_EQ(rows(9, cpf, {"CPF"}).size(), 1u);
    }
}

TEST_F(DeclarationProcesses, ASaveKilledAtAnyMomentLeavesTheRowsBeforeOrAfter) {
    seed();
    const Rows other_income = rows(2, kCpfB, kIncomeFields);
    const Rows other_heirs = rows(20, kCpfB, kHeirFields);
    const auto began = std::chrono::steady_clock::now();
    ASSERT_EQ(finish(start("00", [] { edit_and_save(kCpfA, "Inteira"); })), 0);
    const auto whole = std::chrono::steady_clock::now() - began;
    constexpr int kKills = 16;
    for (int k = 0; k < kKills; ++k) {
        const std::string round = "Corte " + std::to_string(k);
        const Rows income_before = rows(2, kCpfA, kIncomeFields);
        Rows income_after = income_before;
        income_after.push_back(round + "|1.00|");
        std::sort(income_after.begin(), income_after.end());
        const Rows heirs_before = rows(20, kCpfA, kHeirFields);
        const Rows heirs_after{"Herdeiro " + round + "|"};

        const pid_t child = start("00", [round] { edit_and_save(kCpfA, round); });
        std::this_thread::sleep_for(whole * k / kKills);
        ::kill(child, SIGKILL);
        finish(child);

        // What a recovery would save must be this taxpayer's, never a mix.
        if (exists(work + "TMP_0900.dbf") && exists(work + "TMP_2000.dbf")) {
            rt::DeclarationScope scope;
            ASSERT_TRUE(tables::ABERTURA(9));
            if (DIRETO()) {
                EXPECT_EQ(rt::variables().get("CPF").as_string(), kCpfA);
                if (INIC_VAR(1, 1)) {
                    EXPECT_TRUE(SALVATUDO(1)) << round;
                }
            }
            rt::variables().set("LRECUPERA", rt::Value(false));
            tables::ws().close_all();
        }
        const Rows income = rows(2, kCpfA, kIncomeFields);
        EXPECT_TRUE(income == income_before || income == income_after) << round;
        const Rows heirs = rows(20, kCpfA, kHeirFields);
        EXPECT_TRUE(heirs == heirs_before || heirs == heirs_after) << round;
        EXPECT_EQ(rows(2, kCpfB, kIncomeFields), other_income);
        EXPECT_EQ(rows(20, kCpfB, kHeirFields), other_heirs);
        EXPECT_EQ(rows(9, kCpfA, {"CPF"}).size(), 1u);
    }
}

TEST_F(DeclarationProcesses, ARegisterRecordHeldElsewhereStopsTheSaveAndKeepsTheWork) {
    seed();
    const Rows income_before = rows(2, kCpfA, kIncomeFields);
    int to_parent[2], to_child[2];
    ASSERT_EQ(::pipe(to_parent), 0);
    ASSERT_EQ(::pipe(to_child), 0);
    const std::string registry = client + "IMP0912.dbf";
    const pid_t holder = start("05", [&] {
        tb::Workspace other;
        tb::Table& reg = other.use_in(1, registry, {});
        reg.go_top();   // taxpayer A's record comes first
        const char c = reg.rlock() ? 'L' : 'X';
        if (::write(to_parent[1], &c, 1) != 1) ::_exit(6);
        char r = 0;
        if (::read(to_child[0], &r, 1) != 1) ::_exit(7);
    });
    char c = 0;
    ASSERT_EQ(::read(to_parent[0], &c, 1), 1);
    ASSERT_EQ(c, 'L');
    tables::set_lock_pause([] {});
    choose(kCpfA);
    {
        rt::DeclarationScope scope;
        ASSERT_TRUE(INIC_VAR(1, 1));
        tb::Table& income = tables::ws().current(22);
        ASSERT_TRUE(income.append_blank());
        income.put("CPF", rt::Value(kCpfA));
        income.put("I1_2", rt::Value("Digitada"));
        EXPECT_FALSE(SALVATUDO(1));
        EXPECT_TRUE(term->showed("Não foi possível gravar o cadastro do contribuinte."));
        ASSERT_NE(tables::ws().table(22), nullptr);   // what was typed is still there
        EXPECT_EQ(tables::ws().current(22).lastrec(), 2u);
    }
    const char r = 'R';
    ASSERT_EQ(::write(to_child[1], &r, 1), 1);
    EXPECT_EQ(finish(holder), 0);
    for (int fd : {to_parent[0], to_parent[1], to_child[0], to_child[1]}) ::close(fd);
    EXPECT_EQ(rows(2, kCpfA, kIncomeFields), income_before);
}

// Terminal 00 is this one before it was started again.
TEST_F(DeclarationProcesses, F4TakesOnlyWhatACrashLeftAndAsksWhenAnotherTerminalSavedSince) {
    seed();
    ASSERT_EQ(finish(start("00", [] { edit_and_save(kCpfA, "Aqui"); })), 0);
    ASSERT_EQ(finish(start("02", [] { edit_and_save(kCpfA, "Ali"); })), 0);
    ASSERT_TRUE(tables::ABERTURA(9));
    EXPECT_FALSE(DIRETO()) << "a declaration saved and closed is no recovery";
    EXPECT_TRUE(term->showed("Impossível recuperar o último CPF."));

    ASSERT_EQ(finish(start("00", [] { crash_while_editing(kCpfA); })), 0);
    ASSERT_EQ(finish(start("02", [] { edit_and_save(kCpfA, "Depois"); })), 0);
    const Rows saved_since = rows(2, kCpfA, kIncomeFields);
    for (const int answer : {'N', 'S'}) {
        rt::DeclarationScope scope;
        ASSERT_TRUE(tables::ABERTURA(9));
        ASSERT_TRUE(DIRETO());
        keys({answer});
        ASSERT_EQ(INIC_VAR(1, 1), answer == 'S');
        EXPECT_TRUE(term->showed("depois da última gravação deste terminal."));
        if (answer == 'S') ASSERT_TRUE(SALVATUDO(1));
        else EXPECT_EQ(rows(2, kCpfA, kIncomeFields), saved_since);
    }
    EXPECT_EQ(rows(20, kCpfA, kHeirFields), (Rows{"Herdeiro Recuperado|"}));
}

TEST_F(DeclarationProcesses, F4InAnotherFolderRecoversIntoTheFolderTheCopiesCameFrom) {
    seed();
    ASSERT_EQ(finish(start("00", [] { crash_while_editing(kCpfA); })), 0);
    const std::string other = root + "/outra/";
    std::filesystem::create_directories(other);
    ASSERT_TRUE(tables::ABERTURA(50));
    tb::Table& list = tables::ws().current(50);
    for (const std::string& folder : {client, other}) {
        ASSERT_TRUE(list.eof() ? tables::ADD_REC(1) : tables::REC_LOCK(1));
        list.put("DIRETOR", rt::Value(folder));
        list.put("SELEC", rt::Value(folder == other ? "S" : "N"));
        list.unlock();
        list.skip(1);
    }
    tables::set_client_folder(other);
    ASSERT_TRUE(tables::MUDADIR(other));
    {
        rt::DeclarationScope scope;
        ASSERT_TRUE(DIRETO());
        EXPECT_EQ(tables::client_folder(), client);
        ASSERT_TRUE(INIC_VAR(1, 1));
        ASSERT_TRUE(SALVATUDO(1));
    }
    EXPECT_EQ(rows(20, kCpfA, kHeirFields), (Rows{"Herdeiro Recuperado|"}));
    tables::set_client_folder(other);
    EXPECT_TRUE(rows(9, kCpfA, {"CPF"}).empty());
}

}  // namespace
}  // namespace qv::declaration::testing
