// Record, file and append locks against another process holding the
// table. The other process is a forked child that takes a lock, reports
// it, and frees it when told; the half-second pause of the waiting loops is
// replaced by a step that may tell the child to let go, so nothing here
// depends on timing.
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "tables/opening.hpp"
#include "tables_fixture.hpp"
#include "../other_terminal.hpp"

namespace qv::tables::testing {
namespace {

namespace tb = rt::table;

enum class Hold { Record1, File };

// A child process holding a lock on a table until told to let go.
class Holder : public test_support::OtherTerminal {
public:
    Holder(const std::string& path, Hold what)
        : OtherTerminal(path, [what](tb::Table& t) { return what == Hold::Record1 ? t.rlock(1) : t.flock(); }) {}
};

class LockTest : public TablesTest {
protected:
    void SetUp() override {
        TablesTest::SetUp();
        ASSERT_TRUE(ABERTURA(3));
        t = ws().table(3);
        for (const char* cpf : {"11111111111", "22222222222"}) {
            ASSERT_TRUE(ADD_REC(1));
            t->put("CPF", rt::Value(cpf));
            t->unlock();
        }
        t->go_top();
        path = client + "IMP0312.dbf";
    }
    // Counts the pauses and lets the holder go at pause number `at`.
    void release_at(Holder& h, int at) {
        set_lock_pause([this, &h, at] {
            if (++pauses == at) h.release();
        });
    }
    void count_pauses() {
        set_lock_pause([this] { ++pauses; });
    }
    std::string status() const { return rt::ALLTRIM(status_line()); }

    tb::Table* t = nullptr;
    std::string path;
    int pauses = 0;
};

const std::string kFailure = "ATENÇAO! Registro não ficou disponível. Dado não será gravado.";

TEST_F(LockTest, RecordFreedWhileWaitingIsTakenOnTheNextRound) {
    Holder h(path, Hold::Record1);
    release_at(h, 3);
    EXPECT_TRUE(REC_LOCK());
    EXPECT_EQ(pauses, 3);
    EXPECT_TRUE(t->is_locked());
    EXPECT_EQ(status(), "");
    EXPECT_TRUE(term->snapshots.empty());
}

TEST_F(LockTest, ZeroLimitGivesUpAfterTheFirstTry) {
    Holder h(path, Hold::Record1);
    count_pauses();
    EXPECT_FALSE(REC_LOCK(0));
    EXPECT_EQ(pauses, 0);
    EXPECT_EQ(status(), kFailure);
}

TEST_F(LockTest, WaitingShowsTheTableAndGivesUpAtTheLimit) {
    Holder h(path, Hold::Record1);
    std::string shown;
    set_lock_pause([&] {
        ++pauses;
        shown = rt::TRIM(status_line());
    });
    EXPECT_FALSE(REC_LOCK(2));
    EXPECT_EQ(pauses, 4);   // 2 s in half seconds
    EXPECT_EQ(rt::ALLTRIM(shown), "Aguardando registro ficar disponível no arquivo IMP0312");
    EXPECT_EQ(status(), kFailure);
}

TEST_F(LockTest, OtherRecordsStayFree) {
    Holder h(path, Hold::Record1);
    t->go_to(2);
    EXPECT_TRUE(REC_LOCK(0));
}

TEST_F(LockTest, LettersDoNotEndTheWaitEscDoes) {
    Holder h(path, Hold::Record1);
    term->feed('a');
    term->feed('x');
    term->feed(rt::key::ESC);
    count_pauses();
    EXPECT_FALSE(REC_LOCK(100));
    EXPECT_EQ(pauses, 2);
    EXPECT_EQ(status(), kFailure);
}

TEST_F(LockTest, FileLockWithoutLimitWaitsUntilGranted) {
    Holder h(path, Hold::Record1);
    release_at(h, 7);
    EXPECT_TRUE(FIL_LOCK(0));
    EXPECT_EQ(pauses, 7);
    EXPECT_TRUE(t->file_locked());
    t->unlock();
}

TEST_F(LockTest, FileLockWithoutLimitEndsOnEsc) {
    Holder h(path, Hold::Record1);
    std::string shown;
    set_lock_pause([&] {
        if (++pauses == 5) term->feed(rt::key::ESC);
        shown = rt::ALLTRIM(status_line());
    });
    EXPECT_FALSE(FIL_LOCK(0));
    EXPECT_EQ(pauses, 5);
    EXPECT_EQ(shown, "Aguardando arquivo ficar disponível");
    EXPECT_EQ(status(), kFailure);
}

TEST_F(LockTest, AppendWaitsForAFileLockElsewhere) {
    Holder h(path, Hold::File);
    release_at(h, 2);
    EXPECT_TRUE(ADD_REC(5));
    EXPECT_EQ(pauses, 2);
    EXPECT_EQ(t->lastrec(), 3u);
    EXPECT_TRUE(t->is_locked());
    t->unlock();
}

TEST_F(LockTest, AppendGivesUpWithItsOwnMessage) {
    Holder h(path, Hold::File);
    count_pauses();
    EXPECT_FALSE(ADD_REC(1));
    EXPECT_EQ(pauses, 2);
    EXPECT_EQ(status(), "ATENÇÃO! Registro não ficou disponível. Dado não será gravado.");
    EXPECT_EQ(t->lastrec(), 2u);
}

TEST_F(LockTest, NetuseReportsAConflictToItsCaller) {
    ws().close_all();
    {
        Holder h(path, Hold::Record1);   // open shared elsewhere
        ws().select(3);
        EXPECT_FALSE(NETUSE(path, true, 5));
        EXPECT_EQ(ws().table(3), nullptr);
        EXPECT_TRUE(NETUSE(path, false, 5));
        EXPECT_EQ(ws().alias(3), "IMP0312");
        // Already open under that name: nothing more to do.
        EXPECT_TRUE(NETUSE(client + "imp0312", false, 0));
    }
    ws().close_all();
    ws().select(3);
    rt::variables().set("APELIDO", rt::Value("ORIGEM"));
    EXPECT_TRUE(NETUSE(path, true, 0));
    EXPECT_EQ(ws().alias(3), "ORIGEM");
}

}  // namespace
}  // namespace qv::tables::testing
