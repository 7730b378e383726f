// Calculators run by the grids: the savings-income lines carried into the
// declaration, the asset upkeep list, and one instalment row of a capital
// gain received in parts.
#include <array>
#include <string>

#include "common/amounts.hpp"
#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/grids/grid_check_support.hpp"
#include "declaration/grids/grid_checks.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {

namespace {

using rt::Value;

constexpr int kAssetsArea = 24;
constexpr int kUpkeepArea = 30;
constexpr int kSavingsArea = 34;
constexpr int kAssetCodes = 46;
constexpr std::size_t kDescriptionWidth = 60;

// A column of the savings rows and the declaration line it is carried into.
struct SavingsLine {
    const char* column;
    const char* line;
    const char* question;
};

constexpr std::array<SavingsLine, 6> kSavingsLines{{
    {"POUPANCA", "I3_08", "J\xA0 existe valor lan\x87\x61\x64o na Poupanca! Zera o valor?"},
    {"APLICACAO", "I4_04", "J\xA0 existe valor lan\x87\x61\x64o na Aplica\x87\xC6o! Zera o valor?"},
    {"PREJU", "PREJVEN1", "J\xA0 existe valor lan\x87\x61\x64o no Prejuizo! Zera o valor?"},
    {"OUTNT", "I3_12", "J\xA0 existe valor lan\x87\x61\x64o em Outros n\xC6o Trib! Zera o valor?"},
    {"OUTTR", "I4_05", "J\xA0 existe valor lan\x87\x61\x64o em Outros Trib! Zera o valor?"},
    {"OUTDP", "I4_09", "J\xA0 existe valor lan\x87\x61\x64o em Outros Trib do Dependente! Zera o valor?"},
}};

void add_description(std::string& text, rt::table::Table& t) {
    const std::string d = rt::ALLTRIM(t.get("DESCRICAO").as_string());
    if (d.empty()) return;
    if (!text.empty()) text += ",";
    text += d;
}

std::string padded(const std::string& text) { return rt::PADR(text, static_cast<long>(kDescriptionWidth)); }

// The asset starting at the current row: its first 25 characters of
// description, item and code; the rows of its group are walked up to the
// first with a value at the end of the year, which gives the upkeep.
struct Asset {
    std::string description;
    double code = 0;
    double upkeep = 0;
};

Asset read_asset(rt::table::Table& t) {
    Asset a;
    a.description = rt::LEFT(t.get("I7_2").as_string(), 25);
    const double item = field_number(t, "I7_1");
    a.code = field_number(t, "I7_5");
    for (bool first = true; !t.eof(); first = false) {
        const double row_item = field_number(t, "I7_1");
        if (!first) {
            if (row_item != item && row_item != 0) break;
            if (field_number(t, "I7_5") != 0) a.code = field_number(t, "I7_5");
        }
        const double end_value = field_number(t, "I7_4");
        t.skip();
        if (end_value > 0) {
            a.upkeep = end_value / 12.0 * 0.1;
            break;
        }
    }
    return a;
}

void append_upkeep(rt::table::Table& upkeep, rt::table::Table& codes, const Asset& a) {
    if (a.upkeep == 0 || !codes.seek(Value(a.code)) || codes.get("CODBEM").as_number() != a.code) return;
    const std::string kind = codes.get("DESPBEM").as_string();
    if (rt::TRIM(kind).empty() || !upkeep.append_blank()) return;
    upkeep.put("CPF", common::Global{"CPF"}.value());
    upkeep.put("CODDESP", codes.get("CODBEM"));
    upkeep.put("DESCRITEM", Value(a.description));
    upkeep.put("DESCDESP", Value(kind));
    upkeep.put("VALODESP", Value(a.upkeep));
    upkeep.commit();
}

// Empties a work list (work copies are the terminal's own).
void empty_list(rt::table::Table& t) {
    if (t.exclusive()) {
        t.zap();
        return;
    }
    for (t.go_top(); !t.eof(); t.skip())
        if (t.rlock()) {
            t.delete_record();
            t.unlock();
        }
}

}  // namespace

bool FCALPOUPA(int mode) {
    std::array<double, kSavingsLines.size()> totals{};
    for_each_row(kSavingsArea, [&totals](rt::table::Table& t) {
        for (std::size_t k = 0; k < kSavingsLines.size(); ++k) totals[k] += field_number(t, kSavingsLines[k].column);
    });
    for (std::size_t k = 0; k < kSavingsLines.size(); ++k) {
        if (totals[k] != 0 || amount(kSavingsLines[k].line) <= 0) continue;
        if (mode == 0 && !common::asks_yes_default_no(kSavingsLines[k].question)) return false;
    }
    for (std::size_t k = 0; k < kSavingsLines.size(); ++k) set_amount(kSavingsLines[k].line, totals[k]);
    std::string exempt, taxable, dependants;
    for_each_row(kSavingsArea, [&](rt::table::Table& t) {
        if (field_number(t, "OUTNT") > 0) add_description(exempt, t);
        else if (field_number(t, "OUTTR") > 0) add_description(taxable, t);
        else if (field_number(t, "OUTDP") > 0) add_description(dependants, t);
    });
    set_value("I3_12D", Value(padded(exempt)));
    set_value("I4_05D", Value(padded(taxable)));
    set_value("I4_09D", Value(padded(dependants)));
    return true;
}

void BUSCA_DESP() {
    const KeepArea keep;
    rt::table::Table* assets = tables::ws().table(kAssetsArea);
    rt::table::Table* upkeep = tables::ws().table(kUpkeepArea);
    if (!assets || !upkeep || !tables::ABERTURA(kAssetCodes)) return;
    rt::table::Table& codes = tables::ws().current();
    empty_list(*upkeep);
    const std::uint32_t position = assets->recno();
    assets->go_top();
    while (!assets->eof()) append_upkeep(*upkeep, codes, read_asset(*assets));
    tables::ws().close(kAssetCodes);
    if (position >= 1 && position <= assets->lastrec()) assets->go_to(position);
    upkeep->go_top();
}

}  // namespace qv::declaration::grids
