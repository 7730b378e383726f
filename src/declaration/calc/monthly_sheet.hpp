#pragma once
// A monthly matrix held in a variable: 13 rows (months and totals) of text
// cells written with the amount picture and read back as amounts.
#include <string>
#include <string_view>
#include "runtime/core/value.hpp"

namespace qv::declaration {

inline constexpr int kTotalsRow = 13;

class MonthlySheet {
public:
    // The matrix of the variable `name`; a missing or short one is made
    // 13 x `columns` of empty cells.
    MonthlySheet(std::string_view name, int columns);
    // The sheet named by MATATU (the carnê-leão sheet of the person shown).
    static MonthlySheet carne_leao();

    double get(int row, int col) const;
    void set(int row, int col, double value);
    // Row 13 of the column: the sum of months 1-12.
    double total(int col);
    int columns() const { return columns_; }

private:
    rt::Value& cell(int row, int col) const;
    rt::ArrayRef rows_;
    int columns_;
};

}  // namespace qv::declaration
