#pragma once
// Tax paid abroad: deductible only up to the part of the tax due that the
// foreign income brought.
namespace qv::declaration {

// The limit: tax due with the foreign income less the tax due without it.
struct ForeignTaxLimit {
    double with_income;
    double without_income;
    double limit() const { return with_income - without_income; }
};
ForeignTaxLimit foreign_tax_limit();

// Validation of line 32: limits nValue, then recomputes the balance.
bool FI13_32(double nValue);
// Condition of line 32: entry only with foreign income.
bool TEM_EXTER();

}  // namespace qv::declaration
