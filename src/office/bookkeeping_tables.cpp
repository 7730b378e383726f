#include "office/bookkeeping_tables.hpp"

#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::office {

namespace {

std::string text_of(rt::table::Table& t, const char* field) {
    const rt::Value v = t.get(field);
    return v.is_string() ? rt::ALLTRIM(v.as_string()) : std::string();
}

bool yes(rt::table::Table& t, const char* field) { return rt::UPPER(text_of(t, field)) == "S"; }

}  // namespace

bool open_chart() { return tables::ws().table(kChartArea) != nullptr || tables::ABERTURA(kChartArea); }

std::optional<Account> account(const std::string& code) {
    rt::table::Table* chart = tables::ws().table(kChartArea);
    const std::string wanted = rt::ALLTRIM(code);
    if (!chart || wanted.empty()) return std::nullopt;
    for (chart->go_top(); !chart->eof(); chart->skip()) {
        if (chart->deleted() || text_of(*chart, "CDCONTA") != wanted) continue;
        return Account{wanted,
                       text_of(*chart, "NMDESCRICA"),
                       static_cast<int>(chart->get("PAGINA").as_number()),
                       static_cast<int>(chart->get("LINHA").as_number()),
                       yes(*chart, "TEMCPF"),
                       yes(*chart, "TEMCGC"),
                       yes(*chart, "LIVROCX"),
                       yes(*chart, "TEMDESCR"),
                       yes(*chart, "CDSTATUS")};
    }
    return std::nullopt;
}

}  // namespace qv::office
