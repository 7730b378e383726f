#include "declaration/grids/monthly_entry.hpp"

#include <set>
#include <string>

#include "common/amounts.hpp"
#include "common/globals.hpp"
#include "declaration/grids/capital_gain_instalments.hpp"
#include "declaration/grids/grid_engine.hpp"
#include "declaration/grids/grid_hooks.hpp"
#include "declaration/grids/matrix_grid.hpp"
#include "declaration/loop/page_globals.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "tables/locks.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {

namespace {

using rt::Value;

constexpr const char* kMonths = "CALC_MENS";
constexpr const char* kMonthPicture = "@Ez 9999,999.99";
constexpr int kTotalsRow = 13;
constexpr int kDomesticEmployeeCode = 50;
// Grid 7 opens on January for a row's months: the year is typed from its
// first month.
constexpr int kRowsStartRow = 1;

// The family of month fields ("I1_4" -> I1_401..I1_412) whose sum the
// current cell holds; empty when the cell has none. The dependants' income
// list has the dependant's CPF in front, which moves its amounts one right.
std::string month_family(const GridRun& g) {
    const int col = g.column();
    switch (g.description().code) {
        case 1:
        case 2: {
            const int pos = g.description().code == 2 ? col - 1 : col;
            return pos == 2 ? "I1_4" : pos == 3 ? "I1_6" : pos == 4 ? "I1_5" : "";
        }
        case 4: return col == 5 ? "I6_4" : "";
        case 17: return col == 2 ? "I1_4" : "";
        case 24: return "I1_4";
        default: return {};
    }
}

// Only the value columns of the asset and debt lists and the monthly upkeep
// amount are converted; a code, order or flag column never is.
bool converts(int code, const std::string& field) {
    static const std::set<std::string> values = {"I7_3", "I7_4", "I8_3", "I8_4"};
    if (code == 5 || code == 6 || code == 8 || code == 9 || code == 22 || code == 23) return values.count(field) > 0;
    return code == 15 && field == "VALODESP";
}

std::string month_field(const std::string& family, int month) { return family + rt::STRZERO(month, 2); }

double month_value(rt::table::Table& t, const std::string& field) {
    return t.field_index(field) >= 0 ? common::number_of(t.get(field)) : 0.0;
}

// The row's months into CALC_MENS: reais, and dollars at the month's rate
// (a domestic employee's contribution shows the employer's share instead).
void fill_months(rt::table::Table& t, const std::string& family, bool employer_share) {
    const Value rates = common::Global{"TAB_DOLAR"}.value();
    double reais = 0, second = 0;
    for (int m = 1; m <= 12; ++m) {
        const double v = month_value(t, month_field(family, m));
        const double rate = rates.is_array() && static_cast<std::size_t>(m) <= rates.len()
                                ? common::number_of(rates.at(static_cast<std::size_t>(m)))
                                : 0.0;
        const double other = employer_share ? common::DESPREZA(v / 0.2 * 0.12) : rate > 0 ? common::DESPREZA(v / rate) : 0.0;
        set_matrix_amount(kMonths, m, 2, v, kMonthPicture);
        set_matrix_amount(kMonths, m, 3, other, kMonthPicture);
        reais += v;
        second += other;
    }
    set_matrix_amount(kMonths, kTotalsRow, 2, reais, kMonthPicture);
    set_matrix_amount(kMonths, kTotalsRow, 3, second, kMonthPicture);
}

// MUDATEL13 from `start_row`; 0 when it answers nothing.
double run_month_grid(int start_row, const Value& current) {
    const Value args[] = {Value(start_row), current};
    const Value total = rt::call_function("MUDATEL13", args);
    return total.is_number() ? total.as_number() : 0.0;
}

// Grid 4: the months back into the payment, its total (the employer's
// share for a domestic employee) through the payment's limits.
void store_payment_months(GridRun& g, bool employer_share) {
    rt::table::Table& t = g.table();
    if (!tables::REC_LOCK()) return;
    const double before = t.get("I6_4").as_number();
    double sum = 0;
    for (int m = 1; m <= 12; ++m) {
        const double v = matrix_amount(kMonths, m, 2);
        if (t.field_index(month_field("I6_4", m)) >= 0) t.put(month_field("I6_4", m), Value(v));
        sum += employer_share ? matrix_amount(kMonths, m, 3) : v;
    }
    Value total(sum);
    replaces("FDOAPAG")(total);
    t.put("I6_4", total);
    t.commit();
    t.unlock();
    if (common::number_of(total) != before) vars::JA_CALC.set(Value(false));
}

// The months of the current row's amount edited in grid 7.
bool row_by_month(GridRun& g, const std::string& family) {
    const int code = g.description().code;
    tables::ws().select(g.description().area);
    rt::table::Table& t = g.table();
    ZERADOR();
    const bool made = t.eof();
    if (made && (code == 4 || !g.ADIC_REG())) return true;
    const bool employer_share = code == 4 && common::number_of(t.get("I6_3")) == kDomesticEmployeeCode;
    fill_months(t, family, employer_share);
    const common::Global grid_code{"OPC"}, matrix_column{"POSHORMAT"};
    const Value saved_code = grid_code.value(), saved_column = matrix_column.value();
    const double total = run_month_grid(kRowsStartRow, t.get(g.current_column().field));
    grid_code.set(saved_code);
    matrix_column.set(saved_column);
    common::Global{"PONTEIRO"}.set(Value(g.column()));
    tables::ws().select(g.description().area);
    if (code == 4) {
        store_payment_months(g, employer_share);
    } else if (total > 0 && g.F_TROCA(Value(total))) {
        run_named("FI1_T", {Value(2)});
        tables::ws().select(g.description().area);
        g.run_totals(g.current_column());
    } else if (made) {
        g.take_back_row();
        return true;
    }
    g.browse().refresh_current();
    return true;
}

// An asset's or debt's value, or an upkeep amount, worked out month by
// month from an empty breakdown.
bool value_by_month(GridRun& g) {
    tables::ws().select(g.description().area);
    rt::table::Table& t = g.table();
    const bool made = t.eof();
    if (made && !g.ADIC_REG()) return true;
    ZERADOR();
    const int first = g.description().code == 15 ? 3 : common::Global{"ULT_MES"}.integer(1);
    const double total = run_month_grid(first, t.get(g.current_column().field));
    tables::ws().select(g.description().area);
    if (total > 0 && g.F_TROCA(Value(total))) {
        g.run_totals(g.current_column());
    } else if (made) {
        g.take_back_row();
        return true;
    }
    g.browse().refresh_current();
    return true;
}

}  // namespace

bool month_by_month(GridRun& g) {
    if (const std::string family = month_family(g); !family.empty()) return row_by_month(g, family);
    if (converts(g.description().code, g.current_column().field)) return value_by_month(g);
    return false;
}

bool enter_breaks_down(const GridRun& g) {
    const int code = g.description().code;
    return code == 24 || (code == 17 && g.column() == 2);
}

}  // namespace qv::declaration::grids
