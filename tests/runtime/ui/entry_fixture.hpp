#pragma once
// Entry tests start from the default READ settings on a headless screen
// with no variables, and leave them so.
#include <gtest/gtest.h>

#include <string_view>

#include "runtime/core/varstore.hpp"
#include "runtime/screen/backend.hpp"
#include "runtime/ui/read.hpp"

namespace qv::rt {

class EntryTest : public ::testing::Test {
protected:
    static void default_settings() {
        READEXIT(false);
        READINSERT(false);
        SET_CONFIRM(false);
        SET_SCOREBOARD(false);
        SET_ESCAPE(true);
    }
    void SetUp() override {
        hb_ = &use_headless();
        variables().clear();
        default_settings();
    }
    void TearDown() override {
        default_settings();
        variables().clear();
    }
    void keys(std::string_view text) { hb_->feed_text(text); }
    void key(int code) { hb_->feed(code); }

    HeadlessBackend* hb_ = nullptr;
};

}  // namespace qv::rt
