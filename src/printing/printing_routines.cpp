#include "printing/printing_routines.hpp"

#include <mutex>
#include <span>

#include "printing/control_sequences.hpp"
#include "printing/nao_dos_job.hpp"
#include "printing/print_target.hpp"
#include "printing/printer_dialog.hpp"
#include "printing/printer_record.hpp"
#include "runtime/core/functions.hpp"

namespace qv::printing {

namespace {

using Args = std::span<const rt::Value>;

int number_arg(Args a, int fallback) { return !a.empty() && a[0].is_number() ? static_cast<int>(a[0].as_number()) : fallback; }

template <class Fn>
rt::Function plain(Fn fn) {
    return [fn](Args) {
        fn();
        return rt::Value();
    };
}

}  // namespace

void register_printing_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        rt::register_function("CRIA_SEQ", plain(CRIA_SEQ));
        rt::register_function("CONFIMP", plain(CONFIMP));
        rt::register_function("AJUS_FIN", plain(AJUS_FIN));
        rt::register_function("MONTASTRG", [](Args a) {
            return rt::Value(MONTASTRG(!a.empty() && a[0].is_string() ? a[0].as_string() : std::string()));
        });
        rt::register_function("PREP_IMP", [](Args) { return rt::Value(PREP_IMP()); });
        rt::register_function("PRONTO", [](Args) { return rt::Value(PRONTO()); });
        rt::register_function("PAREIMP", [](Args) { return rt::Value(PAREIMP()); });
        rt::register_function("IMP_TXT", [](Args a) {
            IMP_TXT(number_arg(a, 1));
            return rt::Value();
        });
        rt::register_function("ESCOLHE_COMO", [](Args a) { return rt::Value(ESCOLHE_COMO(number_arg(a, 1))); });
        rt::register_function("MUDAIMP", [](Args a) {
            MUDAIMP(number_arg(a, 0));
            return rt::Value();
        });
    });
}

}  // namespace qv::printing
