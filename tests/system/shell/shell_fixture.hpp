#pragma once
// The main menu's tests: a program folder and client folders of the test's
// own, the program variables pointing at them, the terminal's settings
// records, and a headless screen that keeps a copy of the screen each time
// a routine waits for a key.
#include "system/system_fixture.hpp"

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/common_functions.hpp"
#include "common/windows.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/backend.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/table.hpp"
#include "runtime/table/workspace.hpp"
#include "shell/dispatcher.hpp"
#include "shell/main_menu.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::shell::testing {

using Recording = qv::test_support::RecordingBackend;

// Stand-ins for routines of subsystems not built here, registered by name
// once; each test installs what it needs and the fixture clears them.
struct FakeRoutines {
    std::function<rt::Value(std::span<const rt::Value>)> declara, inic_var, fazimp, exclui, bkautoma;
};
inline FakeRoutines& fakes() {
    static FakeRoutines f;
    return f;
}
inline void register_fake(const char* name, std::function<rt::Value(std::span<const rt::Value>)> FakeRoutines::*slot) {
    rt::register_function(name, [slot](std::span<const rt::Value> args) {
        auto& fn = fakes().*slot;
        return fn ? fn(args) : rt::Value(true);
    });
}

class ShellTest : public qv::test_support::FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        clear_menu_features();
        fakes() = {};
        common::ensure_common_functions();
        rt::variables().set("LOCTRAB", rt::Value(client));
    }
    void TearDown() override {
        clear_menu_features();
        fakes() = {};
        FoldersTest::TearDown();
    }

    void type(std::string_view text) { term->feed_text(text); }
    std::string var_text(const char* name) { return rt::variables().get(name).as_string(); }
    double var_number(const char* name) { return rt::variables().get(name).as_number(); }

    // The terminal's CONFIG record and the office's DEFINE record.
    void make_settings_records() {
        ASSERT_TRUE(tables::ABERTURA(42));
        ASSERT_TRUE(tables::ADD_REC(1));
        tables::ws().table(42)->put("NRO_TERM", rt::Value("01"));
        tables::ws().table(42)->unlock();
        ASSERT_TRUE(tables::ABERTURA(43));
        rt::table::Table& define = *tables::ws().table(43);
        define.go_top();
        if (define.eof()) {
            ASSERT_TRUE(tables::ADD_REC(1));
            define.unlock();
        }
        tables::ws().close(42);
        tables::ws().close(43);
    }
    // Reads a field of the terminal's CONFIG record from the file.
    rt::Value config_field(const char* name) {
        tables::ABERTURA(42);
        rt::table::Table& config = *tables::ws().table(42);
        config.seek(rt::Value("01"));
        rt::Value v = config.get(name);
        tables::ws().close(42);
        return v;
    }
    void add_taxpayer(const std::string& folder, const std::string& cpf, const std::string& name,
                      const std::string& impre = "N") {
        const std::string saved = tables::client_folder();
        tables::set_client_folder(folder);
        ASSERT_TRUE(tables::ABERTURA(9));
        rt::table::Table& reg = *tables::ws().table(9);
        ASSERT_TRUE(tables::ADD_REC(1));
        reg.put("CPF", rt::Value(cpf));
        reg.put("NOMECONTR", rt::Value(name));
        reg.put("IMPRE", rt::Value(impre));
        reg.unlock();
        tables::ws().close(9);
        tables::set_client_folder(saved);
    }

};

}  // namespace qv::shell::testing
