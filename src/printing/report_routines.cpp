#include "printing/report_routines.hpp"

#include <mutex>
#include <span>
#include <string>

#include "printing/annotations_print.hpp"
#include "printing/cash_book.hpp"
#include "printing/gains_statement.hpp"
#include "printing/rural_pages.hpp"
#include "printing/variable_income_print.hpp"
#include "runtime/core/functions.hpp"

namespace qv::printing {

namespace {

using Args = std::span<const rt::Value>;

int number_arg(Args a, std::size_t i, int fallback) {
    return a.size() > i && a[i].is_number() ? static_cast<int>(a[i].as_number()) : fallback;
}
std::string text_arg(Args a, std::size_t i) { return a.size() > i && a[i].is_string() ? a[i].as_string() : std::string(); }

template <class Fn>
void plain(const char* name, Fn fn) {
    rt::register_function(name, [fn](Args) {
        fn();
        return rt::Value();
    });
}

template <class Fn>
void with_number(const char* name, int fallback, Fn fn) {
    rt::register_function(name, [fn, fallback](Args a) {
        fn(number_arg(a, 0, fallback));
        return rt::Value();
    });
}

}  // namespace

void register_report_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        rt::register_function("FAZ_RURAL1", [](Args a) {
            FAZ_RURAL1(text_arg(a, 0));
            return rt::Value();
        });
        rt::register_function("FAZ_RURAL2", [](Args a) {
            FAZ_RURAL2(text_arg(a, 0));
            return rt::Value();
        });
        with_number("CABECPAG", 0, CABECPAG);
        plain("IMPRECDEC", IMPRECDEC);
        plain("LIST_BENS", LIST_BENS);
        plain("LIST_DIV", LIST_DIV);
        rt::register_function("MOSLIN", [](Args a) {
            MOSLIN(text_arg(a, 0), number_arg(a, 1, 1), text_arg(a, 2));
            return rt::Value();
        });
        with_number("LIVRO_CAIXA", 10, LIVRO_CAIXA);
        with_number("LIVRO_CX", 10, LIVRO_CX);
        plain("CABECLCX", CABECLCX);
        rt::register_function("SALDOS", [](Args a) {
            SALDOS(number_arg(a, 0, 1), number_arg(a, 1, 2));
            return rt::Value();
        });
        plain("TRAC_SEP", TRAC_SEP);
        plain("ENCERRAMENTO", ENCERRAMENTO);
        plain("NOME_IDEN", NOME_IDEN);
        plain("RES_LIVR", RES_LIVR);
        plain("ANOTE_ESP", ANOTE_ESP);
        plain("IMPGANHO", IMPGANHO);
        with_number("IMPRGAN", 0, IMPRGAN);
        with_number("IMP_TITULO", 1, IMP_TITULO);
        with_number("CABEC_GAN", 1, CABEC_GAN);
        rt::register_function("TESTA_QUEBRA", [](Args a) {
            const bool first = a.size() > 2 && a[2].is_logical() && a[2].as_bool();
            TESTA_QUEBRA(number_arg(a, 0, 1), number_arg(a, 1, 1), first, number_arg(a, 3, 1));
            return rt::Value();
        });
        plain("GRV_IMP", GRV_IMP);
        with_number("IMP_APURA", 1, IMP_APURA);
        rt::register_function("MOSNOME", [](Args a) { return rt::Value(MOSNOME(number_arg(a, 0, 1), number_arg(a, 1, 1))); });
    });
}

}  // namespace qv::printing
