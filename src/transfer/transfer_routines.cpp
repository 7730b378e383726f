#include "transfer/transfer_routines.hpp"

#include <mutex>
#include <span>

#include "common/file_errors.hpp"
#include "runtime/core/functions.hpp"
#include "transfer/declaration_recalc.hpp"
#include "transfer/index_recovery.hpp"
#include "transfer/rural_results.hpp"
#include "transfer/section_writers.hpp"
#include "transfer/transfer_flow.hpp"

namespace qv::transfer {

void register_transfer_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        register_section_writers();
        using Args = std::span<const rt::Value>;
        rt::register_function("PREPARA", [](Args) { return rt::Value(PREPARA()); });
        rt::register_function("GERAR", [](Args) { return rt::Value(GERAR()); });
        rt::register_function("DISQUETE", [](Args) { return rt::Value(DISQUETE()); });
        rt::register_function("RECUP_INDICE", [](Args) {
            RECUP_INDICE();
            return rt::Value();
        });
        // The whole declaration computed again (empty text when done, else
        // why it could not be computed), as before its file is written.
        rt::register_function("RECALCULA", [](Args) {
            const std::string problem = recalculate_declaration();
            forget_rural_results();
            return rt::Value(problem);
        });
        rt::register_function("VEJAERRO", [](Args a) {
            const int code = a.empty() ? 0 : static_cast<int>(a[0].as_number());
            common::VEJAERRO(code, a.size() > 1 ? a[1].as_string() : std::string());
            return rt::Value();
        });
    });
}

}  // namespace qv::transfer
