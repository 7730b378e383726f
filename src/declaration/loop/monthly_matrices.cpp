#include "declaration/loop/monthly_matrices.hpp"

#include "common/calendar_names.hpp"
#include "declaration/loop/declaration_variables.hpp"
#include "runtime/core/picture.hpp"

namespace qv::declaration {

namespace {

rt::Value matrix(int rows, int cols, const std::string& blank) {
    rt::Value m = rt::Value::array();
    for (int r = 0; r < rows; ++r) {
        rt::Value row = rt::Value::array();
        for (int c = 0; c < cols; ++c) row.as_array()->push_back(rt::Value(blank));
        m.as_array()->push_back(row);
    }
    return m;
}

}  // namespace

std::string matrix_text(double amount, std::string_view picture) {
    return rt::TRANSFORM(rt::Value(amount), picture);
}

void blank_rec_mensal() {
    rt::Value m = matrix(13, 9, matrix_text(0, kRecMensalPicture));
    for (int month = 1; month <= 13; ++month)
        (*(*m.as_array())[std::size_t(month - 1)].as_array())[0] =
            rt::Value(month <= 12 ? common::TRAZ_MES(month) : std::string("Total    "));
    set_variable("REC_MENSAL", m);
}

void blank_rend_rural() { set_variable("REND_RURAL", matrix(12, 2, matrix_text(0, kRendRuralPicture))); }

rt::Value matrix_cell(std::string_view name, int row, int col) {
    return variable(name).at(std::size_t(row)).at(std::size_t(col));
}

void set_matrix_cell(std::string_view name, int row, int col, rt::Value v) {
    const rt::Value m = variable(name);
    const rt::Value& r = m.at(std::size_t(row));
    if (!r.is_array() || col < 1 || std::size_t(col) > r.len()) return;
    (*r.as_array())[std::size_t(col - 1)] = std::move(v);
}

}  // namespace qv::declaration
