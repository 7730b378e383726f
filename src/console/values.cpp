#include "console/values.hpp"

#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"

namespace qv::console {
namespace {

bool allowed(const rt::Value& v, std::string_view types) {
    return rt::AT(std::string(1, rt::type_letter(v.type())), rt::UPPER(types)) > 0;
}

rt::Value empty_of(char type) {
    switch (type) {
        case 'A': return rt::Value::array();
        case 'C': return rt::Value(rt::SPACE(10));
        case 'D': return rt::Value(rt::Date{});
        case 'L': return rt::Value(false);
        case 'N': return rt::Value(0);
        default: return {};
    }
}

[[noreturn]] void raise(std::string description, std::string_view caller) {
    throw RuntimeError("BASE", 1127, std::move(description), std::string(caller));
}

}  // namespace

RuntimeError::RuntimeError(std::string subsystem, int code, std::string description, std::string operation)
    : std::runtime_error(subsystem + "/" + std::to_string(code) + "  " + description + " " + operation),
      subsystem_(std::move(subsystem)),
      code_(code),
      description_(std::move(description)),
      operation_(std::move(operation)) {}

rt::Value DEFAULTVALUE(const rt::Value& value, const rt::Value& fallback, std::string_view types,
                       std::string_view name, std::string_view default_text, std::string_view caller) {
    const std::string type = rt::UPPER(types);
    const bool any = type == "U";
    const std::string who = std::string(name);
    if (!value.is_nil() && !any && !allowed(value, type))
        raise("<" + who + "> Value type error <" + rt::type_letter(value.type()) + "> Required Type <" + type + "> ",
              caller);
    rt::Value result = value;
    if (result.is_nil()) {
        if (!default_text.empty()) {
            if (!fallback.is_nil() && !any && !allowed(fallback, type))
                raise("<" + who + ":=" + std::string(default_text) + "> Value type error <" +
                          rt::type_letter(fallback.type()) + "> Required Type <" + type + "> ",
                      caller);
            result = fallback;
        } else if (!any && !type.empty()) {
            result = empty_of(type.front());
        }
    }
    if (result.is_nil()) {
        std::string d = "<" + who;
        if (!default_text.empty()) d += " and " + std::string(default_text);
        d += "> Value type error <U> Required Type <" + (any ? std::string("Any Value") : type) + "> ";
        raise(std::move(d), caller);
    }
    return result;
}

std::string VALUES(const rt::Value& value, std::string_view picture) {
    switch (value.type()) {
        case rt::Type::Character:
        case rt::Type::Date:
        case rt::Type::Logical:
        case rt::Type::Number: return rt::TRANSFORM(value, picture);
        default: return {};
    }
}

std::size_t LENU(const rt::Value& value, std::string_view picture) { return VALUES(value, picture).size(); }

}  // namespace qv::console
