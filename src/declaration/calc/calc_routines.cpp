#include "declaration/calc/calc_routines.hpp"

#include <mutex>
#include <span>
#include <string>

#include "common/globals.hpp"
#include "declaration/calc/carne_leao.hpp"
#include "declaration/calc/due_dates.hpp"
#include "declaration/calc/foreign_tax.hpp"
#include "declaration/calc/income_checks.hpp"
#include "declaration/calc/income_totals.hpp"
#include "declaration/calc/model_choice.hpp"
#include "declaration/calc/payment_totals.hpp"
#include "declaration/calc/quotas.hpp"
#include "declaration/calc/recalculation.hpp"
#include "declaration/calc/simulator.hpp"
#include "declaration/calc/summary_lines.hpp"
#include "declaration/calc/summary_page.hpp"
#include "declaration/calc/tax_table.hpp"
#include "runtime/core/functions.hpp"

namespace qv::declaration {

namespace {

using Args = std::span<const rt::Value>;

const rt::Value& arg(Args a, std::size_t i) {
    static const rt::Value nil;
    return i < a.size() ? a[i] : nil;
}
int num(Args a, std::size_t i, int fallback = 0) {
    return a.size() > i && !a[i].is_nil() ? static_cast<int>(common::number_of(a[i], fallback)) : fallback;
}
double amount_arg(Args a, std::size_t i) { return common::number_of(arg(a, i)); }
std::string text_arg(Args a, std::size_t i) { return arg(a, i).is_string() ? arg(a, i).as_string() : std::string(); }
rt::Date date_arg(Args a, std::size_t i) { return arg(a, i).is_date() ? arg(a, i).as_date() : rt::Date{}; }

void line(std::string_view name, double (*fn)()) {
    rt::register_function(name, [fn](Args) { return rt::Value(fn()); });
}

void register_summary() {
    rt::register_function("CALC", [](Args a) { return rt::Value(CALC(num(a, 0), num(a, 1))); });
    rt::register_function("CALC_IMPOS", [](Args a) {
        return rt::Value(CALC_IMPOS(num(a, 0, 1), amount_arg(a, 1), text_arg(a, 2), num(a, 3, 12)));
    });
    line("FI13_08", FI13_08);
    line("FI13_11", FI13_11);
    line("FI13_12", FI13_12);
    line("FI13_13", FI13_13);
    line("FI13_19", FI13_19);
    line("FI13_22", FI13_22);
    line("FI13_23", FI13_23);
    line("FI13_24", FI13_24);
    line("FI13_26", FI13_26);
    line("FI13_46", FI13_46);
    line("FINFO_CONJ", FINFO_CONJ);
    rt::register_function("FI13_20", [](Args a) { return rt::Value(FI13_20(num(a, 0))); });
    rt::register_function("FI13_32", [](Args a) { return rt::Value(FI13_32(amount_arg(a, 0))); });
    rt::register_function("FI13_35", [](Args a) { return rt::Value(FI13_35(num(a, 0))); });
    rt::register_function("FI13_3526", [](Args a) { return rt::Value(FI13_3526(num(a, 0))); });
    rt::register_function("FQTD_QUOTA", [](Args a) {
        const double v = FQTD_QUOTA(num(a, 0));
        return num(a, 0) == 1 ? rt::Value(true) : rt::Value(v);
    });
    rt::register_function("SOMA_TRIBENAO", [](Args a) { return rt::Value(SOMA_TRIBENAO(num(a, 0))); });
}

void register_pages() {
    rt::register_function("CONF_PADR", [](Args) { return rt::Value(CONF_PADR()); });
    rt::register_function("PREJ_RUR", [](Args) { return rt::Value(PREJ_RUR()); });
    rt::register_function("MUDA", [](Args) { return rt::Value(MUDA()); });
    rt::register_function("VIRA_COMP", [](Args a) { return rt::Value(VIRA_COMP(text_arg(a, 0))); });
    rt::register_function("FAZCONF", [](Args a) { return rt::Value(FAZCONF(text_arg(a, 0))); });
    rt::register_function("CSIMPLES", [](Args a) { return rt::Value(CSIMPLES(num(a, 0, 1), num(a, 1))); });
    rt::register_function("FPARCELA", [](Args a) { return rt::Value(FPARCELA(num(a, 0))); });
    rt::register_function("VE_QUOT", [](Args) { return rt::Value(VE_QUOT()); });
    rt::register_function("TEM_EXTER", [](Args) { return rt::Value(TEM_EXTER()); });
    rt::register_function("MOSTRA_SIMPLES", [](Args) {
        MOSTRA_SIMPLES();
        return rt::Value();
    });
    rt::register_function("SIMUL", [](Args a) { return rt::Value(SIMUL(num(a, 0))); });
    rt::register_function("FAZINVER", [](Args a) { return rt::Value(FAZINVER(text_arg(a, 0))); });
}

void register_income() {
    rt::register_function("FI1_T", [](Args a) { return rt::Value(FI1_T(num(a, 0))); });
    rt::register_function("FDE_LEAO", [](Args a) { return rt::Value(FDE_LEAO(num(a, 0))); });
    rt::register_function("VE_LEAO", [](Args a) { return rt::Value(VE_LEAO(num(a, 0), num(a, 1))); });
    rt::register_function("CORR_DARF", [](Args) {
        CORR_DARF();
        return rt::Value();
    });
    rt::register_function("FX_RT", [](Args a) { return rt::Value(FX_RT(text_arg(a, 0), num(a, 1), num(a, 2))); });
    rt::register_function("FDE_TUDO", [](Args a) { return rt::Value(FDE_TUDO(num(a, 0))); });
    rt::register_function("FDOAPAG", [](Args a) { return rt::Value(FDOAPAG(amount_arg(a, 0))); });
    rt::register_function("FCONFNDEDU", [](Args a) { return rt::Value(FCONFNDEDU(amount_arg(a, 0))); });
    rt::register_function("LIMIT3", [](Args a) { return rt::Value(LIMIT3(amount_arg(a, 0), num(a, 1))); });
    rt::register_function("LIMIT2", [](Args a) { return rt::Value(LIMIT2(amount_arg(a, 0))); });
    rt::register_function("ULT_DIA", [](Args a) { return rt::Value(ULT_DIA(num(a, 0), num(a, 1), num(a, 2))); });
    rt::register_function("PROX_DIA", [](Args a) { return rt::Value(PROX_DIA(date_arg(a, 0))); });
}

}  // namespace

void register_calc_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        register_summary();
        register_pages();
        register_income();
    });
}

}  // namespace qv::declaration
