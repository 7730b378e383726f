#include "declaration/calc/patrimonial_variation.hpp"

#include <algorithm>
#include <string_view>

#include "declaration/calc/declaration_values.hpp"

namespace qv::declaration {

namespace {

constexpr int kAssetsArea = 24;
constexpr int kDebtsArea = 25;

double list_total(int area, std::string_view field) {
    double total = 0.0;
    for_each_row(area, [&](rt::table::Table& r) { total += field_number(r, field); });
    return total;
}

}  // namespace

void FI10_1() {
    const double assets_before = list_total(kAssetsArea, "I7_3"), assets_after = list_total(kAssetsArea, "I7_4");
    const double debts_before = list_total(kDebtsArea, "I8_3"), debts_after = list_total(kDebtsArea, "I8_4");
    set_amount("NTOTBEMANT", assets_before);
    set_amount("NTOTBEMBASE", assets_after);
    set_amount("NTOTBANT1", list_total(kAssetsArea, "I7_9"));
    set_amount("NTOTDIVANT", debts_before);
    set_amount("NTOTDIVBASE", debts_after);
    set_amount("NTOTDANT1", list_total(kDebtsArea, "I8_6"));
    const double variation = (assets_after + debts_before) - (assets_before + debts_after);
    const double assets = assets_after - assets_before, debts = debts_after - debts_before;
    set_amount("VARPATR", variation);
    set_amount("VARBEN", assets);
    set_amount("VARDIV", debts);
    double loans = 0.0, freed = 0.0;
    if (assets >= 0.0 && debts >= 0.0) {
        loans = std::max(debts - assets, 0.0);
    } else if (assets < 0.0 && debts >= 0.0) {
        loans = debts;
        freed = -assets;
    } else if (assets < 0.0) {
        freed = std::max(-assets + debts, 0.0);
    }
    set_amount("EMPREST", loans);
    set_amount("I10_2", freed);
    set_amount("I10_1", std::max(variation, 0.0));
}

}  // namespace qv::declaration
