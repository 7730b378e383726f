#include "transfer/code_lookup.hpp"

#include <functional>

#include "runtime/core/text.hpp"
#include "runtime/table/workspace.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

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

}  // namespace

std::string country_name(const std::string& code) {
    std::string name;
    const std::string wanted = key(code);
    if (wanted.empty()) return name;
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
    search(kMunicipalities, [&](rt::table::Table& t) {
        if (key(t.get("NOMEMUNI").as_string()) != wanted || key(t.get("UNIFED").as_string()) != uf) return false;
        found = rt::ALLTRIM(t.get("NROMUNI").as_string());
        return true;
    });
    return found;
}

}  // namespace qv::transfer
