#pragma once
// What the system's screen tests share: a headless screen that keeps a copy
// of the screen each time a routine waits for a key (so that what a dialog
// showed can be checked after it closed), and temporary folders of the
// test's own.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "common/windows.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/backend.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/workspace.hpp"
#include "shell/routine_registry.hpp"
#include "tables/locks.hpp"
#include "tables/state.hpp"

namespace qv::test_support {

class RecordingBackend : public rt::HeadlessBackend {
public:
    int read_key(int timeout_ms) override {
        if (timeout_ms != 0) snapshots.push_back(dump());
        return HeadlessBackend::read_key(timeout_ms);
    }
    // True when any screen shown while waiting held the text (UTF-8).
    bool showed(const std::string& utf8) const {
        for (const auto& s : snapshots)
            if (s.find(utf8) != std::string::npos) return true;
        return false;
    }
    std::string all_snapshots() const {
        std::string out;
        for (const auto& s : snapshots) out += s;
        return out;
    }
    // The 25 rows of a screen kept in `snapshots` (UTF-8).
    static std::vector<std::string> rows_of(const std::string& shot) {
        std::vector<std::string> rows;
        for (std::size_t at = shot.find("\n00 |"); at != std::string::npos && rows.size() < 25; at = shot.find('\n', at + 1))
            rows.push_back(shot.substr(at + 5, shot.find("| ", at + 5) - at - 5));
        return rows;
    }
    std::vector<std::string> snapshots;
};

// A screen on which the other terminal lets go while the program waits:
// the first wait for a key with a time limit on a screen that shows `when`
// (UTF-8; empty: any) runs `on_wait` and answers that no key came, as a
// clerk who only watches the box.
struct FreeingBackend : RecordingBackend {
    std::function<void()> on_wait;
    std::string when;
    int read_key(int timeout_ms) override {
        if (timeout_ms > 0 && on_wait) {
            std::string screen = dump();
            if (screen.find(when) != std::string::npos) {
                snapshots.push_back(std::move(screen));
                std::exchange(on_wait, {})();
                return 0;
            }
        }
        return RecordingBackend::read_key(timeout_ms);
    }
};

// A temporary folder of the test's own, removed with its contents.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "qvtest") {
        std::string tmpl = (std::filesystem::temp_directory_path() / (prefix + ".XXXXXX")).string();
        if (::mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = tmpl;
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// A fresh headless screen, no windows, no variables and no open tables; the
// main program's routines registered by name, as the program has them
// (a test puts its fakes over them).
class ScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        shell::register_system_routines();
        rt::use_headless();
        auto b = std::make_unique<RecordingBackend>();
        term = b.get();
        rt::set_backend(std::move(b));
        common::reset_windows();
        tables::ws().close_all();
        rt::variables().clear();
    }
    void TearDown() override {
        tables::ws().close_all();
        tables::set_lock_pause({});
        common::reset_windows();
        rt::variables().clear();
    }
    void keys(std::initializer_list<int> codes) {
        for (const int c : codes) term->feed(c);
    }
    std::string status_line() const { return term->text(24); }
    static bool exists(const std::string& path) { return std::filesystem::exists(path); }

    RecordingBackend* term = nullptr;
};

// A program folder and a client folder of the test's own, with the program
// variables pointing at them and the reference lists of the source tree.
class FoldersTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        root = folder_.path();
        prog = root + "/prog/";
        client = root + "/client/";
        std::filesystem::create_directories(prog);
        std::filesystem::create_directories(client);
        auto& v = rt::variables();
        v.set("ARQDEF", rt::Value(prog));
        v.set("LOCARQ", rt::Value(client));
        v.set("NUSU", rt::Value("01"));
        v.set("MOS_MENS", rt::Value(false));
        v.set("REFAZ_IND", rt::Value(false));
        v.set("APELIDO", rt::Value(""));
        ::setenv("QV_DATA", (std::string(QV_SOURCE_DIR) + "/data").c_str(), 1);
    }
    void TearDown() override {
        ScreenTest::TearDown();
        ::unsetenv("QV_DATA");
    }

    std::string root, prog, client;

private:
    TempFolder folder_{"qvfolders"};
};

}  // namespace qv::test_support
