#include "declaration/grids/matrix_routines.hpp"

#include <mutex>
#include <span>

#include "common/globals.hpp"
#include "declaration/grids/capital_gain_instalments.hpp"
#include "declaration/grids/matrix_catalogue.hpp"
#include "declaration/grids/matrix_cell_edit.hpp"
#include "declaration/grids/matrix_grid.hpp"
#include "runtime/core/functions.hpp"

namespace qv::declaration::grids {

namespace {

using Args = std::span<const rt::Value>;

int number(Args a, std::size_t i, int fallback = 0) {
    return i < a.size() && a[i].is_number() ? static_cast<int>(a[i].as_number()) : fallback;
}

// The grid of the code being run (OPC) over the matrix named by the caller.
std::optional<MatrixGrid> grid_over(Args a) {
    std::optional<MatrixGrid> g = matrix_grid(common::Global{"OPC"}.integer());
    if (g && !a.empty() && a[0].is_string()) g->matrix = a[0].as_string();
    return g;
}

}  // namespace

void register_matrix_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        rt::register_function("MBROWSE", [](Args a) {
            if (const auto g = grid_over(a)) MBROWSE(*g, number(a, 1), number(a, 2), number(a, 3), number(a, 4));
            return rt::Value();
        });
        rt::register_function("MOSBROW", [](Args a) {
            if (const auto g = grid_over(a))
                MOSBROW(*g, number(a, 1), number(a, 2), number(a, 3), number(a, 4), number(a, 5));
            return rt::Value("");
        });
        rt::register_function("SKIP_MATRIZ", [](Args a) {
            const long length = !a.empty() && a[0].is_array() ? static_cast<long>(a[0].len()) : 0;
            return rt::Value(static_cast<double>(SKIP_MATRIZ(length, number(a, 1, 1), number(a, 2))));
        });
        rt::register_function("GETMTX", [](Args) {
            MatrixRun* run = current_matrix_grid();
            return rt::Value(run ? GETMTX(*run) : 0);
        });
        rt::register_function("FX_GANHO", [](Args a) {
            FX_GANHO(number(a, 0));
            return rt::Value();
        });
        rt::register_function("ZERADOR", [](Args) {
            ZERADOR();
            return rt::Value();
        });
    });
}

}  // namespace qv::declaration::grids
