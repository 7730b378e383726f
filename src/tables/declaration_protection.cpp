#include "tables/declaration_protection.hpp"

#include "common/globals.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table_error.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::tables {

using rt::operator""_cp;

namespace {

constexpr int kDefineArea = 43;
const common::Global kStatrava("STATRAVA");

rt::Value status_in_settings() {
    const bool was_open = ws().table(kDefineArea) != nullptr;
    rt::Value status(0);
    try {
        if (was_open || ABERTURA(kDefineArea)) {
            rt::table::Table& define = ws().current(kDefineArea);
            if (!was_open) define.go_top();
            if (!define.eof() && define.field_index("STATRAVA") >= 0) status = define.get("STATRAVA");
        }
    } catch (const rt::table::TableError&) {
        // unreadable settings protect nothing
    }
    if (!was_open) ws().close(kDefineArea);
    return status;
}

}  // namespace

int protecting_status() {
    if (!kStatrava.exists()) kStatrava.set(status_in_settings());
    return static_cast<int>(common::number_of(kStatrava.value()));
}

bool status_protects(const rt::Value& status) {
    const int locked = protecting_status();
    return locked != 0 && !status.is_nil() && static_cast<int>(common::number_of(status)) == locked;
}

bool register_protects(rt::table::Table& reg, std::string_view cpf) {
    const int order = reg.order();
    const std::uint32_t at = reg.recno();
    reg.set_order(1);
    const bool found = reg.seek(rt::Value(rt::PADR(std::string(cpf), 11)));
    const bool locked = found && status_protects(reg.get("ESTATUS"));
    reg.set_order(order);
    reg.go_to(at);
    return locked;
}

std::string protection_text() {
    return "Declaração com Status de proteção contra alteração.Logo não é permitido salvar qualquer modificação!"_cp;
}

}  // namespace qv::tables
