#pragma once
// The common routines' tests run on a headless screen that also keeps a
// copy of the screen each time a routine waits for a key, so that what a
// dialog showed can be checked after it closed.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/windows.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/backend.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::common::testing {

class RecordingBackend : public rt::HeadlessBackend {
public:
    int read_key(int timeout_ms) override {
        if (timeout_ms != 0) snapshots.push_back(dump());
        return HeadlessBackend::read_key(timeout_ms);
    }
    // True when any screen shown while waiting held the text (UTF-8).
    bool showed(const std::string& text) const {
        for (const auto& s : snapshots)
            if (s.find(text) != std::string::npos) return true;
        return false;
    }
    std::string all_snapshots() const {
        std::string out;
        for (const auto& s : snapshots) out += s;
        return out;
    }
    std::vector<std::string> snapshots;
};

class CommonTest : public ::testing::Test {
protected:
    void SetUp() override {
        rt::use_headless();
        auto b = std::make_unique<RecordingBackend>();
        term = b.get();
        rt::set_backend(std::move(b));
        reset_windows();
        rt::variables().clear();
    }
    void TearDown() override {
        reset_windows();
        rt::variables().clear();
    }
    void keys(std::initializer_list<int> codes) {
        for (const int c : codes) term->feed(c);
    }
    // A screen row as CP850 bytes (one byte per column).
    std::string row(int r) const { return rt::row_text(r); }
    rt::Attr attr(int r, int c) const { return rt::cell_at(r, c).attr; }
    char ch(int r, int c) const { return static_cast<char>(rt::cell_at(r, c).ch); }

    RecordingBackend* term = nullptr;
};

// A temporary folder of the test's own.
class TempFolder {
public:
    TempFolder() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "qvcommon.XXXXXX").string();
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

}  // namespace qv::common::testing
