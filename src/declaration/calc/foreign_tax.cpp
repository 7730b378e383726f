#include "declaration/calc/foreign_tax.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "common/avisosn.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/calc/quotas.hpp"
#include "declaration/calc/summary_lines.hpp"
#include "declaration/calc/tax_table.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"

namespace qv::declaration {

namespace {

using rt::operator""_cp;

std::string shown(double v, std::string_view picture) { return rt::TRANSFORM(rt::Value(v), picture); }

}  // namespace

ForeignTaxLimit foreign_tax_limit() {
    // Both sides are the total tax due (line 26): the tax of the base less
    // its own incentives and domestic employee's social security, plus the
    // tax on cumulative income; only the foreign income differs.
    const double income = amount("I13_08") - (amount("I13_49") + amount("I13_50"));
    const double pension = std::min(amount("I13_11T"), income * 0.12);
    double deductions = pension;
    for (const char* n : {"I13_09", "I13_10", "I13_12", "I13_13", "I13_14", "I13_15", "I13_16", "I13_17", "I13_18"})
        deductions += amount(n);
    const double tax = CALC_IMPOS(kAnnualTable, income - deductions, "nSemExter", 12);
    return {amount("I13_26"), total_tax_due(tax)};
}

bool FI13_32(double nValue) {
    const ForeignTaxLimit tax = foreign_tax_limit();
    const double limit = tax.limit();
    if (limit > 0.0 && nValue > limit) {
        common::AVISOSN(std::vector<std::string>{
            "O imposto pago no exterior não pode execeder a diferença"_cp,
            "entre o imposto devido com esses rendimentos: "_cp + shown(tax.with_income, "@Ez 999,999,999.99"),
            "e sem eles: " + shown(tax.without_income, "@Ez 999,999,999.99"),
            "Esse limite é de R$"_cp + shown(limit, "@EZ 999,999.99") + ". O QV2012 irá assumí-lo."_cp});
        set_amount("I13_32", limit);
    } else if (limit <= 0.0) {
        set_amount("I13_32", 0.0);
    }
    FI13_35(0);
    FI13_3526(0);
    FQTD_QUOTA(0);
    return true;
}

bool TEM_EXTER() {
    if (amount("I13_49") + amount("I13_50") > 0.0) return true;
    set_amount("I13_32", 0.0);
    return false;
}

}  // namespace qv::declaration
