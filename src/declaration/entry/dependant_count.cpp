#include "declaration/entry/dependant_count.hpp"

#include "common/globals.hpp"
#include "runtime/core/varstore.hpp"
#include "tables/state.hpp"

namespace qv::declaration {

namespace {
constexpr int kDependantsArea = 23;
constexpr int kFirstAlimonyCode = 98;
constexpr int kLastAlimonyCode = 99;
}  // namespace

DependantCount count_dependants(rt::table::Table& t) {
    // The count is of the whole list: a view left by a grid or by the
    // payee check of a payment's number would lose people, and with them
    // their deductions.
    t.clear_filter();
    DependantCount count;
    const std::uint32_t at = t.recno();
    int running = 0;
    for (t.go_top(); !t.eof(); t.skip()) {
        const int code = static_cast<int>(t.get("CODIDEPEN").as_number());
        if (code < kFirstAlimonyCode) ++count.dependants;
        else if (code <= kLastAlimonyCode) ++count.alimony;
        // Heirs are no one's payee: they neither count nor take a number.
        else continue;
        ++running;
        if (t.get("NRODEPEN").as_number() == 0 && t.rlock()) {
            t.put("NRODEPEN", rt::Value(running));
            t.commit();
            t.unlock();
        }
    }
    if (at) t.go_to(at);
    return count;
}

int NRODP() {
    rt::table::Table* t = tables::ws().table(kDependantsArea);
    DependantCount count;
    if (t) count = count_dependants(*t);
    common::Global("N_DEPEN").set(rt::Value(count.dependants));
    common::Global("DESPALIM").set(rt::Value(count.alimony));
    return count.dependants;
}

}  // namespace qv::declaration
