// The grid checks and calculators by the names the grids and forms call.
#include <mutex>
#include <span>

#include "common/globals.hpp"
#include "declaration/grids/grid_checks.hpp"
#include "declaration/grids/grid_engine.hpp"
#include "runtime/core/functions.hpp"

namespace qv::declaration::grids {

namespace {

using Args = std::span<const rt::Value>;
using rt::Value;

Value arg(Args a, std::size_t i) { return i < a.size() ? a[i] : Value(); }
int number(Args a, std::size_t i, int fallback = 0) {
    return i < a.size() ? static_cast<int>(common::number_of(a[i], fallback)) : fallback;
}
double amount(Args a, std::size_t i) { return i < a.size() ? common::number_of(a[i]) : 0.0; }
rt::Date date(Args a, std::size_t i) { return i < a.size() && a[i].is_date() ? a[i].as_date() : rt::Date{}; }

Value nothing() { return Value(); }

}  // namespace

void register_grid_check_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        rt::register_function("TES_COD", [](Args a) { return TES_COD(arg(a, 0), number(a, 1)); });
        rt::register_function("TES_PAIS", [](Args a) { return TES_PAIS(arg(a, 0), number(a, 1)); });
        rt::register_function("TES_MES", [](Args a) { return Value(TES_MES(date(a, 0))); });
        rt::register_function("VEJA_ANO", [](Args a) {
            VEJA_ANO(date(a, 0), number(a, 1));
            return nothing();
        });
        rt::register_function("CONF_DEP", [](Args a) { return Value(CONF_DEP(number(a, 0), number(a, 1, 2))); });
        rt::register_function("TROCA_NAO", [](Args a) { return Value(TROCA_NAO(arg(a, 0))); });
        rt::register_function("VAL_COD", [](Args a) { return Value(VAL_COD(number(a, 0), number(a, 1))); });
        rt::register_function("VAL_PART", [](Args a) { return Value(VAL_PART(amount(a, 0))); });
        rt::register_function("CALUCRO", [](Args a) { return Value(CALUCRO(amount(a, 0), number(a, 1))); });
        rt::register_function("SOMAREC", [](Args a) {
            SOMAREC(number(a, 0));
            return nothing();
        });
        rt::register_function("TES_SIT", [](Args a) { return Value(TES_SIT(number(a, 0), number(a, 1))); });
        // Each grid keeps its own columns while another runs over it: the
        // rural assets grid is only drawn again.
        rt::register_function("MASCBENS", [](Args) {
            if (GridRun* g = current_grid()) g->browse().refresh_all();
            return nothing();
        });
        rt::register_function("MARCA_NEG", [](Args) {
            MARCA_NEG();
            return nothing();
        });
        rt::register_function("VERAA", [](Args a) { return Value(VERAA(arg(a, 0), number(a, 1))); });
        rt::register_function("CALC_RAA",
                              [](Args a) { return Value(CALC_RAA(number(a, 0), number(a, 1), date(a, 2))); });
        rt::register_function("FCALPOUPA", [](Args a) { return Value(FCALPOUPA(number(a, 0))); });
        rt::register_function("BUSCA_DESP", [](Args) {
            BUSCA_DESP();
            return nothing();
        });
        rt::register_function("VEJA_IMOV", [](Args) {
            VEJA_IMOV();
            return nothing();
        });
        rt::register_function("ANEXHER", [](Args a) {
            return Value(ANEXHER(common::Global{"CPEGPERC"}.value(), number(a, 0), number(a, 1, 2)));
        });
        rt::register_function("VE_REGIS", [](Args a) { return Value(VE_REGIS(arg(a, 0))); });
        rt::register_function("VERUNI", [](Args a) { return Value(VERUNI(arg(a, 0), number(a, 1))); });
    });
}

}  // namespace qv::declaration::grids
