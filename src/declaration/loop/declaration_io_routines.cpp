#include "declaration/loop/declaration_io_routines.hpp"

#include <mutex>
#include <span>

#include "common/globals.hpp"
#include "declaration/loop/declaration_defaults.hpp"
#include "declaration/loop/declaration_load.hpp"
#include "declaration/loop/declaration_save.hpp"
#include "runtime/core/functions.hpp"

namespace qv::declaration {

namespace {

using Args = std::span<const rt::Value>;

int number_arg(Args a, std::size_t i, int fallback) {
    return i < a.size() ? static_cast<int>(common::number_of(a[i], fallback)) : fallback;
}

rt::Value value_arg(Args a, std::size_t i) { return i < a.size() ? a[i] : rt::Value(); }

}  // namespace

void register_declaration_io_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        rt::register_function("INIC_VAR", [](Args a) {
            return rt::Value(INIC_VAR(number_arg(a, 0, 1), number_arg(a, 1, 1)));
        });
        rt::register_function("LIMPVAR", [](Args) { return LIMPVAR(); });
        rt::register_function("PRENCHEWZK", [](Args a) {
            PRENCHEWZK(value_arg(a, 0).as_string());
            return rt::Value();
        });
        rt::register_function("DIRETO", [](Args) { return rt::Value(DIRETO()); });
        rt::register_function("SALVATUDO", [](Args a) { return rt::Value(SALVATUDO(number_arg(a, 0, 1))); });
        rt::register_function("SALVA_PARC", [](Args a) {
            SALVA_PARC(number_arg(a, 0, 2), number_arg(a, 1, 1));
            return rt::Value();
        });
        rt::register_function("PREP_REG", [](Args a) { return rt::Value(PREP_REG(value_arg(a, 0))); });
        rt::register_function("VE_LIM_NEG", [](Args) {
            VE_LIM_NEG();
            return rt::Value();
        });
    });
}

}  // namespace qv::declaration
