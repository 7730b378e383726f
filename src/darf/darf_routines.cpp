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
#include "common/routine_wrappers.hpp"
#include "runtime/core/functions.hpp"

namespace qv::darf {

namespace {

using Args = std::span<const rt::Value>;
using common::int_arg;
using common::procedure;

}  // namespace

void register_darf_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        rt::register_function("PREP_DARF", procedure(PREP_DARF));
        rt::register_function("FAZ_DARF", procedure(FAZ_DARF));
        rt::register_function("IMPRDARF", procedure(IMPRDARF));
        rt::register_function("DARF", [](Args) { return rt::Value(DARF()); });
        rt::register_function("BUS_IMPO", [](Args a) { return rt::Value(BUS_IMPO(int_arg(a, 0, 1), int_arg(a, 1, 1), int_arg(a, 2))); });
        rt::register_function("PREENCHE", [](Args a) {
            PREENCHE(int_arg(a, 0, 1));
            return rt::Value();
        });
        rt::register_function("CALCJU", [](Args a) {
            CALCJU(int_arg(a, 0, 1), int_arg(a, 1));
            return rt::Value();
        });
        rt::register_function("SO_JUROS", [](Args) { return rt::Value(SO_JUROS()); });
        rt::register_function("VALI_DATA", [](Args a) { return rt::Value(VALI_DATA(int_arg(a, 0, 1), int_arg(a, 1, 1))); });
        rt::register_function("VEATRASO", [](Args) { return rt::Value(VEATRASO()); });
        rt::register_function("VE_MPAG", [](Args a) { return rt::Value(VE_MPAG(int_arg(a, 0))); });
        rt::register_function("VE_MPG2", [](Args a) { return rt::Value(VE_MPG2(int_arg(a, 0), int_arg(a, 1))); });
        rt::register_function("CONF_QUOT", [](Args) { return rt::Value(CONF_QUOT()); });
        rt::register_function("ULTIMO_DIA", [](Args a) { return rt::Value(ULTIMO_DIA(int_arg(a, 0, 1), int_arg(a, 1, 2011))); });
        rt::register_function("MES_ANTER", [](Args a) { return rt::Value(MES_ANTER(int_arg(a, 0, 1))); });
    });
}

}  // namespace qv::darf
