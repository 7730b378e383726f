#pragma once
// Start-up tests: a program folder and a home folder of the test's own, the
// environment pointing at them, a fixed clock and a headless screen that
// keeps a copy of the screen whenever a routine waited for a key.
#include "system/system_fixture.hpp"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/windows.hpp"
#include "console/dialog_layout.hpp"
#include "console/palette.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/backend.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/workspace.hpp"
#include "tables/locks.hpp"
#include "tables/state.hpp"

namespace qv::startup_testing {

using Recording = qv::test_support::RecordingBackend;

class StartupTest : public qv::test_support::ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        console::reset_palette();
        console::reset_dialog_layout();
        std::string tmpl = (std::filesystem::temp_directory_path() / "qvstartup.XXXXXX").string();
        if (::mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        root = tmpl;
        prog = root + "/prog/";
        home = root + "/home";
        std::filesystem::create_directories(prog);
        std::filesystem::create_directories(home);
        saved_cwd = std::filesystem::current_path();
        ::setenv("DQV2012", prog.c_str(), 1);
        ::setenv("HOME_SAVED_BY_TEST", std::getenv("HOME") ? std::getenv("HOME") : "", 1);
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("QV_DATA", (std::string(QV_SOURCE_DIR) + "/data").c_str(), 1);
        for (const char* name : {"TERMINAL", "USUAR", "EQUIP"}) ::unsetenv(name);
        rt::set_clock(rt::Date::from_ymd(2012, 4, 10), 10 * 3600.0);
    }
    void TearDown() override {
        ScreenTest::TearDown();
        rt::reset_clock();
        std::filesystem::current_path(saved_cwd);
        ::setenv("HOME", std::getenv("HOME_SAVED_BY_TEST"), 1);
        for (const char* name : {"DQV2012", "QV_DATA", "TERMINAL", "HOME_SAVED_BY_TEST"}) ::unsetenv(name);
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    std::string root, prog, home;
    std::filesystem::path saved_cwd;
};

}  // namespace qv::startup_testing
