#pragma once
// The office options' tests: a program folder, two client folders with
// every declaration table, rows put straight into them, and another
// process that holds a table open while a test runs.
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/common_functions.hpp"
#include "office/folder_tables.hpp"
#include "office/office_routines.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/table.hpp"
#include "runtime/table/workspace.hpp"
#include "system/system_fixture.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::office::testing {

namespace tb = rt::table;
using Row = std::map<std::string, rt::Value>;

// Another process with a table open (shared, or alone, or shared under its
// file lock) until the guard goes.
class OtherTerminal {
public:
    explicit OtherTerminal(const std::string& path, bool exclusive = false, bool file_lock = false) {
        if (::pipe(to_child_) != 0 || ::pipe(to_parent_) != 0) throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            char c = 'X';
            try {
                tb::Workspace w;
                tb::OpenOptions opt;
                opt.exclusive = exclusive;
                opt.structural_index = false;
                tb::Table& t = w.use_in(1, path, opt);
                if (file_lock && !t.flock()) throw std::runtime_error("flock");
                c = 'L';
                if (::write(to_parent_[1], &c, 1) != 1) ::_exit(2);
                if (::read(to_child_[0], &c, 1) != 1) ::_exit(3);
                w.close_all();
            } catch (...) {
                if (::write(to_parent_[1], &c, 1) != 1) ::_exit(4);
            }
            ::_exit(0);
        }
        // Only the child writes here: a child that dies is an end of file.
        ::close(to_parent_[1]);
        to_parent_[1] = -1;
        char c = 0;
        if (::read(to_parent_[0], &c, 1) != 1 || c != 'L') throw std::runtime_error("the other terminal could not open " + path);
    }
    ~OtherTerminal() {
        const char c = 'R';
        if (::write(to_child_[1], &c, 1) == 1) {
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
        for (int fd : {to_child_[0], to_child_[1], to_parent_[0], to_parent_[1]})
            if (fd >= 0) ::close(fd);
    }
    OtherTerminal(const OtherTerminal&) = delete;
    OtherTerminal& operator=(const OtherTerminal&) = delete;

private:
    pid_t pid_ = -1;
    int to_child_[2]{-1, -1};
    int to_parent_[2]{-1, -1};
};

class OfficeTest : public qv::test_support::FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        common::ensure_common_functions();
        register_office_routines();
        other = root + "/other/";
        backup = root + "/backup/";
        std::filesystem::create_directories(other);
        std::filesystem::create_directories(backup);
        rt::variables().set("LOCTRAB", rt::Value(root + "/"));
        rt::variables().set("ROTADOANO", rt::Value(client));
        rt::variables().set("PROGCOMP", rt::Value("S"));
        tables::ws().set_deleted(true);
    }

    // Every declaration table of the folder, created by opening it.
    void make_tables(const std::string& folder) {
        for (int code = 1; code <= 20; ++code) {
            ASSERT_TRUE(open_folder_table(folder, code, code, false)) << code;
            tables::ws().close(code);
        }
    }
    void add_row(const std::string& folder, int code, const Row& fields) {
        ASSERT_TRUE(open_folder_table(folder, code, 90, false));
        tb::Table& t = tables::ws().current(90);
        ASSERT_TRUE(t.append_blank());
        for (const auto& [name, value] : fields) t.put(name, value);
        t.unlock();
        tables::ws().close(90);
    }
    void add_taxpayer(const std::string& folder, const std::string& cpf, const std::string& name,
                      const std::string& rural = "N") {
        add_row(folder, 9, {{"CPF", rt::Value(cpf)}, {"NOMECONTR", rt::Value(name)}, {"TEMRURAL", rt::Value(rural)},
                            {"ATV_BRASIL", rt::Value(rural == "S" ? "1" : " ")}});
    }
    // The undeleted rows of the table whose field `field` is `value`.
    long count(const std::string& folder, int code, const std::string& value, const char* field = "CPF") {
        tb::Workspace w;
        tb::OpenOptions opt;
        opt.structural_index = false;
        const std::string name = tb::find_in_folder(folder, table_name(code) + ".DBF");
        if (name.empty()) return -1;
        tb::Table& t = w.use_in(1, folder + name, opt);
        long n = 0;
        for (std::uint32_t r = 1; r <= t.lastrec(); ++r) {
            t.go_to(r);
            if (!t.deleted() && rt::TRIM(t.get(field).as_string()) == value) ++n;
        }
        return n;
    }
    std::string path_of(const std::string& folder, int code) {
        return folder + tb::find_in_folder(folder, table_name(code) + ".DBF");
    }
    bool screen_showed(const std::string& utf8) { return term->showed(utf8); }

    std::string other, backup;
};

}  // namespace qv::office::testing
