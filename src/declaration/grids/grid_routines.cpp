#include "declaration/grids/grid_routines.hpp"

#include <mutex>
#include <span>

#include "declaration/grids/cell_edit.hpp"
#include "declaration/grids/grid_catalogue.hpp"
#include "declaration/grids/grid_engine.hpp"
#include "declaration/grids/grid_idle.hpp"
#include "declaration/grids/income_limits.hpp"
#include "runtime/core/functions.hpp"

namespace qv::declaration::grids {

namespace {

using Args = std::span<const rt::Value>;

int number(Args a, std::size_t i, int fallback = 0) {
    return i < a.size() && a[i].is_number() ? static_cast<int>(a[i].as_number()) : fallback;
}

}  // namespace

void register_grid_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        rt::register_function("EDITA", [](Args a) {
            EDITA(number(a, 0), number(a, 1));
            return rt::Value("");
        });
        rt::register_function("MOSTRA", [](Args a) {
            MOSTRA(number(a, 0), number(a, 1), number(a, 2), number(a, 3), number(a, 4));
            return rt::Value("");
        });
        rt::register_function("CL5BROWSE", [](Args a) {
            return rt::Value(CL5BROWSE(number(a, 0), number(a, 1), number(a, 2), number(a, 3)));
        });
        rt::register_function("EXITKEY", [](Args a) {
            return rt::Value(EXITKEY(!a.empty() && a[0].is_logical() && a[0].as_bool()));
        });
        rt::register_function("DIGA_QUEM", [](Args) { return rt::Value(DIGA_QUEM()); });
        rt::register_function("PARA_REL", [](Args) {
            PARA_REL();
            return rt::Value();
        });
        rt::register_function("DESLIG_RELG", [](Args) {
            DESLIG_RELG();
            return rt::Value();
        });
        rt::register_function("MOS_DETBEM", [](Args a) {
            return rt::Value(MOS_DETBEM(a.empty() ? "" : a[0].as_string(), number(a, 1), number(a, 2)));
        });
        rt::register_function("MOS_DETDIV", [](Args a) {
            return rt::Value(MOS_DETDIV(a.empty() ? "" : a[0].as_string(), number(a, 1), number(a, 2)));
        });
        rt::register_function("VE_AGEN", [](Args) {
            VE_AGEN();
            return rt::Value();
        });
        rt::register_function("ADIC_REG", [](Args) {
            GridRun* g = current_grid();
            return rt::Value(g && g->ADIC_REG());
        });
        rt::register_function("VEJALIM", [](Args a) {
            return rt::Value(VEJALIM(!a.empty() && a[0].is_string() ? a[0].as_string() : "", number(a, 1)));
        });
        rt::register_function("F_TROCA", [](Args a) {
            GridRun* g = current_grid();
            return rt::Value(g && !a.empty() && g->F_TROCA(a[0]));
        });
    });
}

}  // namespace qv::declaration::grids
