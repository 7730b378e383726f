#include "declaration/loop/register_summaries.hpp"

#include <array>
#include <functional>
#include <string>

#include "runtime/core/text.hpp"

namespace qv::declaration {

namespace {

std::string month_field(const char* prefix, int month) {
    return prefix + rt::STRZERO(month, 2);
}

// Runs `fn` on every visible row and puts the cursor back.
void each_row(rt::table::Table& t, const std::function<void()>& fn) {
    const std::uint32_t at = t.recno();
    const bool was_eof = t.eof();
    for (t.go_top(); !t.eof(); t.skip(1)) fn();
    if (was_eof || at == 0) t.go_top();
    else t.go_to(at);
}

// Sum and count of the positive months; no month but some item gives -1.
MonthsDue positive_months(const std::array<double, 12>& sums, int items) {
    MonthsDue due;
    for (double v : sums) {
        if (v <= 0) continue;
        ++due.count;
        due.total += v;
    }
    if (due.count == 0 && items > 0) due.count = -1;
    return due;
}

}  // namespace

MonthsDue carne_leao_months(rt::table::Table& monthly) {
    MonthsDue due;
    each_row(monthly, [&] {
        for (int month = 1; month <= 12; ++month) {
            const double v = monthly.get(month_field("I2_7", month)).as_number();
            if (v <= 0) continue;
            ++due.count;
            due.total += v;
        }
    });
    return due;
}

GainsMonths gains_months(rt::table::Table& gains) {
    std::array<double, 12> gain_sums{}, income_sums{};
    int g = 0, v = 0;
    each_row(gains, [&] {
        if (gains.get("TIPO_BEM").as_number() != 4) {
            if (gains.get("VAL_ALI").as_number() <= gains.get("CUS_ATUAL").as_number() ||
                gains.get("VAL_TRIBU").as_number() == 0) {
                ++g;
                return;
            }
            for (int month = 1; month <= 12; ++month) {
                const double due = gains.get(month_field("IMP_DEV", month)).as_number();
                gain_sums[std::size_t(month - 1)] += due - gains.get(month_field("IMP_PAG", month)).as_number();
                if (due > 0) ++g;
            }
            return;
        }
        const int item = static_cast<int>(gains.get("RVAR_NRO").as_number());
        if (item <= 24 || !rt::ALLTRIM(gains.get("DAY_TRADE").as_string()).empty()) return;
        for (int month = 1; month <= 12; ++month) {
            const double result = gains.get(month_field("REC_MES", month)).as_number();
            if (item == 25) {
                income_sums[std::size_t(month - 1)] += result;
                if (result > 0) ++v;
            } else {
                income_sums[std::size_t(month - 1)] -= result;
            }
        }
    });
    return {positive_months(gain_sums, g), positive_months(income_sums, v)};
}

}  // namespace qv::declaration
