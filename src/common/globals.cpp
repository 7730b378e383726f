#include "common/globals.hpp"

#include "runtime/core/text.hpp"

namespace qv::common {

rt::VarHandle Global::handle() const {
    if (!handle_) handle_ = rt::variables().intern(name_);
    return *handle_;
}

bool Global::exists() const { return rt::variables().exists(handle()); }

rt::Value Global::value() const {
    const rt::Value* v = rt::variables().find(handle());
    return v ? *v : rt::Value{};
}

double number_of(const rt::Value& v, double fallback) {
    if (v.is_number()) return v.as_number();
    if (v.is_string() && !rt::ALLTRIM(v.as_string()).empty()) return rt::VAL(rt::ALLTRIM(v.as_string()));
    return fallback;
}

double Global::number(double fallback) const { return number_of(value(), fallback); }

std::string Global::text(std::string_view fallback) const {
    const rt::Value v = value();
    return v.is_string() ? v.as_string() : std::string(fallback);
}

void Global::set(rt::Value v) const {
    auto& store = rt::variables();
    if (store.exists(handle())) {
        store.set(handle(), std::move(v));
    } else {
        store.declare_public(name_, std::move(v));
    }
}

}  // namespace qv::common
