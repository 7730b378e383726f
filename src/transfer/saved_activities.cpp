#include "transfer/saved_activities.hpp"

#include <sys/stat.h>

#include <map>
#include <optional>
#include <unordered_set>

#include "runtime/core/text.hpp"
#include "runtime/table/workspace.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::transfer {
namespace {

// What tells one state of a file from another: any write moves its size or
// its change times, a rewrite aside its inode.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long modified_s = 0, modified_ns = 0, changed_s = 0, changed_ns = 0;
    bool operator==(const FileStamp&) const = default;
};

std::optional<FileStamp> stamp_of(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileStamp{st.st_dev,          st.st_ino,          st.st_size,         st.st_mtim.tv_sec,
                     st.st_mtim.tv_nsec, st.st_ctim.tv_sec, st.st_ctim.tv_nsec};
}

struct Remembered {
    std::string folder;          // the client folder it was read from
    std::string path;            // the table's file
    bool deleted_hidden = true;  // deleted rows were left out
    FileStamp stamp;
    std::unordered_set<std::string> keys;
};

std::map<int, std::optional<Remembered>>& remembered() {
    static std::map<int, std::optional<Remembered>> tables;
    return tables;
}

bool still_valid(const Remembered& r) {
    return r.folder == tables::client_folder() && r.deleted_hidden == tables::ws().deleted_hidden() &&
           stamp_of(r.path) == r.stamp;
}

// Reads the keys of every row, the file stamped before the reading so that
// a write during it shows at the next question.
std::optional<Remembered> read_keys(int table) {
    auto& ws = tables::ws();
    const int selected = ws.selected();
    const bool was_open = ws.table(table) != nullptr;
    std::optional<Remembered> r;
    if (was_open || tables::ABERTURA(table)) {
        if (rt::table::Table* t = ws.table(table)) {
            if (auto stamp = stamp_of(t->path())) {
                r = Remembered{tables::client_folder(), t->path(), ws.deleted_hidden(), *stamp, {}};
                const auto here = t->recno();
                for (t->go_top(); !t->eof(); t->skip(1))
                    r->keys.insert(rt::PADR(t->get("CPF").as_string(), 11) +
                                   rt::ALLTRIM(t->get("ATV_BRASIL").as_string()));
                if (was_open) t->go_to(here);
            }
        }
        if (!was_open) ws.close(table);
    }
    ws.select(selected);
    return r;
}

}  // namespace

bool saved_rows_may_exist(int table, const std::string& key) {
    auto& r = remembered()[table];
    if (!r || !still_valid(*r)) r = read_keys(table);
    return !r || r->keys.count(key) > 0;
}

void forget_saved_activities() { remembered().clear(); }

}  // namespace qv::transfer
