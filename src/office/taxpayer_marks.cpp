#include "office/taxpayer_marks.hpp"

#include <string>
#include <vector>

#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "tables/locks.hpp"
#include "tables/state.hpp"

namespace qv::office {

void mark_taxpayers(int area) {
    tables::ws().select(area);
    rt::call_routine("EDITA", {rt::Value(51)});
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
