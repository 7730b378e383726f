#include "transfer/rural_results.hpp"

#include <array>
#include <functional>
#include <initializer_list>
#include <map>
#include <utility>
#include <vector>

#include "declaration/calc/declaration_values.hpp"
#include "declaration/calc/rural_page.hpp"
#include "declaration/calc/rural_results.hpp"
#include "declaration/loop/work_tables.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/table/workspace.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"
#include "transfer/saved_activities.hpp"
#include "transfer/xml_sections.hpp"

namespace qv::transfer {
namespace {

namespace dc = qv::declaration;
using Table = rt::table::Table;

constexpr int kSummaryTable = 15;
constexpr int kPropertiesTable = 16;
constexpr int kDebtsTable = 18;
constexpr int kResultsPage = 14;
constexpr int kMonthsPage = 13;
constexpr int kHiddenMode = 3;   // computed, not shown
constexpr int kTotalsOnly = 1;   // the month totals, not shown

// The lines the result page computes.
constexpr std::array<const char*, 8> kResults = {"I4R_01", "I4R_02", "I4R_03", "I4R_05",
                                                 "I4R_06", "I4R_07", "I5_08",  "I6_10"};
// What the page reads and computes for one activity, and the combination's
// own values of that activity.
constexpr std::initializer_list<const char*> kActivityValues = {
    "ATV_BRASIL", "I4R_01", "I4R_02", "I4R_03", "I4R_04", "I4R_05", "I4R_06",   "I4R_07",  "I5_08",
    "I5_09",      "I5_10",  "I6_10",  "NTOTUS", "NTOT20RS", "NTOTANT", "NTOTBASE", "JA_CALC"};

std::map<std::string, std::map<std::string, double>>& results() {
    static std::map<std::string, std::map<std::string, double>> kept;
    return kept;
}

// The declaration's values of the activity it stands on, put back when the
// other activity has been computed in their place.
class ActivityValuesKept {
public:
    ActivityValuesKept() {
        for (const char* name : kActivityValues) saved_.emplace_back(name, rt::Value());
        for (auto& [name, value] : saved_) value = common_value(name);
    }
    ~ActivityValuesKept() {
        for (const auto& [name, value] : saved_) dc::set_value(name, value);
    }
    ActivityValuesKept(const ActivityValuesKept&) = delete;
    ActivityValuesKept& operator=(const ActivityValuesKept&) = delete;

private:
    static rt::Value common_value(const std::string& name) {
        if (rt::variables().exists(name)) return rt::variables().get(name);
        return name == "ATV_BRASIL" ? rt::Value(" ") : rt::Value(0.0);
    }
    std::vector<std::pair<std::string, rt::Value>> saved_;
};

void keep_results(const std::string& activity) {
    auto& kept = results()[activity];
    for (const char* line : kResults) kept[line] = dc::amount(line);
}

// The saved rows of a rural table for the activity's key, each visited;
// the table is opened for the purpose when it is not open.
void saved_rows(int table, const std::string& key, const std::function<void(Table&)>& visit) {
    if (!saved_rows_may_exist(table, key)) return;
    auto& ws = tables::ws();
    const int selected = ws.selected();
    const bool opened = ws.table(table) == nullptr;
    if (opened && !tables::ABERTURA(table)) {
        ws.select(selected);
        return;
    }
    struct Close {
        int table;
        bool opened;
        int selected;
        ~Close() {
            if (opened) tables::ws().close(table);
            tables::ws().select(selected);
        }
    } close{table, opened, selected};
    each_row_of(
        table, "CPF+ATV_BRASIL", key,
        [&key](Table& t) {
            return rt::PADR(t.get("CPF").as_string(), 11) + rt::ALLTRIM(t.get("ATV_BRASIL").as_string()) == key;
        },
        visit);
}

// Abroad the result is the properties' result in dollars and the option
// the properties' 20 % of receipts, both summed over the activity's rows.
void abroad_totals(const std::function<void(const std::function<void(Table&)>&)>& properties) {
    double result = 0, option = 0;
    properties([&](Table& t) {
        result += field_amount(t, "RESUS");
        option += field_amount(t, "OPC20RS");
    });
    dc::set_amount("NTOTUS", result);
    dc::set_amount("NTOT20RS", option);
}

// The activity the declaration does not stand on, from the saved tables:
// its results as the page would give them once that activity were shown.
void compute_other(const std::string& activity) {
    const std::string key = rt::PADR(dc::text("CPF"), 11) + activity;
    const ActivityValuesKept kept;
    dc::set_value("ATV_BRASIL", rt::Value(activity));
    for (const char* name : kActivityValues)
        if (std::string_view(name) != "ATV_BRASIL" && std::string_view(name) != "JA_CALC") dc::set_amount(name, 0.0);
    bool found = false;
    double receipts = 0, expenses = 0;
    saved_rows(kSummaryTable, key, [&](Table& t) {
        if (found) return;
        found = true;
        for (const char* name : {"I4R_02", "I4R_04", "I5_09", "I5_10"}) dc::set_amount(name, field_amount(t, name));
        for (int m = 1; m <= 12; ++m) {
            receipts += field_amount(t, "I3_" + rt::STRZERO(m, 2) + "OR");
            expenses += field_amount(t, "I3_" + rt::STRZERO(m, 2) + "OD");
        }
    });
    if (activity == "S") {
        dc::set_amount("I4R_01", receipts);
        dc::set_amount("I4R_02", expenses);
    } else {
        abroad_totals([&](const auto& visit) { saved_rows(kPropertiesTable, key, visit); });
    }
    double debts_2010 = 0, debts_2011 = 0;
    saved_rows(kDebtsTable, key, [&](Table& t) {
        debts_2010 += field_amount(t, "I9R_2");
        debts_2011 += field_amount(t, "I9R_3");
    });
    dc::set_amount("NTOTANT", debts_2010);
    dc::set_amount("NTOTBASE", debts_2011);
    // Without its summary row the activity has no results: its share of
    // the combination is nought.
    if (found) dc::CALCRUR(kResultsPage, kHiddenMode);
    else dc::CALC_PREJU();
    if (found) keep_results(activity);
}

void compute_current(const std::string& activity) {
    if (activity == "S") {
        dc::CALCRUR(kMonthsPage, kTotalsOnly);
    } else {
        abroad_totals([](const auto& visit) { dc::for_each_row(dc::work_area(kPropertiesTable), visit); });
    }
    dc::call_if_present("SOMA_DIV", {rt::Value(0)});
    dc::CALCRUR(kResultsPage, kHiddenMode);
    keep_results(activity);
}

}  // namespace

void compute_rural_results() {
    forget_rural_results();
    if (!dc::is("TEMRURAL", 'S')) return;
    const std::string current = dc::is("ATV_BRASIL", 'N') ? "N" : "S";
    compute_other(current == "S" ? "N" : "S");
    compute_current(current);
}

std::optional<double> rural_result(std::string_view activity, const std::string& line) {
    const auto a = results().find(std::string(activity));
    if (a == results().end()) return std::nullopt;
    const auto v = a->second.find(line);
    if (v == a->second.end()) return std::nullopt;
    return v->second;
}

void forget_rural_results() { results().clear(); }

}  // namespace qv::transfer
