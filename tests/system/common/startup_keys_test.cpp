// Keys the start-up binds for the whole run of the program.
#include <gtest/gtest.h>

#include "common/startup.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/screen/keys.hpp"
#include "system/startup/startup_fixture.hpp"

namespace qv::common {
namespace {

using StartupKeys = startup_testing::StartupTest;

constexpr int kCtrlF12 = -45;

TEST_F(StartupKeys, CtrlF12IsBoundToTheRoutineList) {
    EXPECT_EQ(rt::key_handler(kCtrlF12), nullptr);
    INICIOSIS("1");
    const rt::KeyHandler* handler = rt::key_handler(kCtrlF12);
    ASSERT_NE(handler, nullptr);
    ASSERT_TRUE(static_cast<bool>(*handler));
    // Without the routine list in the program the key does nothing.
    if (!rt::has_function("LISTAFUNCAO")) (*handler)();
}

}  // namespace
}  // namespace qv::common
