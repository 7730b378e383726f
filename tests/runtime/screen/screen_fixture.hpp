#pragma once
// Every screen test starts from a fresh headless screen; a failing check can
// print the screen with SCREEN_DUMP.
#include <gtest/gtest.h>

#include "runtime/screen/backend.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::rt::testing {

class ScreenTest : public ::testing::Test {
protected:
    void SetUp() override { term = &use_headless(); }
    HeadlessBackend* term = nullptr;
};

#define SCREEN_DUMP (term->dump())

}  // namespace qv::rt::testing
