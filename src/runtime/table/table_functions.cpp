// The table functions expressions may call.
#include <span>

#include "runtime/core/functions.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/workspace.hpp"

namespace qv::rt::table {

namespace {

// The area named by an optional first argument (number or alias), else the
// selected one.
int area_arg(Workspace& ws, std::span<const Value> a, std::size_t i = 0) {
    if (a.size() <= i || a[i].is_nil()) return ws.selected();
    if (a[i].is_number()) return static_cast<int>(a[i].as_number());
    if (a[i].is_string()) return ws.area_of_alias(a[i].as_string());
    return ws.selected();
}

}  // namespace

void register_table_functions(Workspace& ws) {
    Workspace* w = &ws;
    auto on = [w](std::span<const Value> a, std::size_t i = 0) { return w->table(area_arg(*w, a, i)); };
    register_function("RECNO", [on](std::span<const Value> a) -> Value {
        Table* t = on(a);
        return t ? Value(static_cast<double>(t->recno())) : Value(0);
    });
    register_function("EOF", [on](std::span<const Value> a) -> Value {
        Table* t = on(a);
        return t ? t->eof() : true;
    });
    register_function("BOF", [on](std::span<const Value> a) -> Value {
        Table* t = on(a);
        return t ? t->bof() : true;
    });
    register_function("DELETED", [on](std::span<const Value> a) -> Value {
        Table* t = on(a);
        return t ? t->deleted() : false;
    });
    register_function("FOUND", [on](std::span<const Value> a) -> Value {
        Table* t = on(a);
        return t ? t->found() : false;
    });
    auto count = [on](std::span<const Value> a) -> Value {
        Table* t = on(a);
        return t ? Value(static_cast<double>(t->lastrec())) : Value(0);
    };
    register_function("LASTREC", count);
    register_function("RECCOUNT", count);
    register_function("FCOUNT", [on](std::span<const Value> a) -> Value {
        Table* t = on(a);
        return t ? t->field_count() : 0;
    });
    register_function("FIELDGET", [on](std::span<const Value> a) -> Value {
        Table* t = on(a, 1);
        if (!t || a.empty()) return Value();
        const int i = static_cast<int>(a[0].as_number());
        return i >= 1 && i <= t->field_count() ? t->get(i - 1) : Value();
    });
    register_function("FIELDPUT", [on](std::span<const Value> a) -> Value {
        Table* t = on(a, 2);
        if (!t || a.size() < 2) return Value();
        const int i = static_cast<int>(a[0].as_number());
        if (i < 1 || i > t->field_count()) return Value();
        t->put(i - 1, a[1]);
        return a[1];
    });
    register_function("FIELDNAME", [on](std::span<const Value> a) -> Value {
        Table* t = on(a, 1);
        if (!t || a.empty()) return Value("");
        const int i = static_cast<int>(a[0].as_number());
        return i >= 1 && i <= t->field_count() ? Value(t->fields()[static_cast<std::size_t>(i - 1)].name)
                                               : Value("");
    });
    register_function("FIELDPOS", [on](std::span<const Value> a) -> Value {
        Table* t = on(a, 1);
        if (!t || a.empty()) return 0;
        return t->field_index(a[0].as_string()) + 1;
    });
    register_function("ALIAS", [w](std::span<const Value> a) -> Value {
        return Value(w->alias(a.empty() ? 0 : static_cast<int>(a[0].as_number())));
    });
    register_function("SELECT", [w](std::span<const Value> a) -> Value {
        if (a.empty() || a[0].is_nil()) return w->selected();
        if (a[0].is_number()) return a[0].as_number();
        return w->area_of_alias(a[0].as_string());
    });
    register_function("USED", [on](std::span<const Value> a) -> Value { return on(a) != nullptr; });
    register_function("INDEXORD", [on](std::span<const Value> a) -> Value {
        Table* t = on(a);
        return t ? t->order() : 0;
    });
    register_function("INDEXKEY", [on](std::span<const Value> a) -> Value {
        Table* t = on(a, 1);
        if (!t) return Value("");
        return Value(t->order_key(a.empty() ? 0 : static_cast<int>(a[0].as_number())));
    });
    register_function("DBFILTER", [on](std::span<const Value> a) -> Value {
        Table* t = on(a);
        return Value(t ? t->filter_text() : std::string());
    });
}

}  // namespace qv::rt::table
