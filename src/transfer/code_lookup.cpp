#include "transfer/code_lookup.hpp"

#include <functional>
#include <optional>
#include <unordered_map>
#include <utility>

#include "runtime/core/text.hpp"
#include "runtime/table/workspace.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"
#include "transfer/table_memory.hpp"

namespace qv::transfer {
namespace {

constexpr int kCountries = 60;
constexpr int kMunicipalities = 64;

// Walks a reference table until `visit` answers true, leaving the tables
// and the selected area as they were.
void search(int code, const std::function<bool(rt::table::Table&)>& visit) {
    auto& ws = tables::ws();
    const int selected = ws.selected();
    const bool was_open = ws.table(code) != nullptr;
    if (was_open || tables::ABERTURA(code)) {
        if (rt::table::Table* t = ws.table(code)) {
            const auto here = t->recno();
            for (t->go_top(); !t->eof(); t->skip(1))
                if (visit(*t)) break;
            if (was_open) t->go_to(here);
        }
        if (!was_open) ws.close(code);
    }
    ws.select(selected);
}

std::string key(const std::string& s) { return rt::UPPER(rt::ALLTRIM(s)); }

// A reference list in memory: the first row of each key, as the walk
// finds it.
struct Names {
    std::optional<TableStamp> stamp;
    std::unordered_map<std::string, std::string> by_key;
};

// The name of `wanted` in reference table `code` (keys and names made by
// `row`), from memory while the table is unchanged; nullopt when the table
// is open elsewhere and has to be walked.
std::optional<std::string> remembered(int code, Names& names, const std::string& wanted,
                                      const std::function<std::pair<std::string, std::string>(rt::table::Table&)>& row) {
    const bool known = read_when_changed(
        code, names.stamp, [&names] { names.by_key.clear(); },
        [&](rt::table::Table& t) { names.by_key.insert(row(t)); });
    if (!known) return std::nullopt;
    const auto found = names.by_key.find(wanted);
    return found == names.by_key.end() ? std::string() : found->second;
}

// Municipalities are looked up by name and state together.
std::string municipality_key(const std::string& name, const std::string& state) { return name + '\n' + state; }

}  // namespace

std::string country_name(const std::string& code) {
    std::string name;
    const std::string wanted = key(code);
    if (wanted.empty()) return name;
    static Names countries;
    if (auto known = remembered(kCountries, countries, wanted, [](rt::table::Table& t) {
            return std::pair{key(t.get("CODPAIS").as_string()), rt::ALLTRIM(t.get("NOMPAIS").as_string())};
        }))
        return *known;
    search(kCountries, [&](rt::table::Table& t) {
        if (key(t.get("CODPAIS").as_string()) != wanted) return false;
        name = rt::ALLTRIM(t.get("NOMPAIS").as_string());
        return true;
    });
    return name;
}

std::string municipality_code(const std::string& name, const std::string& state) {
    std::string found;
    const std::string wanted = key(name);
    const std::string uf = key(state);
    if (wanted.empty()) return found;
    static Names municipalities;
    if (auto known = remembered(kMunicipalities, municipalities, municipality_key(wanted, uf), [](rt::table::Table& t) {
            return std::pair{municipality_key(key(t.get("NOMEMUNI").as_string()), key(t.get("UNIFED").as_string())),
                             rt::ALLTRIM(t.get("NROMUNI").as_string())};
        }))
        return *known;
    search(kMunicipalities, [&](rt::table::Table& t) {
        if (key(t.get("NOMEMUNI").as_string()) != wanted || key(t.get("UNIFED").as_string()) != uf) return false;
        found = rt::ALLTRIM(t.get("NROMUNI").as_string());
        return true;
    });
    return found;
}

}  // namespace qv::transfer
