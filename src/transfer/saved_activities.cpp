#include "transfer/saved_activities.hpp"

#include <map>
#include <optional>
#include <unordered_set>

#include "runtime/core/text.hpp"
#include "transfer/table_memory.hpp"

namespace qv::transfer {
namespace {

struct Remembered {
    std::optional<TableStamp> stamp;
    std::unordered_set<std::string> keys;   // CPF padded to 11 + activity
};

std::map<int, Remembered>& remembered() {
    static std::map<int, Remembered> tables;
    return tables;
}

}  // namespace

bool saved_rows_may_exist(int table, const std::string& key) {
    Remembered& r = remembered()[table];
    const bool known = read_when_changed(
        table, r.stamp, [&r] { r.keys.clear(); },
        [&r](rt::table::Table& t) {
            r.keys.insert(rt::PADR(t.get("CPF").as_string(), 11) + rt::ALLTRIM(t.get("ATV_BRASIL").as_string()));
        });
    return !known || r.keys.count(key) > 0;
}

void forget_saved_activities() { remembered().clear(); }

}  // namespace qv::transfer
