#include "transfer/table_memory.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>

#include "runtime/table/workspace.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::transfer {
namespace {

std::string folders() { return tables::client_folder() + '\n' + tables::program_folder(); }

constexpr long kSettledSeconds = 2;

std::optional<TableStamp> stamp_of(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const bool settled = now.tv_sec - std::max(st.st_mtim.tv_sec, st.st_ctim.tv_sec) >= kSettledSeconds;
    return TableStamp{folders(),          path,              tables::ws().deleted_hidden(),
                      st.st_dev,          st.st_ino,         st.st_size,
                      st.st_mtim.tv_sec,  st.st_mtim.tv_nsec, st.st_ctim.tv_sec,
                      st.st_ctim.tv_nsec, settled};
}

}  // namespace

bool read_when_changed(int code, std::optional<TableStamp>& stamp, const std::function<void()>& restart,
                       const std::function<void(rt::table::Table&)>& visit) {
    auto& ws = tables::ws();
    // An open table may stand on a filter or a row its user needs.
    if (ws.table(code) != nullptr) {
        stamp.reset();
        return false;
    }
    if (stamp && stamp->settled && stamp->folders == folders() && stamp_of(stamp->path) == stamp) return true;
    stamp.reset();
    const int selected = ws.selected();
    if (tables::ABERTURA(code)) {
        if (rt::table::Table* t = ws.table(code)) {
            if (auto now = stamp_of(t->path())) {
                restart();
                for (t->go_top(); !t->eof(); t->skip(1)) visit(*t);
                stamp = std::move(now);
            }
        }
        ws.close(code);
    }
    ws.select(selected);
    return stamp.has_value();
}

}  // namespace qv::transfer
