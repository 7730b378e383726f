#include "declaration/loop/calculator_call.hpp"

#include <mutex>
#include <span>

#include "common/calculator.hpp"
#include "common/globals.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/read.hpp"

namespace qv::declaration {

namespace {
// The grid's own cell editor has its own calculator key.
constexpr const char* kGridEditVariable = "MGETVAR";
}  // namespace

void CHAMA_CALC() {
    rt::Get* field = rt::current_get();
    if (!field || rt::UPPER(field->name()) == kGridEditVariable) return;
    const common::Global lcal{"LCAL"}, ccal{"CCAL"};
    const bool confirmed = common::CALCULADORA(9, lcal.integer(5), ccal.integer(40));
    rt::SETCURSOR(1);
    if (!confirmed) return;
    const double result = common::Global{"RESULT"}.number();
    const rt::Value current = field->has_focus() ? field->buffer_value() : field->var_get();
    if (current.type() == rt::Type::Number) {
        field->var_put(rt::Value(result));
    } else if (current.is_string()) {
        const std::string picture = common::Global{"PIC_USU"}.text("@Ez 99,999,999,999.9999");
        const std::string text = rt::ALLTRIM(current.as_string()) + " " + rt::ALLTRIM(rt::TRANSFORM(rt::Value(result), picture));
        field->var_put(rt::Value(rt::PADR(text, current.len())));
    } else {
        return;
    }
    field->update_buffer();
    field->display();
}

void register_calculator_call() {
    static std::once_flag once;
    std::call_once(once, [] {
        rt::register_function("CHAMA_CALC", [](std::span<const rt::Value>) {
            CHAMA_CALC();
            return rt::Value();
        });
    });
}

}  // namespace qv::declaration
