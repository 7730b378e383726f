#include "declaration/calc/quotas.hpp"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "common/amounts.hpp"
#include "common/avisosn.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/calc/summary_lines.hpp"
#include "declaration/calc/summary_page.hpp"
#include "runtime/core/cp850.hpp"

namespace qv::declaration {

namespace {

using rt::operator""_cp;

constexpr double kSmallestQuota = 50.0;
constexpr int kMostQuotas = 8;

void clear_automatic_debit() { set_value("DEBITAUT", rt::Value(" ")); }

// Steps shared by both quota fields: the count in force, or 0 when there is
// nothing to pay. Clears the automatic debit as the caller asks.
int quota_count(bool clear_debit_on_one) {
    const double balance = amount("I13_36");
    if (balance == 0.0) {
        set_amount("QTD_QUOTA", 0);
        set_amount("I13_37", 0);
        clear_automatic_debit();
        return 0;
    }
    const int possible = possible_quotas(balance);
    const int chosen = static_cast<int>(amount("QTD_QUOTA"));
    if (chosen <= 0 || chosen > possible) {
        set_amount("QTD_QUOTA", possible);
        if (possible == 1 && clear_debit_on_one) clear_automatic_debit();
        return possible;
    }
    return chosen;
}

// Only a final estate declaration is paid at once: the partition's or the
// deed's date left from an estate that was turned back into an ordinary
// declaration limits nothing.
bool estate_final_partition() {
    if (!is("DECFINAL", 'S')) return false;
    return (!date("DATAPARTI").empty() && is("DECJUDI", 'S')) || (!date("DATALAVRA").empty() && is("DECJUDI", 'N'));
}

void set_quota_value(int count) {
    set_amount("I13_37", count > 0 ? common::DESPREZA(amount("I13_36") / count) : 0.0);
}

}  // namespace

int possible_quotas(double balance) {
    return std::clamp(static_cast<int>(std::floor(balance / kSmallestQuota)), 1, kMostQuotas);
}

double FQTD_QUOTA(int nShow) {
    int count = quota_count(true);
    if (count > 0 && estate_final_partition()) {
        if (static_cast<int>(amount("QTD_QUOTA")) > 1)
            common::AVISOSN(std::vector<std::string>{"  ATENÇÃO! Não é permitido o"_cp,
                                                     "parcelamento em declaração final"_cp});
        count = 1;
        set_amount("QTD_QUOTA", 1);
        clear_automatic_debit();
    }
    if (count > 0) set_quota_value(count);
    if (nShow == 1) {
        show_quotas(simplified_model());
        return 1.0;
    }
    return amount("I13_37");
}

bool FPARCELA(int nShow) {
    const int count = quota_count(false);
    if (count > 0) set_quota_value(count);
    if (nShow == 1) show_quotas(true);
    return true;
}

bool VE_QUOT() {
    if (static_cast<int>(amount("QTD_QUOTA")) == 1) clear_automatic_debit();
    if (is("DECFINAL", 'S') || is("DECSAIDA", 'S')) return false;
    return amount("I13_36") != 0.0;
}

}  // namespace qv::declaration
