#include "darf/darf_selic.hpp"

#include "darf/darf_state.hpp"
#include "declaration/loop/late_interest.hpp"
#include "runtime/core/cp850.hpp"

namespace qv::darf {

using rt::operator""_cp;

namespace {

// The SELIC months the slip's interest reaches, as CALCJU works them out.
std::vector<std::string> missing_months() {
    const int k = kind();
    if (k < kQuota || k > kVariableIncome) return {};
    const rt::Date due = date("DF_VCTO"), paid = date("DF_PGTO");
    if (later_quota()) return declaration::missing_selic_months(2, payment_month());
    if (!due.empty() && !paid.empty() && due < paid) return declaration::missing_selic_months(1);
    return {};
}

}  // namespace

std::vector<std::string> selic_gaps() { return declaration::selic_month_runs(missing_months()); }

bool warn_selic_gaps() {
    return declaration::warn_missing_selic(missing_months(), "Os juros desse DARF não incluem esses meses."_cp);
}

}  // namespace qv::darf
