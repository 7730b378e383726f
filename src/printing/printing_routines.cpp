#include "printing/printing_routines.hpp"

#include <mutex>
#include <span>
#include <utility>

#include "printing/control_sequences.hpp"
#include "printing/declaration_pages.hpp"
#include "printing/page_layout.hpp"
#include "printing/print_groups.hpp"
#include "printing/print_run.hpp"
#include "printing/taxpayer_load.hpp"
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
        rt::register_function("SELECIONA", plain(SELECIONA));
        rt::register_function("FAZIMP", plain(FAZIMP));
        rt::register_function("PEGA_CARTA", [](Args) { return rt::Value(PEGA_CARTA()); });
        rt::register_function("BUSGRUPO", [](Args a) { return rt::Value(BUSGRUPO(number_arg(a, 2))); });
        rt::register_function("IMPRESSAO", plain(IMPRESSAO));
        rt::register_function("FOLHA", [](Args a) {
            FOLHA(number_arg(a, 1));
            return rt::Value();
        });
        rt::register_function("INIVAR", [](Args a) {
            const auto n = [a](std::size_t i, int fallback) {
                return a.size() > i && a[i].is_number() ? static_cast<int>(a[i].as_number()) : fallback;
            };
            INIVAR(n(1, 3), n(2, 2), n(3, 19));
            return rt::Value("");
        });
        using Page = void (*)(int);
        constexpr std::pair<const char*, Page> pages[] = {
            {"PAGINA1", PAGINA1}, {"PAGINA2", PAGINA2}, {"PAGINA3", PAGINA3}, {"PAGINA4", PAGINA4}, {"PAGINA5", PAGINA5}};
        for (const auto& [name, page] : pages)
            rt::register_function(name, [page](Args a) {
                page(number_arg(a, 1));
                return rt::Value();
            });
        rt::register_function("CABEC_PAG", [](Args a) {
            CABEC_PAG(number_arg(a, 0));
            return rt::Value();
        });
        rt::register_function("MOSBALAN", [](Args) { return rt::Value(MOSBALAN()); });
        rt::register_function("PULA_PAG", [](Args a) { return rt::Value(PULA_PAG(number_arg(a, 1))); });
        rt::register_function("REL_PAGAMENTO", [](Args a) {
            const int last = a.size() > 1 && a[1].is_number() ? static_cast<int>(a[1].as_number()) : 99;
            REL_PAGAMENTO(number_arg(a, 1), last);
            return rt::Value();
        });
        rt::register_function("MUDAIMP", [](Args a) {
            MUDAIMP(number_arg(a, 0));
            return rt::Value();
        });
    });
}

}  // namespace qv::printing
