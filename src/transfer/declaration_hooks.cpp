#include "transfer/declaration_hooks.hpp"

#include <array>
#include <cstdlib>

#include "runtime/core/clock.hpp"
#include "runtime/core/functions.hpp"
#include "transfer/xml_values.hpp"

namespace qv::transfer {

std::string generation_stamp() {
    return time_stamp(rt::DATE(), rt::TIME());
}

std::string tax_program_namespace() {
    const char* set = std::getenv("QV_IRPF_XMLNS");
    return set && *set ? set : "urn:irpf2012:declaracao";
}

bool write_declaration(const std::string& path, const std::string& stamp) {
    if (!rt::has_function("GERA_XML")) return false;
    const std::array<rt::Value, 2> args{rt::Value(path), rt::Value(stamp)};
    return rt::call_function("GERA_XML", args).as_bool();
}

std::string identifier_item(const std::string& stamp) {
    if (!rt::has_function("IDENTIF")) return "<item/>";
    const std::array<rt::Value, 1> args{rt::Value(stamp)};
    return "<item" + rt::call_function("IDENTIF", args).as_string();
}

}  // namespace qv::transfer
