#include "declaration/calc/monthly_sheet.hpp"

#include <algorithm>

#include "common/amounts.hpp"
#include "common/globals.hpp"
#include "runtime/core/picture.hpp"

namespace qv::declaration {

namespace {
constexpr const char* kCellPicture = "@Ez 9999,999.99";
}  // namespace

MonthlySheet::MonthlySheet(std::string_view name, int columns) : columns_(columns) {
    const common::Global var{name};
    rt::Value matrix = var.value();
    if (!matrix.is_array()) {
        matrix = rt::Value::array();
        var.set(matrix);
    }
    rows_ = matrix.as_array();
    while (rows_->size() < kTotalsRow) rows_->push_back(rt::Value::array());
    for (auto& row : *rows_) {
        if (!row.is_array()) row = rt::Value::array();
        auto& cells = *row.as_array();
        while (static_cast<int>(cells.size()) < columns) cells.emplace_back(std::string());
        columns_ = std::max(columns_, static_cast<int>(cells.size()));
    }
}

MonthlySheet MonthlySheet::carne_leao() {
    const std::string name = common::Global{"MATATU"}.text("rec_mensal");
    return MonthlySheet(name.empty() ? "rec_mensal" : name, 8);
}

rt::Value& MonthlySheet::cell(int row, int col) const {
    return (*(*rows_)[static_cast<std::size_t>(row - 1)].as_array())[static_cast<std::size_t>(col - 1)];
}

double MonthlySheet::get(int row, int col) const {
    const rt::Value& v = cell(row, col);
    if (v.is_number()) return v.as_number();
    return v.is_string() ? common::CAR_TO_VAL(v.as_string()) : 0.0;
}

void MonthlySheet::set(int row, int col, double value) {
    cell(row, col) = rt::Value(rt::TRANSFORM(rt::Value(value), kCellPicture));
}

double MonthlySheet::total(int col) {
    double sum = 0.0;
    for (int m = 1; m <= 12; ++m) sum += get(m, col);
    set(kTotalsRow, col, sum);
    return get(kTotalsRow, col);
}

}  // namespace qv::declaration
