#include "office/taxpayer_marks.hpp"

#include <string>
#include <vector>

#include "common/globals.hpp"
#include "common/windows.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/ui/achoice.hpp"
#include "tables/locks.hpp"
#include "tables/state.hpp"

namespace qv::office {

namespace {

constexpr int kListWindow = 5;

std::string line_of(rt::table::Table& reg) {
    const std::string mark = reg.get("IMPRE").as_string() == "S" ? "[x] " : "[ ] ";
    return rt::PADR(mark + reg.get("CPF").as_string() + " " + rt::TRIM(reg.get("NOMECONTR").as_string()), 62);
}

void plain_list(int area) {
    rt::table::Table* reg = tables::ws().table(area);
    if (!reg) return;
    std::vector<std::uint32_t> rows;
    for (reg->go_top(); !reg->eof(); reg->skip(1)) rows.push_back(reg->recno());
    if (rows.empty()) return;
    common::DEFINEJAN(kListWindow, common::Global("COR_TEL1").integer(30), common::Global("COR_TEL2").integer(31),
                      common::Global("COR_TEL3").integer(8), 4, 7, 21, 72, 2);
    common::ABREJAN(kListWindow);
    int at = 1;
    while (true) {
        std::vector<std::string> items;
        for (const std::uint32_t r : rows) {
            reg->go_to(r);
            items.push_back(line_of(*reg));
        }
        at = rt::ACHOICE(5, 8, 20, 71, items, {}, {}, at);
        if (at == 0) break;
        reg->go_to(rows[static_cast<std::size_t>(at - 1)]);
        tables::ws().select(area);
        if (!tables::REC_LOCK(5)) continue;
        reg->put("IMPRE", rt::Value(reg->get("IMPRE").as_string() == "S" ? "N" : "S"));
        reg->unlock();
    }
    common::FECHAJAN(kListWindow);
}

}  // namespace

void mark_taxpayers(int area) {
    tables::ws().select(area);
    if (rt::has_function("EDITA")) {
        const rt::Value grid(51);
        rt::call_function("EDITA", std::span<const rt::Value>(&grid, 1));
    } else {
        plain_list(area);
    }
    tables::ws().select(area);
}

long count_marked(int area) {
    rt::table::Table* reg = tables::ws().table(area);
    if (!reg) return 0;
    long n = 0;
    for (reg->go_top(); !reg->eof(); reg->skip(1))
        if (reg->get("IMPRE").as_string() == "S") ++n;
    return n;
}

}  // namespace qv::office
