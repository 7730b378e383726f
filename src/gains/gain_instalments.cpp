#include "gains/gain_instalments.hpp"

#include <algorithm>
#include <array>
#include <vector>

#include "common/amounts.hpp"
#include "common/calendar_names.hpp"
#include "common/globals.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "gains/gain_chain.hpp"
#include "gains/gain_rows.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"

namespace qv::gains {

namespace {

constexpr int kMonthColumn = 3;
constexpr int kTotalsRow = 13;

// The month fields behind the columns; the fifth column holds what was
// withheld for shares and what was paid otherwise.
struct MonthColumn {
    int column;
    const char* prefix;
};

bool shares() {
    return common::Global{"TIPO_BEM"}.integer() == Participations && common::Global{"TIPOPART"}.integer() == 1;
}

std::array<MonthColumn, 5> month_columns() {
    if (shares())
        return {{{1, "VAL_TRI"}, {2, "IMP_DEV"}, {4, "REC_MES"}, {5, "IMP_LEI"}, {6, "IMP_PAG"}}};
    return {{{1, "VAL_TRI"}, {2, "IMP_DEV"}, {4, "REC_MES"}, {5, "IMP_PAG"}, {0, "IMP_LEI"}}};
}

rt::Array& matrix_row(int row) {
    const common::Global matrix{"REC_GANHO"};
    if (!matrix.value().is_array() || matrix.value().as_array()->size() < kTotalsRow) {
        rt::Value m = rt::Value::array(kTotalsRow);
        for (auto& r : *m.as_array()) r = rt::Value::array(6);
        matrix.set(m);
    }
    rt::Value r = (*matrix.value().as_array())[static_cast<std::size_t>(row - 1)];
    if (!r.is_array()) {
        r = rt::Value::array(6);
        (*matrix.value().as_array())[static_cast<std::size_t>(row - 1)] = r;
    }
    rt::Array& cells = *r.as_array();
    if (cells.size() < 6) cells.resize(6);
    return cells;
}

rt::Value& cell(int row, int column) { return matrix_row(row)[static_cast<std::size_t>(column - 1)]; }

double number(const char* name) { return common::Global{name}.number(); }
void set_number(const std::string& name, double v) { common::Global{name}.set(rt::Value(v)); }

double column_total(int column) {
    double sum = 0;
    for (int row = 1; row < kTotalsRow; ++row) sum += cell_amount(cell(row, column));
    return sum;
}

void clear_matrix() {
    for (int row = 1; row <= kTotalsRow; ++row)
        for (int column = 1; column <= 6; ++column)
            cell(row, column) = column == kMonthColumn ? rt::Value(row == kTotalsRow ? "<- Totais ->"
                                                                                     : common::TRAZ_MES(row))
                                                       : rt::Value(amount_cell(0));
}

}  // namespace

std::string amount_cell(double v) { return rt::TRANSFORM(rt::Value(v), kAmountPicture); }

double cell_amount(const rt::Value& cell) {
    if (cell.is_number()) return cell.as_number();
    if (!cell.is_string()) return 0;
    return common::CAR_TO_VAL(rt::ALLTRIM(cell.as_string()));
}

void month_totals_to_matrix() {
    const auto sum = [](const char* prefix) {
        double s = 0;
        for (int m = 1; m <= 12; ++m) s += number(month_field(prefix, m).c_str());
        return s;
    };
    cell(kTotalsRow, 1) = rt::Value(amount_cell(sum("VAL_TRI")));
    cell(kTotalsRow, 2) = rt::Value(amount_cell(sum("IMP_DEV")));
    cell(kTotalsRow, 4) = rt::Value(amount_cell(sum("REC_MES")));
    cell(kTotalsRow, 5) = rt::Value(amount_cell(sum("IMP_PAG")));
}

void fill_instalments() {
    clear_matrix();
    for (int m = 1; m <= 12; ++m)
        for (const MonthColumn& c : month_columns())
            if (c.column > 0) cell(m, c.column) = rt::Value(amount_cell(number(month_field(c.prefix, m).c_str())));
    // The instalment grid's own month calculation taxes each row received.
    for (int m = 1; m <= 12; ++m) declaration::call_if_present("FX_GANHO", {rt::Value(m)});
}

bool take_instalments() {
    for (int m = 1; m <= 12; ++m)
        for (const MonthColumn& c : month_columns())
            if (c.column > 0) set_number(month_field(c.prefix, m), cell_amount(cell(m, c.column)));
    const double received = column_total(4);
    set_number("VAL_TRIBU", column_total(1));
    set_number("VAL_IMPOSP", column_total(2));
    set_number("VAL_RECOL", received);
    set_number("IMPPAGO", column_total(shares() ? 6 : 5));
    if (shares()) set_number("VAL_PARTE", column_total(5));
    const bool earlier = rt::ALLTRIM(common::Global{"VENDAANT"}.text()) == "S";
    const double allowed = earlier ? number("VAL_DIFE") : number("VAL_ALI");
    return received > allowed + 0.001;
}

void cash_sale_months() {
    for (int m = 1; m <= 12; ++m)
        for (const char* prefix : {"REC_MES", "VAL_TRI", "IMP_DEV", "IMP_PAG", "IMP_LEI"})
            set_number(month_field(prefix, m), 0);
    const rt::Value sold = common::Global{"DATA_ALI"}.value();
    const int month = sold.is_date() && !sold.as_date().empty() ? sold.as_date().month() : 0;
    const double sale = number("VAL_ALI");
    if (month > 0) {
        const bool exempt = rt::ALLTRIM(common::Global{"PEQ_VALOR"}.text()) == "S";
        set_number(month_field("REC_MES", month), sale);
        set_number(month_field("VAL_TRI", month), exempt ? 0 : std::max(0.0, number("GAN_TRIV")));
        set_number(month_field("IMP_DEV", month), number("VAL_IMPOSV"));
        set_number(month_field("IMP_PAG", month), number("IMPPAGO"));
        // Only shares have tax withheld at source; for real estate the same
        // field holds the value reinvested.
        if (shares()) set_number(month_field("IMP_LEI", month), number("VAL_PARTE"));
    }
    set_number("VAL_RECOL", sale);
}

}  // namespace qv::gains
