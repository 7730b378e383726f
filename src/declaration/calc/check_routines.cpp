// The check and the declaration helpers, callable by name from the menus,
// the pages and the key bindings.
#include <mutex>
#include <span>
#include <string>

#include "declaration/calc/cash_balance.hpp"
#include "declaration/calc/declaration_check.hpp"
#include "declaration/calc/patrimonial_variation.hpp"
#include "declaration/loop/age_notice.hpp"
#include "declaration/loop/late_interest.hpp"
#include "runtime/core/functions.hpp"

namespace qv::declaration {

namespace {

int integer_arg(std::span<const rt::Value> a, std::size_t i, int missing) {
    return a.size() > i && a[i].type() == rt::Type::Number ? static_cast<int>(a[i].as_number()) : missing;
}
std::string text_arg(std::span<const rt::Value> a, std::size_t i) {
    return a.size() > i && a[i].is_string() ? a[i].as_string() : std::string();
}

}  // namespace

void register_check_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        rt::register_function("CONFERE", [](std::span<const rt::Value> a) {
            CONFERE(integer_arg(a, 0, 3));
            return rt::Value();
        });
        rt::register_function("MARCAERRO", [](std::span<const rt::Value> a) {
            MARCAERRO(integer_arg(a, 0, 0), text_arg(a, 1));
            return rt::Value();
        });
        rt::register_function("ACHAJURO", [](std::span<const rt::Value> a) {
            return rt::Value(ACHAJURO(integer_arg(a, 0, 1), text_arg(a, 1)));
        });
        rt::register_function("IMPCORRIG", [](std::span<const rt::Value>) {
            IMPCORRIG();
            return rt::Value();
        });
        rt::register_function("VE_SALDO", [](std::span<const rt::Value>) { return rt::Value(VE_SALDO()); });
        rt::register_function("DIZANOS", [](std::span<const rt::Value> a) {
            const rt::Date birth = !a.empty() && a[0].type() == rt::Type::Date ? a[0].as_date() : rt::Date();
            return rt::Value(DIZANOS(birth));
        });
        rt::register_function("FI10_1", [](std::span<const rt::Value>) {
            FI10_1();
            return rt::Value();
        });
        rt::register_function("TOTALDESP", [](std::span<const rt::Value>) { return rt::Value(TOTALDESP()); });
        rt::register_function("BALANCO", [](std::span<const rt::Value>) {
            BALANCO();
            return rt::Value();
        });
    });
}

}  // namespace qv::declaration
