#include "printing/office_report_routines.hpp"

#include <mutex>
#include <span>

#include "printing/access_report.hpp"
#include "printing/charges_report.hpp"
#include "printing/disk_labels.hpp"
#include "printing/income_statement.hpp"
#include "printing/register_listing.hpp"
#include "common/routine_wrappers.hpp"
#include "runtime/core/functions.hpp"

namespace qv::printing {

namespace {

using Args = std::span<const rt::Value>;
using common::procedure;

}  // namespace

void register_office_report_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        rt::register_function("FAZ_PRECO", procedure(FAZ_PRECO));
        rt::register_function("TOTALDEC", procedure(TOTALDEC));
        rt::register_function("FAZ_COMPROV", procedure(FAZ_COMPROV));
        rt::register_function("CABEC_RELAT", procedure(CABEC_RELAT));
        rt::register_function("LIN_RELAT", procedure(LIN_RELAT));
        rt::register_function("REL_ACESSO", procedure(REL_ACESSO));
        rt::register_function("IMPR_CAD", [](Args) { return rt::Value(IMPR_CAD()); });
        rt::register_function("CAD_SIMPL", procedure(CAD_SIMPL));
        rt::register_function("CAD_COMPL", procedure(CAD_COMPL));
        rt::register_function("FAZ_ETI", [](Args a) {
            FAZ_ETI(common::int_arg(a, 0));
            return rt::Value();
        });
        rt::register_function("GERETI", [](Args a) {
            GERETI(common::int_arg(a, 0));
            return rt::Value();
        });
    });
}

}  // namespace qv::printing
