#pragma once
// The month matrices the declaration's pages edit as text: REC_MENSAL (the
// carnê-leão sheet: 13 rows of the month's name and seven amounts) and
// REND_RURAL (12 months of rural revenue and expense).
#include <string>
#include <string_view>
#include "runtime/core/value.hpp"

namespace qv::declaration {

inline constexpr std::string_view kRecMensalPicture = "@Ez 9999,999.99";
inline constexpr std::string_view kRendRuralPicture = "@Ez 999,999,999.99";

// An amount as the matrix shows it (blank when zero).
std::string matrix_text(double amount, std::string_view picture);

// Creates REC_MENSAL with its month names and every amount blank.
void blank_rec_mensal();
// Creates REND_RURAL with every amount blank.
void blank_rend_rural();

// Cell (row, col), 1-based, of the matrix variable `name`; setting creates
// nothing: a missing matrix or cell is left alone.
rt::Value matrix_cell(std::string_view name, int row, int col);
void set_matrix_cell(std::string_view name, int row, int col, rt::Value v);

}  // namespace qv::declaration
