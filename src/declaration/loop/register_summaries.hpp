#pragma once
// The figures the register keeps of each declaration so that the office's
// lists need not open it: the carnê-leão months and the months with capital
// gains or variable-income tax due.
#include "runtime/table/table.hpp"

namespace qv::declaration {

struct MonthsDue {
    int count = 0;       // -1: items exist but no month has anything due
    double total = 0.0;
};

// Positive monthly carnê-leão amounts (I2_7<mm>) over every row.
MonthsDue carne_leao_months(rt::table::Table& monthly);

struct GainsMonths {
    MonthsDue capital_gains;
    MonthsDue variable_income;
};
// Months with capital-gains tax due and with variable-income results, over
// every row of the gains list.
GainsMonths gains_months(rt::table::Table& gains);

}  // namespace qv::declaration
