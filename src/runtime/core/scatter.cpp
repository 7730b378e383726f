#include "runtime/core/scatter.hpp"

#include "runtime/core/fields.hpp"

namespace qv::rt {

namespace {
RecordAccess* g_access = nullptr;

// The area meant, with 0 standing for the selected one; 0 when unusable.
int area_in_use(FieldResolver& r, int area) { return area > 0 ? area : r.selected_area(); }
}  // namespace

RecordAccess* record_access() { return g_access; }
void set_record_access(RecordAccess* r) { g_access = r; }

int scatter(int area, Lifetime lifetime, VarStore& store) {
    FieldResolver* r = field_resolver();
    RecordAccess* a = record_access();
    if (!r || !a) return 0;
    area = area_in_use(*r, area);
    if (area <= 0) return 0;
    const int n = a->field_count(area);
    for (int i = 0; i < n; ++i) store.declare(a->field_name(area, i), lifetime, r->get_field(area, i));
    return n;
}

int gather(int area, VarStore& store) {
    FieldResolver* r = field_resolver();
    RecordAccess* a = record_access();
    if (!r || !a) return 0;
    area = area_in_use(*r, area);
    if (area <= 0) return 0;
    const int n = a->field_count(area);
    int written = 0;
    for (int i = 0; i < n; ++i) {
        auto h = store.handle_of(a->field_name(area, i));
        if (!h) continue;
        if (const Value* v = store.find(*h)) {
            r->put_field(area, i, *v);
            ++written;
        }
    }
    return written;
}

}  // namespace qv::rt
