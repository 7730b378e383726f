#include "runtime/table/scratch_files.hpp"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "runtime/table/file_names.hpp"

namespace qv::rt::table {

namespace {

// A folder changed less than this before it was looked at may change again
// within the same tick of the file system's clock, unseen.
constexpr std::time_t kSettled = 2;

bool starts_ignoring_case(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

bool equal_ignoring_case(std::string_view a, std::string_view b) {
    return a.size() == b.size() && starts_ignoring_case(a, b);
}

// Digits, at least one, from `from` up to `to` (exclusive).
bool digits(std::string_view s) {
    if (s.empty()) return false;
    for (const char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

bool exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// A leftover's name: the stem of the table it belongs to, and whether it
// is one only when no table is named like it (an index "<stem>_<pid>.cdx"
// may be the structural index of a table "<stem>_<pid>.dbf").
struct ScratchName {
    std::string stem;
    std::string table_named_like;   // such a table makes it no leftover
};

// What `entry` is a leftover of; an empty stem when it is none.
ScratchName scratch_name(std::string_view entry) {
    if (entry.size() > 5 && equal_ignoring_case(entry.substr(entry.size() - 5), ".rp~~"))
        return {std::string(entry.substr(0, entry.size() - 5)), {}};
    const std::size_t dot = entry.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return {};
    const std::string_view ext = entry.substr(dot);
    const std::string_view head = entry.substr(0, dot);
    if (equal_ignoring_case(ext, ".rw~") || equal_ignoring_case(ext, ".cdx")) {
        // "<stem>_<pid>": the table and its index written aside
        const std::size_t bar = head.rfind('_');
        if (bar == std::string_view::npos || bar == 0 || !digits(head.substr(bar + 1))) return {};
        return {std::string(head.substr(0, bar)), equal_ignoring_case(ext, ".cdx") ? std::string(head) : std::string()};
    }
    const bool pack_or_bag = equal_ignoring_case(ext, ".pk~") || equal_ignoring_case(ext, ".pm~") ||
                             equal_ignoring_case(ext, ".cx~") || equal_ignoring_case(ext, ".cr~") ||
                             (ext.size() >= 4 && (ext[1] == 'c' || ext[1] == 'C') && ext.back() == '~' &&
                              digits(ext.substr(2, ext.size() - 3)));
    if (!pack_or_bag) return {};
    // "<stem>.<pid>"
    const std::size_t point = head.rfind('.');
    if (point == std::string_view::npos || point == 0 || !digits(head.substr(point + 1))) return {};
    return {std::string(head.substr(0, point)), {}};
}

// What the last look at a folder found.
struct Look {
    struct timespec mtime {};
    struct Leftover {
        ScratchName name;
        std::string file;
    };
    std::vector<Leftover> leftovers;
};

std::mutex& looks_mutex() {
    static std::mutex m;
    return m;
}

std::map<std::string, Look>& looks() {
    static std::map<std::string, Look> m;
    return m;
}

bool same_time(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

Look look_at(const std::string& dir) {
    Look look;
    std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir.c_str()), ::closedir);
    if (!d) return look;
    while (dirent* e = ::readdir(d.get()))
        if (ScratchName name = scratch_name(e->d_name); !name.stem.empty())
            look.leftovers.push_back({std::move(name), e->d_name});
    return look;
}

}  // namespace

int remove_dead_scratch(const std::string& table_path) {
    const std::string folder = folder_of(table_path);
    const std::string dir = folder.empty() ? std::string(".") : folder;
    const std::string stem = stem_of(table_path);
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0) return 0;
    std::lock_guard<std::mutex> guard(looks_mutex());
    auto it = looks().find(dir);
    if (it == looks().end() || !same_time(it->second.mtime, st.st_mtim)) {
        Look look = look_at(dir);
        // A folder changed in this very tick may change again unseen: such
        // a look is not kept.
        look.mtime = std::time(nullptr) - st.st_mtim.tv_sec >= kSettled ? st.st_mtim : timespec{};
        it = looks().insert_or_assign(dir, std::move(look)).first;
    }
    int removed = 0;
    auto& leftovers = it->second.leftovers;
    for (auto l = leftovers.begin(); l != leftovers.end();) {
        if (!equal_ignoring_case(l->name.stem, stem)) {
            ++l;
            continue;
        }
        const std::string& like = l->name.table_named_like;
        if (!like.empty() && (exists(folder + like + ".dbf") || exists(folder + like + ".DBF"))) {
            l = leftovers.erase(l);   // the index of a table of that very name
            continue;
        }
        if (::unlink((folder + l->file).c_str()) == 0) ++removed;
        l = leftovers.erase(l);
    }
    // The removals changed the folder: the next open looks again.
    if (removed > 0) it->second.mtime = {};
    return removed;
}

}  // namespace qv::rt::table
