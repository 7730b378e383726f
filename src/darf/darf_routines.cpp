#include "darf/darf_routines.hpp"

#include <mutex>
#include <span>

#include "darf/darf_charges.hpp"
#include "darf/darf_checks.hpp"
#include "darf/darf_dates.hpp"
#include "darf/darf_dialog.hpp"
#include "darf/darf_principal.hpp"
#include "darf/darf_print.hpp"
#include "darf/darf_text.hpp"
#include "runtime/core/functions.hpp"

namespace qv::darf {

namespace {

using Args = std::span<const rt::Value>;

int arg(Args a, std::size_t i, int fallback = 0) {
    return i < a.size() && a[i].is_number() ? static_cast<int>(a[i].as_number()) : fallback;
}

template <class Fn>
rt::Function plain(Fn fn) {
    return [fn](Args) {
        fn();
        return rt::Value();
    };
}

}  // namespace

void register_darf_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        rt::register_function("PREP_DARF", plain(PREP_DARF));
        rt::register_function("FAZ_DARF", plain(FAZ_DARF));
        rt::register_function("IMPRDARF", plain(IMPRDARF));
        rt::register_function("DARF", [](Args) { return rt::Value(DARF()); });
        rt::register_function("BUS_IMPO", [](Args a) { return rt::Value(BUS_IMPO(arg(a, 0, 1), arg(a, 1, 1), arg(a, 2))); });
        rt::register_function("PREENCHE", [](Args a) {
            PREENCHE(arg(a, 0, 1));
            return rt::Value();
        });
        rt::register_function("CALCJU", [](Args a) {
            CALCJU(arg(a, 0, 1), arg(a, 1));
            return rt::Value();
        });
        rt::register_function("SO_JUROS", [](Args) { return rt::Value(SO_JUROS()); });
        rt::register_function("VALI_DATA", [](Args a) { return rt::Value(VALI_DATA(arg(a, 0, 1), arg(a, 1, 1))); });
        rt::register_function("VEATRASO", [](Args) { return rt::Value(VEATRASO()); });
        rt::register_function("VE_MPAG", [](Args a) { return rt::Value(VE_MPAG(arg(a, 0))); });
        rt::register_function("VE_MPG2", [](Args a) { return rt::Value(VE_MPG2(arg(a, 0), arg(a, 1))); });
        rt::register_function("CONF_QUOT", [](Args) { return rt::Value(CONF_QUOT()); });
        rt::register_function("ULTIMO_DIA", [](Args a) { return rt::Value(ULTIMO_DIA(arg(a, 0, 1), arg(a, 1, 2011))); });
        rt::register_function("MES_ANTER", [](Args a) { return rt::Value(MES_ANTER(arg(a, 0, 1))); });
    });
}

}  // namespace qv::darf
