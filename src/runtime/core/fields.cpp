#include "runtime/core/fields.hpp"

namespace qv::rt {

namespace {
FieldResolver* g_resolver = nullptr;
}

FieldResolver* field_resolver() { return g_resolver; }
void set_field_resolver(FieldResolver* r) { g_resolver = r; }

}  // namespace qv::rt
