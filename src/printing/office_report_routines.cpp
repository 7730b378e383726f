#include "printing/office_report_routines.hpp"

#include <mutex>
#include <span>

#include "printing/access_report.hpp"
#include "printing/charges_report.hpp"
#include "printing/disk_labels.hpp"
#include "printing/income_statement.hpp"
#include "printing/register_listing.hpp"
#include "runtime/core/functions.hpp"

namespace qv::printing {

namespace {

using Args = std::span<const rt::Value>;

template <class Fn>
rt::Function plain(Fn fn) {
    return [fn](Args) {
        fn();
        return rt::Value();
    };
}

}  // namespace

void register_office_report_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        rt::register_function("FAZ_PRECO", plain(FAZ_PRECO));
        rt::register_function("TOTALDEC", plain(TOTALDEC));
        rt::register_function("FAZ_COMPROV", plain(FAZ_COMPROV));
        rt::register_function("CABEC_RELAT", plain(CABEC_RELAT));
        rt::register_function("LIN_RELAT", plain(LIN_RELAT));
        rt::register_function("REL_ACESSO", plain(REL_ACESSO));
        rt::register_function("IMPR_CAD", [](Args) { return rt::Value(IMPR_CAD()); });
        rt::register_function("CAD_SIMPL", plain(CAD_SIMPL));
        rt::register_function("CAD_COMPL", plain(CAD_COMPL));
        const auto kind = [](Args a) { return !a.empty() && a[0].is_number() ? static_cast<int>(a[0].as_number()) : 0; };
        rt::register_function("FAZ_ETI", [kind](Args a) {
            FAZ_ETI(kind(a));
            return rt::Value();
        });
        rt::register_function("GERETI", [kind](Args a) {
            GERETI(kind(a));
            return rt::Value();
        });
    });
}

}  // namespace qv::printing
