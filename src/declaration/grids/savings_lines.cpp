#include "declaration/grids/savings_lines.hpp"

#include <array>
#include <cstdint>
#include <string>

#include "common/globals.hpp"
#include "common/messages.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "tables/locks.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {

namespace {

constexpr int kSavingsArea = 34;

struct DescribedLine {
    const char* description;   // the declaration's text of the line
    const char* amount;        // the declaration's value of the line
    const char* field;         // the grid's column that carries it
};

constexpr std::array<DescribedLine, 3> kLines = {{{"I3_12D", "I3_12", "OUTNT"},
                                                  {"I4_05D", "I4_05", "OUTTR"},
                                                  {"I4_09D", "I4_09", "OUTDP"}}};

constexpr std::array<const char*, 6> kAmounts = {"POUPANCA", "APLICACAO", "PREJU", "OUTNT", "OUTTR", "OUTDP"};

}  // namespace

std::vector<std::string> savings_footings() {
    std::array<double, kAmounts.size()> totals{};
    if (rt::table::Table* t = tables::ws().table(kSavingsArea)) {
        const std::uint32_t at = t->recno();
        for (t->go_top(); !t->eof(); t->skip(1))
            for (std::size_t i = 0; i < kAmounts.size(); ++i) totals[i] += t->get(kAmounts[i]).as_number();
        t->go_to(at);
    }
    std::vector<std::string> out = {"Totais"};
    for (const double total : totals) out.push_back(rt::TRANSFORM(rt::Value(total), "@Ez 99,999,999.99"));
    return out;
}

void prepare_savings_lines() {
    rt::table::Table* t = tables::ws().table(kSavingsArea);
    if (t == nullptr) return;
    rt::table::Workspace::Selected on(tables::ws(), kSavingsArea);
    std::array<bool, kLines.size()> present{};
    bool mixed = false;
    for (t->go_top(); !t->eof(); t->skip(1)) {
        const std::string row = rt::TRIM(t->get("DESCRICAO").as_string());
        if (t->get("OUTNT").as_number() > 0 && t->get("OUTTR").as_number() > 0) mixed = true;
        if (row.empty()) continue;
        for (std::size_t i = 0; i < kLines.size(); ++i)
            if (rt::TRIM(common::Global{kLines[i].description}.text()).find(row) != std::string::npos) present[i] = true;
    }
    if (mixed) common::MENS(1, "Use uma linha para o Tributado e outra para o Isento");
    for (std::size_t i = 0; i < kLines.size(); ++i) {
        const std::string text = rt::TRIM(common::Global{kLines[i].description}.text());
        if (present[i] || text.empty() || !tables::ADD_REC()) continue;
        t->put("CPF", common::Global{"CPF"}.value());
        t->put("DESCRICAO", rt::Value(text));
        t->put(kLines[i].field, rt::Value(common::Global{kLines[i].amount}.number()));
        t->commit();
        t->unlock();
    }
    t->go_top();
}

}  // namespace qv::declaration::grids
