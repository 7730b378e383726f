#pragma once
// Helpers of the table tests: temporary folders, a workspace installed as
// the field resolver, and the reader of the fixtures' companion listings.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>
#include "listing_text.hpp"

#include "runtime/core/fields.hpp"
#include "runtime/table/workspace.hpp"

namespace qv::rt::table::test {

inline std::string fixture_dir() { return std::string(QV_FIXTURE_DIR); }

class TempDir {
public:
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "qvtable.XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
        path_ = tmpl;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Options that open a table for this process alone.
inline OpenOptions exclusive() {
    OpenOptions o;
    o.exclusive = true;
    return o;
}

// A workspace of its own, installed as the resolver for the test's life.
class WorkspaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = field_resolver();
        set_field_resolver(&ws);
        register_table_functions(ws);
    }
    void TearDown() override {
        ws.close_all();
        set_field_resolver(saved_);
    }
    // A copy of a fixture in the temporary folder (tests may write to it).
    std::string copy_fixture(const std::string& name) const {
        std::filesystem::copy_file(fixture_dir() + name, dir.file(name),
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::permissions(dir.file(name), std::filesystem::perms::owner_read |
                                                         std::filesystem::perms::owner_write);
        return dir.file(name);
    }

    TempDir dir;
    Workspace ws;

private:
    FieldResolver* saved_ = nullptr;
};

inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// The lock type another open file description would meet on the byte:
// F_UNLCK when free, F_RDLCK when only shared holders, F_WRLCK when held
// exclusively (-1 when the file cannot be opened).
inline short lock_on(const std::string& path, std::int64_t off) {
    const int fd = ::open(path.c_str(), O_RDWR);
    if (fd < 0) return -1;
    struct flock fl;
    std::memset(&fl, 0, sizeof fl);
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = off;
    fl.l_len = 1;
    ::fcntl(fd, F_OFD_GETLK, &fl);
    ::close(fd);
    return fl.l_type;
}

// Runs fn(child) in `n` processes (children 1..n) at once; true when each
// ended without an exception.
template <typename Fn>
bool run_in_children(int n, Fn fn) {
    std::vector<pid_t> kids;
    for (int c = 1; c <= n; ++c) {
        const pid_t pid = ::fork();
        if (pid < 0) return false;
        if (pid == 0) {
            int rc = 0;
            try {
                fn(c);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "child %d: %s\n", c, e.what());
                rc = 1;
            }
            ::_exit(rc);
        }
        kids.push_back(pid);
    }
    bool ok = true;
    for (pid_t k : kids) {
        int status = 0;
        ::waitpid(k, &status, 0);
        ok = ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return ok;
}

inline void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

using listing::unescape;
using listing::split_tabs;

struct ListedTag {
    std::string bag, name, key, for_expr, type;
    int key_len = 0;
    bool unique = false, descending = false;
    std::vector<std::pair<std::uint32_t, std::string>> keys;   // recno, key text
};

struct Listing {
    std::map<std::string, std::string> facts;   // VERSION, RECCOUNT, ...
    std::vector<std::vector<std::string>> fields;
    std::vector<ListedTag> tags;
    // recno -> deleted flag and field texts (escapes undone)
    std::vector<std::uint32_t> recnos;
    std::vector<bool> deleted;
    std::vector<std::vector<std::string>> records;
};

inline Listing read_listing(const std::string& path) {
    Listing l;
    std::istringstream in(read_file(path));
    std::string line, bag;
    ListedTag* tag = nullptr;
    bool in_records = false;
    while (std::getline(in, line)) {
        const std::vector<std::string> p = split_tabs(line);
        const std::string& k = p[0];
        if (in_records) {
            if (k == "END") break;
            l.recnos.push_back(static_cast<std::uint32_t>(std::stoul(p[0])));
            l.deleted.push_back(p[1] == "T");
            std::vector<std::string> vals;
            for (std::size_t i = 2; i < p.size(); ++i) vals.push_back(unescape(p[i]));
            l.records.push_back(std::move(vals));
            continue;
        }
        if (tag && !k.empty() && std::isdigit(static_cast<unsigned char>(k[0]))) {
            tag->keys.emplace_back(static_cast<std::uint32_t>(std::stoul(p[0])), unescape(p[1]));
            continue;
        }
        if (k == "FIELD") l.fields.push_back({p.begin() + 1, p.end()});
        else if (k == "INDEX") bag = p[1];
        else if (k == "TAG") { l.tags.push_back({}); tag = &l.tags.back(); tag->bag = bag; tag->name = p[1]; }
        else if (k == "KEY" && tag) tag->key = p[1];
        else if (k == "FOR" && tag) tag->for_expr = p.size() > 1 ? p[1] : "";
        else if (k == "KEYTYPE" && tag) { tag->type = p[1]; tag->key_len = std::stoi(p[3]); }
        else if (k == "UNIQUE" && tag) { tag->unique = p[1] == "T"; tag->descending = p[3] == "T"; }
        else if (k == "ENDTAG") tag = nullptr;
        else if (k == "RECORDS") in_records = true;
        else if (p.size() > 1) l.facts[k] = p[1];
    }
    return l;
}

// Runs a python script with the system interpreter; "" when python or the
// module is missing (the caller skips).
inline bool python_has(const std::string& module) {
    const std::string cmd = "/usr/bin/python3 -c 'import " + module + "' >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

inline std::string run_python(const std::string& script, const std::string& arg) {
    TempDir d;
    write_file(d.file("s.py"), script);
    const std::string cmd = "/usr/bin/python3 " + d.file("s.py") + " '" + arg + "' > " + d.file("out.txt") + " 2>&1";
    const int rc = std::system(cmd.c_str());
    std::string out = read_file(d.file("out.txt"));
    if (rc != 0) out = "PYTHON FAILED: " + out;
    return out;
}

}  // namespace qv::rt::table::test
