// The real programs, started the way a person starts them.
#include <gtest/gtest.h>
#include <filesystem>

#include "e2e/tmux_session.hpp"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

fs::path fresh_folder(const std::string& name) {
    fs::path dir = fs::temp_directory_path() / ("qv_e2e_" + name + "_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

}  // namespace

TEST(E2eStart, ConverterStartsAndEnds) {
    if (!qv::e2e::tmux_available()) GTEST_SKIP() << "tmux is not installed";
    fs::path dir = fresh_folder("migrate");
    qv::e2e::TmuxSession s(std::string(QV_BINARY_DIR) + "/qvmigrate", dir.string(),
                           {"DQV2012=" + dir.string() + "/", "TERMINAL=01"});
    EXPECT_TRUE(s.wait_exit(10s)) << s.screen_text();
    fs::remove_all(dir);
}
