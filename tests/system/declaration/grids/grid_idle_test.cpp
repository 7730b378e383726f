// Agenda reminders fall due at their hour and minute, once.
#include <gtest/gtest.h>

#include "../../system_fixture.hpp"
#include "common/globals.hpp"
#include "declaration/grids/grid_idle.hpp"
#include "runtime/core/clock.hpp"

namespace qv::declaration::grids {
namespace {

using rt::Value;

class GridIdle : public test_support::ScreenTest {
protected:
    void TearDown() override {
        rt::reset_clock();
        ScreenTest::TearDown();
    }
    static Value entry(Value when, const char* text) {
        Value e = Value::array();
        e.as_array()->push_back(std::move(when));
        e.as_array()->push_back(Value(text));
        return e;
    }
};

TEST_F(GridIdle, DueRemindersAreShownOnceAndRemovedOthersWait) {
    rt::set_clock(rt::Date::from_ymd(2012, 3, 15), 14 * 3600 + 30 * 60 + 12);
    Value list = Value::array();
    list.as_array()->push_back(entry(Value(1430.0), "REUNIAO COM CLIENTE"));
    list.as_array()->push_back(entry(Value("1500"), "BANCO"));
    list.as_array()->push_back(entry(Value("1430"), "LIGAR CONTADOR"));
    common::Global{"AAGEN"}.set(list);
    common::Global{"NTEMAGEN"}.set(Value(3));
    keys({rt::key::ENTER, rt::key::ENTER});
    VE_AGEN();
    EXPECT_TRUE(term->showed("ATENÇÃO - 14:30 REUNIAO COM CLIENTE"));
    EXPECT_TRUE(term->showed("ATENÇÃO - 14:30 LIGAR CONTADOR"));
    EXPECT_FALSE(term->showed("BANCO"));
    EXPECT_EQ(common::Global{"NTEMAGEN"}.integer(), 1);
    ASSERT_EQ(common::Global{"AAGEN"}.value().len(), 1u);
    term->snapshots.clear();
    VE_AGEN();
    EXPECT_FALSE(term->showed("ATENÇÃO"));
}

}  // namespace
}  // namespace qv::declaration::grids
