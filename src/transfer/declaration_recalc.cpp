#include "transfer/declaration_recalc.hpp"

#include <exception>

#include "common/globals.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/calc/recalculation.hpp"
#include "declaration/calc/variable_income.hpp"
#include "gains/gain_recompute.hpp"
#include "runtime/core/text.hpp"
#include "transfer/rural_results.hpp"

namespace qv::transfer {
namespace {

namespace dc = qv::declaration;

constexpr int kGainsArea = 27;
constexpr int kVariableIncome = 4;

bool has_rows_of(const std::string& kind) {
    bool any = false;
    dc::for_each_row(kGainsArea, [&](rt::table::Table& t) {
        if (!t.deleted() && dc::field_number(t, "TIPO_BEM") == kVariableIncome &&
            rt::ALLTRIM(t.get("DAY_TRADE").as_string()) == kind)
            any = true;
    });
    return any;
}

// Each statement that has rows of its own, as its screen leaves it: filled
// from the rows, its derived lines worked out, stored back; then the year's
// totals. Day trade goes before the common operations, whose statement
// carries the day trade's tax and withholdings into the tax to pay.
void settle_statements() {
    const common::Global day_trade{"DAY_TRADE"};
    const rt::Value shown = day_trade.value();
    for (const std::string kind : {"2", "1", "3"}) {
        if (!has_rows_of(kind)) continue;
        dc::PRENCHE_MAT(kind);
        dc::GRAVA_RV();
    }
    day_trade.set(shown.is_nil() ? rt::Value("1") : shown);
    dc::CALC_GRV();
}

}  // namespace

std::string recalculate_declaration() {
    try {
        settle_statements();
        gains::recompute_gains();
        compute_rural_results();
        dc::CALC(7, 0);
        return {};
    } catch (const std::exception& e) {
        return e.what();
    }
}

}  // namespace qv::transfer
