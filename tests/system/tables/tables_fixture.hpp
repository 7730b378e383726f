#pragma once
// The table catalogue's tests: a program folder and a client folder of the
// test's own, the program variables pointing at them, and a headless screen
// that keeps a copy of what was shown whenever a routine waited for a key.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/windows.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/backend.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/workspace.hpp"
#include "tables/locks.hpp"
#include "tables/state.hpp"

namespace qv::tables::testing {

class Recording : public rt::HeadlessBackend {
public:
    int read_key(int timeout_ms) override {
        if (timeout_ms != 0) snapshots.push_back(dump());
        return HeadlessBackend::read_key(timeout_ms);
    }
    bool showed(const std::string& utf8) const {
        for (const auto& s : snapshots)
            if (s.find(utf8) != std::string::npos) return true;
        return false;
    }
    std::vector<std::string> snapshots;
};

class TablesTest : public ::testing::Test {
protected:
    void SetUp() override {
        rt::use_headless();
        auto b = std::make_unique<Recording>();
        term = b.get();
        rt::set_backend(std::move(b));
        common::reset_windows();
        ws().close_all();
        rt::variables().clear();
        std::string tmpl = (std::filesystem::temp_directory_path() / "qvtables.XXXXXX").string();
        if (::mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        root = tmpl;
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
        ws().close_all();
        set_lock_pause({});
        common::reset_windows();
        rt::variables().clear();
        ::unsetenv("QV_DATA");
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    static bool exists(const std::string& path) { return std::filesystem::exists(path); }
    std::string status_line() const { return term->text(24); }

    Recording* term = nullptr;
    std::string root, prog, client;
};

}  // namespace qv::tables::testing
