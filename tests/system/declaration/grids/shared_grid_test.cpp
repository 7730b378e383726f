// A grid over a table that another terminal works on: the other's change
// shows at the next repaint, and a cell of a row the other holds waits for
// it, reports as the lock routines do, and keeps what was typed.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "declaration/grids/grid_catalogue.hpp"
#include "grid_fixture.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "system/other_terminal.hpp"
#include "tables/locks.hpp"

namespace qv::declaration::grids {
namespace {

namespace key = rt::key;
using rt::operator""_cp;
using rt::Value;
using test_support::OtherTerminal;

constexpr int kSavedDescriptions = 52, kCue = 500, kLook = 501;

class SharedGrid : public GridTest {
protected:
    void SetUp() override {
        GridTest::SetUp();
        path = prog + "AUXBENS.dbf";
        rt::table::create_table(path, {{"DESCRICAO", 'C', 60, 0}, {"CODIGO", 'N', 3, 0}});
        rt::table::Table& t = tables::ws().use_in(kSavedDescriptions, path, {});
        for (const char* d : {"CASA", "TERRENO"}) {
            ASSERT_TRUE(t.append_blank());
            t.put("DESCRICAO", Value(d));
            t.unlock();
        }
        t.commit();
    }
    rt::table::Table& saved() { return tables::ws().current(kSavedDescriptions); }
    std::string path;
};

TEST_F(SharedGrid, AnotherTerminalsChangeShowsAtTheNextRepaint) {
    std::optional<OtherTerminal> other;
    rt::SETKEY(kCue, [&] {
        other.emplace(path, [](rt::table::Table& t) {
            if (!t.rlock(1)) return false;
            t.put("DESCRICAO", Value("CHACARA"));
            if (!t.append_blank()) return false;
            t.put("DESCRICAO", Value("GALPAO"));
            t.commit();
            return true;
        });
        other->release();
    });
    std::string before, after;
    rt::SETKEY(kLook, [&] { (before.empty() ? before : after) = term->dump(); });
    keys({kLook, kCue, key::CTRL_PGUP, kLook, key::ESC});
    EDITA(31);
    rt::SETKEY(kCue, {});
    rt::SETKEY(kLook, {});
    EXPECT_EQ(before.find("GALPAO"), std::string::npos);
    for (const char* shown : {"CHACARA", "TERRENO", "GALPAO"}) EXPECT_NE(after.find(shown), std::string::npos) << shown;
}

TEST_F(SharedGrid, EditOfAHeldRowWaitsReportsAndKeepsWhatWasTyped) {
    const std::string failure = "ATENÇAO! Registro não ficou disponível. Dado não será gravado."_cp;
    struct Case { int released_at; bool reported; };   // the other terminal lets go at that pause
    // Five seconds are ten half-second pauses. After a failed wait the entry
    // is open again with the text typed, and Enter (typed at the last pause
    // of the wait) tries again; the grid is left by the Esc of an empty
    // keyboard.
    for (const Case& c : {Case{3, false}, Case{13, true}}) {
        saved().go_to(1);
        ASSERT_TRUE(saved().rlock());
        saved().put("DESCRICAO", Value("CASA"));
        saved().commit();
        saved().unlock();
        OtherTerminal other(path, [](rt::table::Table& t) { return t.rlock(1); });
        int pauses = 0;
        tables::set_lock_pause([&] {
            if (++pauses == c.released_at) other.release();
            if (pauses == 10) term->feed(key::ENTER);
        });
        term->snapshots.clear();
        keys({key::ENTER, key::CTRL_Y, 'S', 'I', 'T', 'I', 'O', key::ENTER});
        EDITA(31);
        tables::set_lock_pause({});
        saved().go_to(1);
        EXPECT_EQ(rt::TRIM(saved().get("DESCRICAO").as_string()), "SITIO") << c.released_at;
        EXPECT_EQ(pauses, c.released_at);
        EXPECT_EQ(term->showed(rt::cp850_to_utf8(failure)), c.reported);
    }
}

}  // namespace
}  // namespace qv::declaration::grids
